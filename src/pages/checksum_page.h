// CChecksumPage: the "校验运算" tab. One of eight checks over one field of hex data: the digests
// SHA-1, SHA-256, SHA-384, SHA-512 and MD5, and the checksums CRC16, CRC32 and LRC.
#pragma once

#include "common/page.h"

class CChecksumPage : public CPage {
public:
    CChecksumPage();

    // The choices of "类型选择", in the window's reading order (two rows of four).
    enum class Check { Sha1, Sha256, Md5, Crc16, Sha384, Sha512, Lrc, Crc32 };

private:
    ActionResult OnCompute();
    ActionResult OnClear();

    OptionOf<Check> m_type;
};

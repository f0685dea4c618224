// CChecksumPage: the "校验运算" tab. One of eight checks over one field of hex data: the digests
// SHA-1, SHA-256, SHA-384, SHA-512 and MD5, and the checksums CRC16, CRC32 and LRC.
#pragma once

#include "common/page.h"

class CChecksumPage : public CPage {
public:
    CChecksumPage();

private:
    ActionResult OnCompute();
    ActionResult OnClear();
};

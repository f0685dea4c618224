// The MAC page: PBOC, ANSI X9.9/X9.19, CBC-MAC and PSAM MACs with single- or double-length keys.
#pragma once

#include <string>

#include "pages/key_type_page.h"

class CMacPage : public CKeyTypePage {
public:
    CMacPage();

    // The choices of "运算类型" and "MAC长度", in order.
    enum class Algorithm { Pboc, X919, Cbc, Psam };
    enum class MacLength { Four, Eight };

    // OnCompute checks key, data and IV, then shows the first 4 or 8 bytes of the MAC:
    // MacSingleKey for an 8-byte key, MacDoubleKey for a 16-byte key; a 24-byte key is refused.
    ActionResult OnCompute();
    // OnClear empties the data, key and result fields and their counters; the IV stays.
    ActionResult OnClear();

private:
    OptionOf<Algorithm> m_alg;
    OptionOf<MacLength> m_macLength;
};

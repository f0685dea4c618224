// CCrtPage: random RSA private keys in CRT form and decryption by the Chinese remainder theorem.
#pragma once

#include "common/page.h"
#include "crypto/pk/big_number.h"

class CCrtPage : public CPage {
public:
    CCrtPage();

private:
    ActionResult OnGenerateKey();
    ActionResult OnDecrypt();
    // CheckKey tests P, Q, DP, DQ and QinV (lengths, then characters) and the input to decrypt.
    ActionResult CheckKey();

    CBigNumber m_p;
    CBigNumber m_q;
    CBigNumber m_dp;
    CBigNumber m_dq;
    CBigNumber m_qinv;
    CBigNumber m_input;
    CBigNumber m_m1;
    CBigNumber m_m2;
    CBigNumber m_output;
};

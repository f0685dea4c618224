// CRsaPage: random RSA keys with E = 65537 and textbook RSA on one hex number.
#pragma once

#include "common/page.h"
#include "crypto/pk/big_number.h"

class CRsaPage : public CPage {
public:
    CRsaPage();

protected:
    void OnFieldChanged(const std::string& field_id) override;

private:
    ActionResult OnGenerateKey();
    ActionResult OnEncrypt();
    ActionResult OnDecrypt();
    // CheckKey tests N, D and E (lengths, characters, N above D and E) and reads them.
    ActionResult CheckKey();

    CBigNumber m_n;
    CBigNumber m_d;
    CBigNumber m_e;
    CBigNumber m_data;
    CBigNumber m_output;
};

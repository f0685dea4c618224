// The SM4 page: SM4 (GB/T 32907) in ECB or CBC with repeat runs, and the 4-byte SM4 CBC-MAC.
#pragma once

#include <string>

#include "common/page.h"

class CSm4Page : public CPage {
public:
    CSm4Page();

    // OnEncrypt encrypts the data (zero-padded to whole blocks) in ECB or CBC, repeated as the
    // repeat group says; in MAC mode it computes the CBC-MAC of the data padded with 80 00.. and
    // shows its leftmost 4 bytes.
    ActionResult OnEncrypt();
    // OnDecrypt decrypts the zero-padded data in ECB or CBC (disabled in MAC mode).
    ActionResult OnDecrypt();
    // OnClear empties the IV, data, key and result fields; the result counter keeps its value.
    ActionResult OnClear();

protected:
    void OnFieldChanged(const std::string& field_id) override;
    void OnOptionChosen(const std::string& group_id) override;

private:
    // The choices of "运算类型", in order.
    enum class Mode { Ecb, Cbc, Mac };

    ActionResult Crypt(bool encrypt);

    OptionOf<Mode> m_mode;
    OptionOf<YesNo> m_repeat;
};

// The AES page: AES-128/192/256 (FIPS 197) in ECB or CBC over whole 16-byte blocks, no padding.
#pragma once

#include "pages/key_type_page.h"

class CAesPage : public CKeyTypePage {
public:
    CAesPage();

    // OnEncrypt encrypts the data, which must be whole 16-byte blocks, under the key of 16, 24 or
    // 32 bytes; the IV (zero-completed, bytes past the sixteenth ignored) is used in CBC only.
    ActionResult OnEncrypt();
    // OnDecrypt is OnEncrypt in the other direction, with the decrypt messages.
    ActionResult OnDecrypt();
    // OnClear empties the data, key and result fields and their counters; the key-type radios
    // then show no selection. The IV and the options stay.
    ActionResult OnClear();

private:
    ActionResult Crypt(bool decrypt);
};

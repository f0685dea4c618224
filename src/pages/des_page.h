// The DES page: DES and triple DES in ECB or CBC, SAM sub-key derivation and process keys.
#pragma once

#include <string>
#include <string_view>

#include "pages/key_type_page.h"

class CDesPage : public CKeyTypePage {
public:
    CDesPage();

    // OnEncrypt encrypts the data (padded with 80 00.. to whole blocks) under the key, whose
    // length picks single DES, two-key or three-key triple DES; the IV is used in CBC only.
    ActionResult OnEncrypt();
    // OnDecrypt is OnEncrypt in the other direction, with the decrypt messages.
    ActionResult OnDecrypt();
    // OnSubKey derives a SAM sub-key from an 8- or 16-byte master key and a dispersion factor of
    // one, two or three 8-byte levels (padded like the data); the result is always 16 bytes.
    ActionResult OnSubKey();
    // OnProcessKey is OnEncrypt with the result labelled as a process key.
    ActionResult OnProcessKey();

    // DeriveSubKey gives one level of diversification as 32 hex digits: E(k, F) || E(k, ~F) for
    // the 8-byte factor F (16 hex digits) under the key k of 8 or 16 bytes (single DES or two-key
    // EDE). Gives the empty text for a factor under 8 bytes or a key under 8 bytes.
    static std::string DeriveSubKey(std::string_view factor, std::string_view key);

private:
    // Crypt is the encrypt, decrypt and process-key action; result_label names what it shows.
    ActionResult Crypt(bool decrypt, const char* result_label);
};

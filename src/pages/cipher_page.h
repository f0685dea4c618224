// The block-cipher workbench page: DES/TDES, AES and SM4 in ECB, CBC, CFB, OFB, CTR and GCM with
// a choice of padding, and the CMAC (GMAC in GCM) of the data.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/page.h"
#include "crypto/block/block_cipher.h"

class CCipherPage : public CPage {
public:
    CCipherPage();

    // OnEncrypt encrypts the data in the chosen mode: ECB and CBC pad it as the padding group
    // says, the stream modes take any length, GCM also authenticates the AAD and writes the tag.
    ActionResult OnEncrypt();
    // OnDecrypt decrypts the data; ECB and CBC check and remove the padding (none and zero are
    // kept), GCM checks the tag first and shows nothing when it is wrong.
    ActionResult OnDecrypt();
    // OnCmac writes the full-block CMAC of the data (SP 800-38B); in GCM mode the GMAC of the
    // data taken as additional data, as many bytes as the tag length says.
    ActionResult OnCmac();
    // OnClear empties the key, IV, data, AAD, tag and result fields.
    ActionResult OnClear();

protected:
    void OnFieldChanged(const std::string& field_id) override;
    void OnOptionChosen(const std::string& group_id) override;

private:
    // The choices of each group, in order.
    enum class Algorithm { Des, Aes, Sm4 };
    enum class Mode { Ecb, Cbc, Cfb, Ofb, Ctr, Gcm };
    enum class Pad { None, Zero, M2, Pkcs7 };

    // The action a check is made for; it names the data in the messages.
    enum class Action { Encrypt, Decrypt, Mac };

    ActionResult Crypt(Action action);
    // ReadKey checks the key field for the chosen algorithm and keys `cipher`.
    ActionResult ReadKey(CBlockCipher& cipher) const;
    // ReadHex checks a blank-free hex field: even digits, then hex; `what` names it in the
    // messages ("Encrypt Data", "IV", "AAD", "Tag").
    static ActionResult ReadHex(const std::string& text, const std::string& what,
                                std::vector<uint8_t>& bytes);
    // ReadTagLength reads the tag length field: 4 to 16.
    ActionResult ReadTagLength(size_t& bytes) const;
    void ShowChoices();

    OptionOf<Algorithm> m_alg;
    OptionOf<Mode> m_mode;
    OptionOf<Pad> m_pad;
};

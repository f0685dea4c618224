// CKeyTypePage: the form the block-cipher pages share.
//
// The IV, data, key and result fields with their byte counters, and the "密钥类型" radios: choosing
// one loads a default key of its length, typing a key selects the radio of its length (or none).
#pragma once

#include <array>
#include <string>

#include "common/page.h"
#include "crypto/block/key_check_value.h"

struct KeyType {
    const char* name;                  // the command line's choice name: "single"
    const char* caption;               // "单倍DES运算"
    int bytes;                         // the key length the radio stands for
    const char* default_key;           // loaded when the radio is chosen
    const char* default_iv = nullptr;  // loaded with the key where the page has one per type
};

// The key types of the DES and MAC pages: clear test patterns of 8, 16 and 24 bytes.
inline constexpr std::array<KeyType, 3> kDesKeyTypes = {{
    {"single", "单倍DES运算", 8, "0123456789ABCDEF"},
    {"double", "双倍DES运算", 16, "0123456789ABCDEFFEDCBA9876543210"},
    {"triple", "三倍DES运算", 24, "0123456789ABCDEFFEDCBA987654321089ABCDEF01234567"},
}};
inline constexpr const char* kDesDefaultIv = "0000000000000000";

class CKeyTypePage : public CPage {
protected:
    CKeyTypePage(std::string name, std::string tab_caption, std::array<KeyType, 3> key_types);

    // AddCipherForm adds the fields iv, data, key, result and the key's check value "kcv" under
    // `kcv_cipher`, and the group "keytype", and starts them with `iv` and the first key type's
    // default key.
    void AddCipherForm(const std::string& iv, KcvCipher kcv_cipher);
    // AddModeOption adds the group "mode" ("运算类型": ECB, CBC); ECB, the default, disables the IV
    // field and CBC enables it, leaving its text as it is.
    void AddModeOption();
    // IsCbc tells whether the mode group says CBC.
    bool IsCbc() const { return IsChosen(m_mode, Mode::Cbc); }

    void OnFieldChanged(const std::string& field_id) override;
    void OnOptionChosen(const std::string& group_id) override;

private:
    // The choices of the mode group, in order.
    enum class Mode { Ecb, Cbc };

    std::array<KeyType, 3> m_keyTypes;
    OptionOf<Mode> m_mode;
    KcvCipher m_kcvCipher = KcvCipher::Des;
};

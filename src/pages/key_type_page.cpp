#include "pages/key_type_page.h"

#include "common/hex_codec.h"
#include "pages/kcv_field.h"

CKeyTypePage::CKeyTypePage(std::string name, std::string tab_caption,
                           std::array<KeyType, 3> key_types)
    : CPage(std::move(name), std::move(tab_caption)), m_keyTypes(key_types) {}

void CKeyTypePage::AddCipherForm(const std::string& iv, KcvCipher kcv_cipher) {
    m_kcvCipher = kcv_cipher;
    for (Field& field : BlockCipherFields()) {
        AddField(std::move(field));
    }
    OptionGroup& key_type = AddOption({.id = "keytype", .caption = "密钥类型"});
    for (const KeyType& type : m_keyTypes) {
        key_type.choices.push_back({type.name, type.caption});
    }
    SetText("iv", iv);
    SetText("key", m_keyTypes[0].default_key);
}

void CKeyTypePage::AddModeOption() {
    m_mode = AddOptionOf<Mode>(
        {.id = "mode", .caption = "运算类型", .choices = {{"ecb", "ECB"}, {"cbc", "CBC"}}});
    SetEnabled("iv", false);
}

void CKeyTypePage::OnFieldChanged(const std::string& field_id) {
    CPage::OnFieldChanged(field_id);
    if (field_id == "key") {
        const auto bytes = static_cast<int>(RemoveBlanks(Text("key")).size() / 2);
        SyncKeyTypeRadios("keytype", bytes,
                          {m_keyTypes[0].bytes, m_keyTypes[1].bytes, m_keyTypes[2].bytes});
        SetText("kcv", KcvText(m_kcvCipher, Text("key")));
    }
}

void CKeyTypePage::OnOptionChosen(const std::string& group_id) {
    if (group_id == "keytype" && Option("keytype") >= 0) {
        const KeyType& type = m_keyTypes[static_cast<size_t>(Option("keytype"))];
        if (type.default_iv != nullptr) {
            SetText("iv", type.default_iv);
        }
        SetText("key", type.default_key);
    }
    if (m_mode.Is(group_id)) {
        SetEnabled("iv", IsCbc());
    }
}

#include "pages/kcv_field.h"

#include "common/hex_codec.h"

Field KcvField() {
    return Field{.id = "kcv",
                 .label = "KCV",
                 .role = Role::Result,
                 .beside = "key",
                 .width_chars = 6,
                 .read_only = true};
}

std::string KcvText(KcvCipher cipher, std::string_view key_text) {
    const std::string key = RemoveBlanks(key_text);
    if (key.empty() || key.size() % 2 != 0 || CheckHexText(key) != 0) {
        return "";
    }
    const auto kcv = KeyCheckValue(cipher, HexToBytes(key));
    return kcv ? BytesToHex(*kcv) : "";
}

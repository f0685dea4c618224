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

std::vector<Field> BlockCipherFields() {
    return {
        {.id = "iv",
         .label = "初始向量：",
         .role = Role::Plain,
         .counter_rule = CounterRule::Bytes},
        {.id = "data",
         .label = "处理数据：",
         .role = Role::Input,
         .counter_rule = CounterRule::Bytes},
        {.id = "key", .label = "密钥(K) ：", .role = Role::Key, .counter_rule = CounterRule::Bytes},
        {.id = "result",
         .label = "处理结果：",
         .role = Role::Result,
         .counter_rule = CounterRule::Manual,
         .read_only = true},
        KcvField(),
    };
}

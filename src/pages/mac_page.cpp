#include "pages/mac_page.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "common/hex_codec.h"
#include "common/key_data_checks.h"
#include "crypto/block/des_mac.h"

namespace {

// The padding of each MAC algorithm: the PSAM MAC pads as the PBOC MAC does.
MacPadType PadTypeOf(CMacPage::Algorithm algorithm) {
    switch (algorithm) {
        case CMacPage::Algorithm::X919:
            return MacPadType::AnsiX919;
        case CMacPage::Algorithm::Cbc:
            return MacPadType::CbcMac;
        case CMacPage::Algorithm::Pboc:
        case CMacPage::Algorithm::Psam:
            break;
    }
    return MacPadType::Pboc;
}

constexpr size_t kKeyDigits[] = {16, 32, 48};
constexpr KeyDataMessages kChecks = {
    "Des Key or Encrypt Data can not be null, Pls input !!!",
    kDesKeyLengthMessage,
    " byte of the Des Key is the illegal, Pls Check !!!",
    "Encrypt Data should be even , and not be odd , Pls Check !!!",
    " byte of the Encrypt Data is the illegal, Pls Check !!!",
};

}  // namespace

CMacPage::CMacPage() : CKeyTypePage("mac", "MAC 运算", kDesKeyTypes) {
    AddCipherForm(kDesDefaultIv, KcvCipher::Des);
    m_alg = AddOptionOf<Algorithm>({.id = "alg",
                                    .caption = "运算类型",
                                    .choices = {{"pboc", "PBOC-MAC算法"},
                                                {"x919", "ANSI X9.9/X9.19"},
                                                {"cbc", "CBC-MAC算法"},
                                                {"psam", "PSAM-MAC算法"}}});
    m_macLength = AddOptionOf<MacLength>(
        {.id = "maclen", .caption = "MAC长度", .choices = {{"4", "4字节"}, {"8", "8字节"}}});
    AddOption(SpacingOption("结果是否加入空格"));
    AddButton("compute", "计算", [this] { return OnCompute(); });
    AddButton("clear", "清空", [this] { return OnClear(); });
    AddSection(
        {.caption = "MAC 通用算法",
         .fields = {"iv", "data", "key", "result"},
         .options = {"keytype", "alg", "maclen", "spaced"},
         .buttons = {"compute", "clear"},
         .notes = {"说明：输入的数据必须是十六进制的数据，若长度不够则根据运算类型自动补位。",
                   "如果密钥是8个字节为单长度MAC计算，若是16字节则为双长度MAC计算 。"}});
}

ActionResult CMacPage::OnCompute() {
    const std::string key = RemoveBlanks(Text("key"));
    const std::string data = RemoveBlanks(Text("data"));
    if (auto refusal = CheckKeyAndData(key, data, kKeyDigits, kChecks)) {
        return refusal;
    }
    std::array<uint8_t, 8> iv_bytes{};
    if (auto refusal = ReadChainingValue(Text("iv"), iv_bytes)) {
        return refusal;
    }

    const MacPadType pad = PadTypeOf(Chosen(m_alg));
    const std::vector<uint8_t> key_bytes = HexToBytes(key);
    const std::vector<uint8_t> data_bytes = HexToBytes(data);
    std::array<uint8_t, 8> mac{};
    bool computed = false;
    // A single- or double-length MAC by the key's length (the key-type radios follow it).
    if (key_bytes.size() == 8) {
        computed = MacSingleKey(pad, iv_bytes, key_bytes, data_bytes, mac);
    } else if (key_bytes.size() == 16) {
        computed = MacDoubleKey(pad, iv_bytes, key_bytes, data_bytes, mac);
    }
    if (!computed) {
        // There is no MAC algorithm for a 24-byte key.
        return ErrorBox("Mac Key should be 8 bytes or 16 bytes, Pls input the correct !!!");
    }

    const size_t length = IsChosen(m_macLength, MacLength::Eight) ? 8 : 4;
    ShowResult("result", std::span<const uint8_t>(mac).first(length));
    return std::nullopt;
}

ActionResult CMacPage::OnClear() {
    for (const char* id : {"data", "key", "result"}) {
        SetText(id, "");
        SetCounter(id, "");
    }
    return std::nullopt;
}

#include "pages/sm4_page.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <limits>
#include <span>
#include <vector>

#include "common/hex_codec.h"
#include "common/key_data_checks.h"
#include "crypto/block/sm4.h"
#include "pages/kcv_field.h"

namespace {

// The key and plaintext of GB/T 32907 example 1 are the page's defaults.
constexpr const char* kExampleBlock = "0123456789ABCDEFFEDCBA9876543210";
constexpr const char* kDefaultIv = "00000000000000000000000000000000";
constexpr const char* kDefaultRepeat = "1000000";  // GB/T 32907 example 2

constexpr size_t kKeyDigits[] = {32};
constexpr const char* kKeyLength = kSm4KeyLengthMessage;
constexpr const char* kKeySuffix = " byte of the sm4 Key is the illegal , Pls Check !!!";

constexpr KeyDataMessages kEncryptChecks = {
    "sm4 Key or Encrypt Data can not be null, Pls input !!!", kKeyLength, kKeySuffix,
    "Encrypt Data should be even , and not be odd , Pls Check !!!",
    " byte of the Encrypt Data is the illegal, Pls Check !!!"};
constexpr KeyDataMessages kDecryptChecks = {
    "sm4 Key or Decrypt Data can not be null, Pls input !!!", kKeyLength, kKeySuffix,
    "Decrypt Data should be even , and not be odd , Pls Check !!!",
    " byte of the Decrypt Data is the illegal, Pls Check !!!"};

// PadTo16 completes the data to whole 16-byte blocks: with zero bytes (nothing when it already
// is whole), or for the MAC by ISO/IEC 9797-1 padding method 2 (80, then zero bytes; always at
// least one byte, so whole data gains a block).
std::vector<uint8_t> PadTo16(std::vector<uint8_t> data, bool method2) {
    if (method2) {
        data.push_back(0x80);
    }
    data.resize((data.size() + 15) / 16 * 16, 0x00);
    return data;
}

// ReadRepeatCount reads the count as the page always has: an optional sign and the digits after
// it, up to the first other character; a text that does not start with a number is 0 ("2x" is 2).
// Gives false for a count outside 0..2^31-1, which the page refuses.
bool ReadRepeatCount(std::string_view text, int64_t& count) {
    size_t start = 0;
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        start = 1;
    }
    uint64_t value = 0;
    const char* first = text.data() + start;
    const auto [end, error] = std::from_chars(first, text.data() + text.size(), value);
    if (end == first) {
        count = 0;
        return true;
    }
    if (error == std::errc::result_out_of_range ||
        value > static_cast<uint64_t>(std::numeric_limits<int32_t>::max())) {
        count = negative ? -1 : std::numeric_limits<int64_t>::max();
        return false;
    }
    count = negative ? -static_cast<int64_t>(value) : static_cast<int64_t>(value);
    return count >= 0;
}

}  // namespace

CSm4Page::CSm4Page() : CPage("sm4", "SM4 运算") {
    for (Field& field : BlockCipherFields()) {
        AddField(std::move(field));
    }
    AddField({.id = "count", .label = "次数：", .role = Role::Plain, .width_chars = 10});
    m_mode = AddOptionOf<Mode>(
        {.id = "mode",
         .caption = "运算类型",
         .choices = {{"ecb", "ECB"}, {"cbc", "CBC"}, {"mac", "MAC", Role::Plain}}});
    // The repeat group holds its "是"/"否" pair, the label "次数：" and the count field.
    m_repeat = AddOptionOf<YesNo>({.id = "repeat",
                                   .caption = "次数",
                                   .choices = {{"yes", "是"}, {"no", "否", Role::Plain}},
                                   .selected = 1,
                                   .field = "count"});
    AddOption(SpacingOption("结果是否空格"));
    AddButton("encrypt", "加密", [this] { return OnEncrypt(); });
    AddButton("decrypt", "解密", [this] { return OnDecrypt(); });
    AddButton("clear", "清空", [this] { return OnClear(); });
    SetLongRunning("encrypt");
    SetLongRunning("decrypt");
    AddSection({.caption = "SM4 加密算法",
                .fields = {"iv", "data", "key", "result"},
                .options = {"mode", "repeat", "spaced"},
                .buttons = {"encrypt", "decrypt", "clear"},
                .notes = {"说明：输入的数据为16个字节（128bit）的整数倍,加解密计算不足的自动补",
                          "      \"0000....\",MAC计算不足的自动补\"8000....\"。",
                          "      输入的密钥只能是16个字节（128bit）,不存在其他密钥长度的算法。"}});
    SetText("iv", kDefaultIv);
    SetText("data", kExampleBlock);
    SetText("key", kExampleBlock);
    SetText("count", "0");
    SetEnabled("iv", false);
    SetEnabled("count", false);
}

void CSm4Page::OnFieldChanged(const std::string& field_id) {
    CPage::OnFieldChanged(field_id);
    if (field_id == "key") {
        SetText("kcv", KcvText(KcvCipher::Sm4, Text("key")));
    }
}

void CSm4Page::OnOptionChosen(const std::string& group_id) {
    if (m_mode.Is(group_id)) {
        const bool mac = IsChosen(m_mode, Mode::Mac);
        SetEnabled("iv", !IsChosen(m_mode, Mode::Ecb));
        SetButtonCaption("encrypt", mac ? "计算MAC" : "加密");
        SetButtonEnabled("decrypt", !mac);
    } else if (m_repeat.Is(group_id)) {
        const bool repeat = IsChosen(m_repeat, YesNo::Yes);
        SetText("count", repeat ? kDefaultRepeat : "0");
        SetEnabled("count", repeat);
    }
}

ActionResult CSm4Page::OnEncrypt() {
    return Crypt(true);
}

ActionResult CSm4Page::OnDecrypt() {
    return Crypt(false);
}

ActionResult CSm4Page::Crypt(bool encrypt) {
    const bool mac = encrypt && IsChosen(m_mode, Mode::Mac);
    const bool cbc = IsChosen(m_mode, Mode::Cbc);
    SetLabel("data", encrypt ? "加密数据：" : "解密数据：");

    const std::string key = RemoveBlanks(Text("key"));
    const std::string data = RemoveBlanks(Text("data"));
    if (auto refusal =
            CheckKeyAndData(key, data, kKeyDigits, encrypt ? kEncryptChecks : kDecryptChecks)) {
        return refusal;
    }
    // The IV is read and checked only where the mode chains; ECB never uses it.
    std::array<uint8_t, 16> chain{};
    if (cbc || mac) {
        if (auto refusal = ReadChainingValue(Text("iv"), chain)) {
            return refusal;
        }
    }
    int64_t repeat = 0;
    if (!mac && IsChosen(m_repeat, YesNo::Yes) &&
        !ReadRepeatCount(RemoveBlanks(Text("count")), repeat)) {
        return ErrorBox(repeat < 0 ? "Repeat count should not be negative, Pls Check !!!"
                                   : "Repeat count should be at most 2147483647, Pls Check !!!");
    }

    const std::vector<uint8_t> key_bytes = HexToBytes(key);
    const std::span<const uint8_t, 16> key16(key_bytes.data(), 16);
    std::vector<uint8_t> block_data = PadTo16(HexToBytes(data), mac);
    // Padding leaves at least one whole block, so the engines cannot refuse the length.
    if (mac) {
        // ISO/IEC 9797-1 MAC algorithm 1 with SM4: the CBC chain's last block, cut to 4 bytes.
        if (!Sm4CbcMac(key16, chain, block_data)) {
            return ErrorBox(kKeyLength);
        }
        ShowResult("result", std::span<const uint8_t>(chain).first(4));
        return std::nullopt;
    }
    if (!Sm4Crypt(key16, encrypt, cbc, static_cast<uint64_t>(repeat), block_data, chain,
                  Progress())) {
        // Only a cancelled run stops here: the length and the key were checked above.
        return std::nullopt;
    }
    ShowResult("result", block_data);
    return std::nullopt;
}

ActionResult CSm4Page::OnClear() {
    for (const char* id : {"iv", "key", "data", "result"}) {
        SetText(id, "");
    }
    return std::nullopt;
}

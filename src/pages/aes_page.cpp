#include "pages/aes_page.h"

#include <array>
#include <cstdint>
#include <vector>

#include "common/hex_codec.h"
#include "common/key_data_checks.h"
#include "crypto/block/aes.h"

namespace {

// The FIPS 197 Appendix C keys of each length, and zero IVs as long as the keys (only their first
// 16 bytes are used).
constexpr std::array<KeyType, 3> kAesKeyTypes = {{
    {"16", "双倍DES运算", 16, "000102030405060708090A0B0C0D0E0F",
     "00000000000000000000000000000000"},
    {"24", "三倍DES运算", 24, "000102030405060708090A0B0C0D0E0F1011121314151617",
     "000000000000000000000000000000000000000000000000"},
    {"32", "四倍DES运算", 32, "000102030405060708090A0B0C0D0E0F101112131415161718191A1B1C1D1E1F",
     "0000000000000000000000000000000000000000000000000000000000000000"},
}};

constexpr size_t kKeyDigits[] = {32, 48, 64};
constexpr size_t kBlockDigits = 32;
constexpr const char* kKeyLength = kAesKeyLengthMessage;
constexpr const char* kKeySuffix = " byte of the Aes Key is the illegal , Pls Check !!!";

constexpr KeyDataMessages kEncryptChecks = {
    "Aes Key or Encrypt Data can not be null, Pls input !!!",
    kKeyLength,
    kKeySuffix,
    "Encrypt Data should be even , and not be odd , Pls Check !!!",
    " byte of the Encrypt Data is the illegal, Pls Check !!!",
    kBlockDigits,
    "Encrypt Data should be an integer multiple of 16, Pls Check !!!",
};
constexpr KeyDataMessages kDecryptChecks = {
    "Aes Key or Decrypt Data can not be null, Pls input !!!",
    kKeyLength,
    kKeySuffix,
    "Decrypt Data should be even , and not be odd , Pls Check !!!",
    " byte of the Decrypt Data is the illegal, Pls Check !!!",
    kBlockDigits,
    "Decrypt Data should be an integer multiple of 16, Pls Check !!!",
};

}  // namespace

CAesPage::CAesPage() : CKeyTypePage("aes", "AES 运算", kAesKeyTypes) {
    AddCipherForm(kAesKeyTypes[0].default_iv, KcvCipher::Aes);
    AddModeOption();
    AddOption(SpacingOption("结果是否加入空格"));
    AddButton("encrypt", "加密", [this] { return OnEncrypt(); });
    AddButton("decrypt", "解密", [this] { return OnDecrypt(); });
    AddButton("clear", "清空", [this] { return OnClear(); });
    AddSection({.caption = "AES 通用算法",
                .fields = {"iv", "data", "key", "result"},
                .options = {"keytype", "mode", "spaced"},
                .buttons = {"encrypt", "decrypt", "clear"},
                .notes = {"说明：输入的数据必须是十六进制的数据，数据长度必须是0x10(16)的整数倍 。",
                          "此AES算法，支持CBC模式算法，密钥长度可为16字节，24字节，32字节 。"}});
}

ActionResult CAesPage::OnEncrypt() {
    return Crypt(false);
}

ActionResult CAesPage::OnDecrypt() {
    return Crypt(true);
}

ActionResult CAesPage::Crypt(bool decrypt) {
    const bool cbc = IsCbc();
    const std::string key = RemoveBlanks(Text("key"));
    const std::string data = RemoveBlanks(Text("data"));
    if (auto refusal =
            CheckKeyAndData(key, data, kKeyDigits, decrypt ? kDecryptChecks : kEncryptChecks)) {
        return refusal;
    }
    // ECB has no chaining value, so the (disabled) IV field is neither read nor checked.
    std::array<uint8_t, 16> chain{};
    if (cbc) {
        if (auto refusal = ReadChainingValue(Text("iv"), chain)) {
            return refusal;
        }
    }
    const std::vector<uint8_t> input = HexToBytes(data);
    std::vector<uint8_t> output(input.size());
    if (!AesCrypt(decrypt, cbc, input, output, chain, HexToBytes(key))) {
        // Unreachable: the key length and whole blocks are checked above.
        return ErrorBox(kKeyLength);
    }
    ShowResult("result", output);
    return std::nullopt;
}

ActionResult CAesPage::OnClear() {
    for (const char* id : {"data", "key", "result"}) {
        SetText(id, "");
    }
    for (const char* id : {"data", "key", "result"}) {
        SetCounter(id, "");
    }
    return std::nullopt;
}

#include "pages/des_page.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "common/hex_codec.h"
#include "common/key_data_checks.h"
#include "crypto/block/des.h"

namespace {

constexpr size_t kMaxFactorDigits = 48;

// PadTo8000 appends 80 and then 00 up to a whole number of 8-byte blocks; hex text whose byte
// count is already a multiple of 8 is returned as it is.
std::string PadTo8000(std::string hex) {
    if (hex.size() / 2 % 8 != 0) {
        hex += "80";
        while (hex.size() % 16 != 0) {
            hex += "00";
        }
    }
    return hex;
}

// The 8-, 16- and 24-byte keys of the crypt actions and the 8- and 16-byte keys of the sub-key.
constexpr size_t kCryptKeyDigits[] = {16, 32, 48};
constexpr size_t kSubKeyDigits[] = {16, 32};

// The texts that differ between the encrypt (and process-key) and the decrypt action; the key
// message of encrypt has a blank before its comma, that of decrypt has none.
struct CryptTexts {
    const char* data_label;
    KeyDataMessages checks;
};

constexpr CryptTexts kEncryptTexts = {
    "加密数据：",
    {"Des Key or Encrypt Data can not be null, Pls input !!!", kDesKeyLengthMessage,
     " byte of the Des Key is the illegal , Pls Check !!!",
     "Encrypt Data should be even , and not be odd , Pls Check !!!",
     " byte of the Encrypt Data is the illegal, Pls Check !!!"},
};
constexpr CryptTexts kDecryptTexts = {
    "解密数据：",
    {"Des Key or Decrypt Data can not be null, Pls input !!!", kDesKeyLengthMessage,
     " byte of the Des Key is the illegal, Pls Check !!!",
     "Decrypt Data should be even , and not be odd , Pls Check !!!",
     " byte of the Decrypt Data is the illegal, Pls Check !!!"},
};
constexpr KeyDataMessages kSubKeyChecks = {
    "Des Key or Dispersion factor can not be null, Pls input !!!",
    "Des Key should be 8 bytes or 16 bytes , Pls input the correct !!!",
    " byte of the Des Key is the illegal, Pls Check !!!",
    "Dispersion factor should be even , and not be odd , Pls Check !!!",
    " byte of the Dispersion factor is the illegal, Pls Check !!!",
};

}  // namespace

CDesPage::CDesPage() : CKeyTypePage("des", "DES 运算", kDesKeyTypes) {
    AddCipherForm(kDesDefaultIv, KcvCipher::Des);
    AddModeOption();
    AddOption(SpacingOption("结果是否加入空格"));
    AddButton("encrypt", "加密", [this] { return OnEncrypt(); });
    AddButton("decrypt", "解密", [this] { return OnDecrypt(); });
    AddButton("subkey", "子密钥", [this] { return OnSubKey(); });
    AddButton("processkey", "过程密钥", [this] { return OnProcessKey(); });
    AddSection({.caption = "DES 通用算法",
                .fields = {"iv", "data", "key", "result"},
                .options = {"keytype", "mode", "spaced"},
                .buttons = {"encrypt", "decrypt", "subkey", "processkey"},
                .notes = {"说明：输入的数据必须是十六进制的数据，若长度不够则自动补8000....。",
                          "如果密钥是8个字节为DES计算，是16字节则为3DES计算。另外生成过程",
                          "密钥和子密钥只适用于SAM卡。"}});
}

ActionResult CDesPage::OnEncrypt() {
    return Crypt(false, "处理结果：");
}

ActionResult CDesPage::OnDecrypt() {
    return Crypt(true, "处理结果：");
}

ActionResult CDesPage::OnProcessKey() {
    // The key field holds a sub-key and the data the input whose encryption is the process key.
    return Crypt(false, "过程密钥：");
}

ActionResult CDesPage::Crypt(bool decrypt, const char* result_label) {
    const CryptTexts& texts = decrypt ? kDecryptTexts : kEncryptTexts;
    const bool cbc = IsCbc();
    SetLabel("data", texts.data_label);
    SetLabel("result", result_label);

    const std::string key = RemoveBlanks(Text("key"));
    const std::string data = RemoveBlanks(Text("data"));
    if (auto refusal = CheckKeyAndData(key, data, kCryptKeyDigits, texts.checks)) {
        return refusal;
    }
    // ECB has no chaining value, so the (disabled) IV field is neither read nor checked.
    std::array<uint8_t, 8> chain{};
    if (cbc) {
        if (auto refusal = ReadChainingValue(Text("iv"), chain)) {
            return refusal;
        }
    }

    const std::vector<uint8_t> input = HexToBytes(PadTo8000(data));
    std::vector<uint8_t> output(input.size());
    if (!DesCrypt(decrypt, cbc, input, output, chain, HexToBytes(key))) {
        // Unreachable: the key length is checked and the data padded to whole blocks.
        return ErrorBox(kDesKeyLengthMessage);
    }
    ShowResult("result", output);
    return std::nullopt;
}

ActionResult CDesPage::OnSubKey() {
    SetLabel("data", "分散因子：");
    SetLabel("result", "处理结果：");

    const std::string key = RemoveBlanks(Text("key"));
    const std::string factor = RemoveBlanks(Text("data"));
    if (auto refusal = CheckKeyAndData(key, factor, kSubKeyDigits, kSubKeyChecks)) {
        return refusal;
    }
    const std::string padded = PadTo8000(factor);
    if (padded.size() > kMaxFactorDigits) {
        return ErrorBox("Dispersion factor should be at most 24 bytes, Pls Check !!!");
    }

    // Each level diversifies the previous level's key with the next 8 bytes of the factor; from
    // the second level on the key is 16 bytes, so two-key triple DES.
    std::string level_key = key;
    for (size_t offset = 0; offset < padded.size(); offset += 16) {
        level_key = DeriveSubKey(std::string_view(padded).substr(offset, 16), level_key);
    }
    ShowResult("result", HexToBytes(level_key));
    return std::nullopt;
}

std::string CDesPage::DeriveSubKey(std::string_view factor, std::string_view key) {
    std::vector<uint8_t> block = HexToBytes(factor);
    if (block.size() < 8) {
        return {};
    }
    block.resize(16);
    for (size_t i = 0; i < 8; ++i) {
        block[8 + i] = static_cast<uint8_t>(~block[i]);
    }
    std::array<uint8_t, 8> unused_chain{};
    if (!DesCrypt(false, false, block, block, unused_chain, HexToBytes(key))) {
        return {};
    }
    return BytesToHex(block);
}

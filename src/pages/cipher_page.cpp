#include "pages/cipher_page.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <span>
#include <string_view>
#include <vector>

#include "common/hex_codec.h"
#include "common/key_data_checks.h"
#include "crypto/block/block_padding.h"
#include "crypto/block/cipher_modes.h"
#include "crypto/block/cmac.h"
#include "crypto/block/gcm.h"
#include "pages/kcv_field.h"

namespace {

// The defaults: AES-128 in CBC with the key, IV and first plaintext block of SP 800-38A F.2.1,
// so that 加密 at once gives its first ciphertext block 7649ABAC8119B246CEE98E9B12E9197D.
constexpr const char* kDefaultKey = "2B7E151628AED2A6ABF7158809CF4F3C";
constexpr const char* kDefaultIv = "000102030405060708090A0B0C0D0E0F";
constexpr const char* kDefaultData = "6BC1BEE22E409F96E93D7E117393172A";
constexpr const char* kDefaultTagLength = "16";
// Written when an algorithm is chosen whose key length the key field does not fit: the three-key
// TDES key of NIST's TDES CMAC examples, or the SP 800-38A key.
constexpr const char* kDefaultDesKey = "0123456789ABCDEF23456789ABCDEF01456789ABCDEF0123";

// What each algorithm takes and how its messages name it.
struct AlgorithmInfo {
    BlockAlgorithm engine;
    KcvCipher kcv;
    const char* name;  // as the older pages write it: "Des Key", "Aes Key", "sm4 Key"
    const char* key_length;
    std::array<size_t, 3> key_bytes;
    const char* default_key;
};

constexpr AlgorithmInfo kAlgorithms[] = {
    {BlockAlgorithm::kDes,
     KcvCipher::Des,
     "Des",
     kDesKeyLengthMessage,
     {8, 16, 24},
     kDefaultDesKey},
    {BlockAlgorithm::kAes, KcvCipher::Aes, "Aes", kAesKeyLengthMessage, {16, 24, 32}, kDefaultKey},
    {BlockAlgorithm::kSm4, KcvCipher::Sm4, "sm4", kSm4KeyLengthMessage, {16, 16, 16}, kDefaultKey},
};

constexpr CipherMode kEngineModes[] = {CipherMode::kEcb, CipherMode::kCbc, CipherMode::kCfb,
                                       CipherMode::kOfb, CipherMode::kCtr};
constexpr BlockPadding kEnginePaddings[] = {BlockPadding::kNone, BlockPadding::kZero,
                                            BlockPadding::kIso9797Method2, BlockPadding::kPkcs7};

constexpr const char* kGcmNeeds16 =
    "GCM needs a 16-byte block, Pls choose Aes or sm4 , Pls Check !!!";
constexpr const char* kWrongTag = "Tag is wrong, the data is not authentic , Pls Check !!!";
constexpr const char* kBadPadding = "Padding of the Decrypt Data is wrong , Pls Check !!!";

bool KeyFits(const AlgorithmInfo& info, size_t digits) {
    for (const size_t bytes : info.key_bytes) {
        if (digits == 2 * bytes) {
            return true;
        }
    }
    return false;
}

}  // namespace

CCipherPage::CCipherPage() : CPage("cipher", "分组密码") {
    // The fields the block-cipher pages share, key first; GCM's own fields before the result.
    std::vector<Field> shared = BlockCipherFields();
    const auto take = [&shared](std::string_view id) {
        return *std::find_if(shared.begin(), shared.end(),
                             [id](const Field& field) { return field.id == id; });
    };
    AddField(take("key"));
    AddField(take("kcv"));
    AddField(take("iv"));
    AddField(take("data"));
    AddField({.id = "aad",
              .label = "附加数据：",
              .role = Role::Input,
              .counter_rule = CounterRule::Bytes});
    AddField({.id = "tag",
              .label = "认证标签：",
              .role = Role::Input,
              .counter_rule = CounterRule::Bytes});
    AddField({.id = "taglen",
              .label = "标签字节",
              .role = Role::Plain,
              .beside = "tag",
              .width_chars = 3});
    AddField(take("result"));
    m_alg =
        AddOptionOf<Algorithm>({.id = "alg",
                                .caption = "算法",
                                .choices = {{"des", "DES/TDES"}, {"aes", "AES"}, {"sm4", "SM4"}},
                                .selected = 1});
    m_mode = AddOptionOf<Mode>({.id = "mode",
                                .caption = "模式",
                                .choices = {{"ecb", "ECB"},
                                            {"cbc", "CBC"},
                                            {"cfb", "CFB"},
                                            {"ofb", "OFB"},
                                            {"ctr", "CTR"},
                                            {"gcm", "GCM"}},
                                .selected = 1});
    m_pad = AddOptionOf<Pad>(
        {.id = "pad",
         .caption = "填充",
         .choices = {{"none", "无"}, {"zero", "补00"}, {"m2", "补80 00"}, {"pkcs7", "PKCS#7"}}});
    AddOption(SpacingOption("结果是否空格"));
    AddButton("encrypt", "加密", [this] { return OnEncrypt(); });
    AddButton("decrypt", "解密", [this] { return OnDecrypt(); });
    AddButton("cmac", "CMAC", [this] { return OnCmac(); });
    AddButton("clear", "清空", [this] { return OnClear(); });
    AddSection(
        {.caption = "分组密码算法",
         .fields = {"key", "iv", "data", "aad", "tag", "result"},
         .options = {"alg", "mode", "pad", "spaced"},
         .buttons = {"encrypt", "decrypt", "cmac", "clear"},
         .notes = {
             "说明：DES 密钥 8/16/24 字节为单倍、双倍、三倍 DES；AES 16/24/32 字节；"
             "SM4 16 字节。",
             "      ECB/CBC 按所选填充补齐，解密时检查并去除 80 00.. 与 PKCS#7 "
             "填充；CFB/OFB/CTR/GCM 不填充。",
             "      CBC/CFB/OFB 的初始向量与 CTR 的初始计数器须为一个分组；GCM "
             "的随机数至少 1 字节，12 字节最常用。",
             "      CMAC 按 SP 800-38B 计算完整分组；GCM 模式下为 GMAC（数据作附加数据）。"}});
    SetText("key", kDefaultKey);
    SetText("iv", kDefaultIv);
    SetText("data", kDefaultData);
    SetText("taglen", kDefaultTagLength);
    ShowChoices();
}

void CCipherPage::OnFieldChanged(const std::string& field_id) {
    CPage::OnFieldChanged(field_id);
    if (field_id == "key") {
        SetText("kcv", KcvText(kAlgorithms[static_cast<size_t>(Chosen(m_alg))].kcv, Text("key")));
    }
}

void CCipherPage::OnOptionChosen(const std::string& group_id) {
    if (m_alg.Is(group_id)) {
        // A key the new algorithm cannot take is replaced by its example key, and an IV of the
        // other block length by the example IV cut to one block; a fitting one stays as typed.
        const AlgorithmInfo& info = kAlgorithms[static_cast<size_t>(Chosen(m_alg))];
        if (!KeyFits(info, RemoveBlanks(Text("key")).size())) {
            SetText("key", info.default_key);
        }
        const size_t block_digits = IsChosen(m_alg, Algorithm::Des) ? 16 : 32;
        const size_t iv_digits = RemoveBlanks(Text("iv")).size();
        if ((iv_digits == 16 || iv_digits == 32) && iv_digits != block_digits) {
            SetText("iv", std::string(kDefaultIv).substr(0, block_digits));
        }
        SetText("kcv", KcvText(info.kcv, Text("key")));
    }
    ShowChoices();
}

void CCipherPage::ShowChoices() {
    const bool gcm = IsChosen(m_mode, Mode::Gcm);
    SetEnabled("iv", !IsChosen(m_mode, Mode::Ecb));
    SetLabel("iv", gcm ? "随机数：" : (IsChosen(m_mode, Mode::Ctr) ? "初始计数：" : "初始向量："));
    for (const char* id : {"aad", "tag", "taglen"}) {
        SetEnabled(id, gcm);
    }
    SetButtonCaption("cmac", gcm ? "GMAC" : "CMAC");
}

ActionResult CCipherPage::OnEncrypt() {
    return Crypt(Action::Encrypt);
}

ActionResult CCipherPage::OnDecrypt() {
    return Crypt(Action::Decrypt);
}

ActionResult CCipherPage::OnCmac() {
    return Crypt(Action::Mac);
}

ActionResult CCipherPage::OnClear() {
    for (const char* id : {"key", "iv", "data", "aad", "tag", "result"}) {
        SetText(id, "");
    }
    return std::nullopt;
}

ActionResult CCipherPage::ReadKey(CBlockCipher& cipher) const {
    const AlgorithmInfo& info = kAlgorithms[static_cast<size_t>(Chosen(m_alg))];
    const std::string key = RemoveBlanks(Text("key"));
    if (key.empty()) {
        return ErrorBox(std::string(info.name) + " Key can not be null, Pls input !!!");
    }
    if (!KeyFits(info, key.size())) {
        return ErrorBox(info.key_length);
    }
    if (const int p = CheckHexText(key); p > 0) {
        return IllegalByteBox(
            p, std::string(" byte of the ") + info.name + " Key is the illegal , Pls Check !!!");
    }
    if (!cipher.SetKey(info.engine, HexToBytes(key))) {
        return ErrorBox(info.key_length);
    }
    return std::nullopt;
}

ActionResult CCipherPage::ReadHex(const std::string& text, const std::string& what,
                                  std::vector<uint8_t>& bytes) {
    const std::string hex = RemoveBlanks(text);
    if (hex.size() % 2 != 0) {
        return ErrorBox(what + " should be even , and not be odd , Pls Check !!!");
    }
    if (const int p = CheckHexText(hex); p > 0) {
        return IllegalByteBox(p, " byte of the " + what + " is the illegal, Pls Check !!!");
    }
    bytes = HexToBytes(hex);
    return std::nullopt;
}

ActionResult CCipherPage::ReadTagLength(size_t& bytes) const {
    const std::string text = RemoveBlanks(Text("taglen"));
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), bytes);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size() ||
        bytes < kGcmMinTagBytes || bytes > kGcmMaxTagBytes) {
        return ErrorBox("Tag length should be 4 to 16 bytes, Pls Check !!!");
    }
    return std::nullopt;
}

ActionResult CCipherPage::Crypt(Action action) {
    const bool gcm = IsChosen(m_mode, Mode::Gcm);
    const char* data_name = action == Action::Encrypt   ? "Encrypt Data"
                            : action == Action::Decrypt ? "Decrypt Data"
                                                        : "Mac Data";
    CBlockCipher cipher;
    if (auto refusal = ReadKey(cipher)) {
        return refusal;
    }
    std::vector<uint8_t> data;
    if (auto refusal = ReadHex(Text("data"), data_name, data)) {
        return refusal;
    }
    const size_t block = cipher.BlockSize();
    if (action == Action::Mac && !gcm) {
        std::array<uint8_t, CBlockCipher::kMaxBlock> mac{};
        if (!Cmac(cipher, std::span(mac).first(block), data)) {
            return ErrorBox(kAlgorithms[static_cast<size_t>(Chosen(m_alg))].key_length);
        }
        ShowResult("result", std::span(mac).first(block));
        return std::nullopt;
    }
    if (gcm && block != 16) {
        return ErrorBox(kGcmNeeds16);
    }

    const Mode mode = Chosen(m_mode);
    const bool stream = gcm || IsStreamMode(kEngineModes[static_cast<size_t>(mode)]);
    const BlockPadding padding = kEnginePaddings[static_cast<size_t>(Chosen(m_pad))];
    if (!stream && (action == Action::Decrypt || padding == BlockPadding::kNone) &&
        data.size() % block != 0) {
        return ErrorBox(std::string(data_name) + " should be an integer multiple of " +
                        std::to_string(block) + ", Pls Check !!!");
    }
    std::vector<uint8_t> iv;
    if (mode != Mode::Ecb) {
        if (auto refusal = ReadHex(Text("iv"), "IV", iv)) {
            return refusal;
        }
        if (gcm && iv.empty()) {
            return ErrorBox("GCM Nonce can not be null, Pls input !!!");
        }
        if (!gcm && iv.size() != block) {
            return ErrorBox("IV should be " + std::to_string(block) + " bytes, Pls Check !!!");
        }
    }

    if (gcm) {
        size_t tag_bytes = 0;
        if (auto refusal = ReadTagLength(tag_bytes)) {
            return refusal;
        }
        std::vector<uint8_t> aad;
        if (action == Action::Mac) {
            // GMAC: the data is the additional data and there is no plaintext.
            std::vector<uint8_t> tag(tag_bytes);
            if (!Gmac(cipher, tag, iv, data)) {
                return ErrorBox(kGcmNeeds16);
            }
            ShowResult("result", tag);
            return std::nullopt;
        }
        if (auto refusal = ReadHex(Text("aad"), "AAD", aad)) {
            return refusal;
        }
        std::vector<uint8_t> out(data.size());
        if (action == Action::Encrypt) {
            std::vector<uint8_t> tag(tag_bytes);
            if (!GcmEncrypt(cipher, out, tag, iv, aad, data)) {
                return ErrorBox(kGcmNeeds16);
            }
            ShowResult("result", out);
            SetText("tag", SpacedIfChosen(BytesToHex(tag)));
            return std::nullopt;
        }
        std::vector<uint8_t> tag;
        if (auto refusal = ReadHex(Text("tag"), "Tag", tag)) {
            return refusal;
        }
        if (tag.size() != tag_bytes) {
            return ErrorBox("Tag should be " + std::to_string(tag_bytes) +
                            " bytes as the tag length says, Pls Check !!!");
        }
        if (!GcmDecrypt(cipher, out, iv, aad, data, tag)) {
            return ErrorBox(kWrongTag);
        }
        ShowResult("result", out);
        return std::nullopt;
    }

    const CipherMode engine_mode = kEngineModes[static_cast<size_t>(mode)];
    std::vector<uint8_t> input = data;
    if (!stream && action == Action::Encrypt && !PadToBlocks(input, data, padding, block)) {
        return ErrorBox(std::string(data_name) + " should be an integer multiple of " +
                        std::to_string(block) + ", Pls Check !!!");
    }
    std::vector<uint8_t> out(input.size());
    if (!CipherModeCrypt(cipher, engine_mode, action == Action::Decrypt, out, iv, input)) {
        return ErrorBox("IV should be " + std::to_string(block) + " bytes, Pls Check !!!");
    }
    if (!stream && action == Action::Decrypt) {
        size_t kept = 0;
        if (!StripPadding(kept, out, padding, block)) {
            return ErrorBox(kBadPadding);
        }
        out.resize(kept);
    }
    ShowResult("result", out);
    return std::nullopt;
}

#include "pages/rsa_page.h"

#include <cstdio>

#include "common/hex_codec.h"
#include "pages/number_text.h"
#include "pages/rsa_key_generation.h"

namespace {

constexpr size_t kMaxKeyDigits = 320;
constexpr size_t kMaxExponentDigits = 10;
// 320 hex digits are 1280 bits, the largest modulus: a longer input could not be a residue and,
// raised to an exponent of 0 or 1, would come back unreduced.
constexpr size_t kMaxDataDigits = 320;

}  // namespace

CRsaPage::CRsaPage() : CPage("rsa", "RSA 运算") {
    AddOption({.id = "bits",
               .caption = "密钥长度",
               .kind = OptionKind::DropDown,
               .choices = RsaKeySizeChoices(),
               .selected = kDefaultRsaKeySize,
               .caption_role = Role::Label});
    AddField({.id = "modlen",
              .label = "数模长度",
              .role = Role::Plain,
              .width_chars = 4,
              .centred = true,
              .read_only = true});
    AddField({.id = "e", .label = "E", .role = Role::Input});
    AddField({.id = "n", .label = "N", .role = Role::Input, .kind = FieldKind::MultiLine});
    AddField({.id = "d", .label = "D", .role = Role::Input, .kind = FieldKind::MultiLine});
    AddField({.id = "input", .label = "输入", .role = Role::Input, .kind = FieldKind::MultiLine});
    AddField({.id = "output",
              .label = "输出",
              .role = Role::Result,
              .kind = FieldKind::MultiLine,
              .read_only = true});
    AddButton("genkey", "随机取数", [this] { return OnGenerateKey(); });
    SetLongRunning("genkey");
    AddButton("encrypt", "加密", [this] { return OnEncrypt(); });
    AddButton("decrypt", "解密", [this] { return OnDecrypt(); });
    AddSection({.caption = "RSA 通用算法",
                .fields = {"modlen", "e", "n", "d", "input", "output"},
                .options = {"bits"},
                .buttons = {"genkey", "encrypt", "decrypt"},
                .options_first = true,
                .enter = {"encrypt"}});
    SetText("modlen", "0000");
}

void CRsaPage::OnFieldChanged(const std::string& field_id) {
    CPage::OnFieldChanged(field_id);
    if (field_id == "n") {
        char length[24];
        std::snprintf(length, sizeof length, "%04zX", RemoveBlanks(Text("n")).size() / 2);
        SetText("modlen", length);
    }
}

ActionResult CRsaPage::OnGenerateKey() {
    const std::optional<RsaKey> generated =
        GenerateRsaKey(RsaPrimeWords(Option("bits")), Progress());
    if (!generated) {
        return NoKeyBox(Progress());  // nothing is written
    }
    const RsaKey& key = *generated;
    m_n = key.n;
    m_e = key.e;
    m_d = key.d;
    SetText("n", m_n.ToText(16));
    SetText("e", "010001");
    SetText("d", m_d.ToText(16));
    SetText("output", FormatElapsedSeconds(key.elapsed_seconds));
    return std::nullopt;
}

ActionResult CRsaPage::CheckKey() {
    const std::string& n = Text("n");
    const std::string& d = Text("d");
    const std::string& e = Text("e");
    if (n.size() > kMaxKeyDigits) {
        return NoticeBox("N不得大于320位");
    }
    if (d.size() > kMaxKeyDigits) {
        return NoticeBox("D不得大于320位");
    }
    if (e.size() > kMaxExponentDigits) {
        return NoticeBox("E不得大于10位");
    }
    if (!IsHexNumberText(n)) {
        return NoticeBox("N必须为0-9或A-F或a-f组成的整数");
    }
    if (!IsHexNumberText(d)) {
        return NoticeBox("D必须为0-9或A-F或a-f组成的整数");
    }
    if (!IsHexNumberText(e)) {
        return NoticeBox("E必须为0-9或A-F或a-f组成的整数");
    }
    m_n.FromText(n, 16);
    m_d.FromText(d, 16);
    m_e.FromText(e, 16);
    // This also keeps N non-zero for the reductions modulo N.
    if (m_n.Compare(m_e) <= 0 || m_n.Compare(m_d) <= 0) {
        return NoticeBox("N必须大于D、E");
    }
    return std::nullopt;
}

ActionResult CRsaPage::OnEncrypt() {
    if (auto refusal = CheckKey()) {
        return refusal;
    }
    const std::string& input = Text("input");
    if (input.size() > kMaxDataDigits) {
        return NoticeBox("N不得大于320位");
    }
    if (!IsHexNumberText(input)) {
        return NoticeBox("待加密数据必须为0-9或A-F或a-f组成的整数");
    }
    m_data.FromText(input, 16);
    if (m_data.Compare(m_n) >= 0) {
        return NoticeBox("待加密数据必须小于N");
    }
    m_output = m_data.ModPow(m_e, m_n);
    SetText("output", m_output.ToText(16));
    return std::nullopt;
}

ActionResult CRsaPage::OnDecrypt() {
    if (auto refusal = CheckKey()) {
        return refusal;
    }
    const std::string& input = Text("input");
    if (input.size() > kMaxDataDigits) {
        return NoticeBox("待解密数据不得大于320位");
    }
    if (!IsHexNumberText(input)) {
        return NoticeBox("待解密数据必须为0-9或A-F或a-f组成的整数");
    }
    m_data.FromText(input, 16);
    m_output = m_data.ModPow(m_d, m_n);
    SetText("output", m_output.ToText(16));
    return std::nullopt;
}

#include "pages/crt_page.h"

#include <array>

#include "pages/number_text.h"
#include "pages/rsa_key_generation.h"

namespace {

constexpr size_t kMaxKeyDigits = 256;
// 512 hex digits are 2048 bits, the largest modulus P * Q; the bound keeps every intermediate
// value, also an unreduced base returned for an exponent of 0 or 1, far inside CBigNumber.
constexpr size_t kMaxDataDigits = 512;

struct KeyPart {
    const char* id;
    const char* too_long;
    const char* not_hex;
};

// P and Q are tested like the exponents: FromText would read any other character as the digit 0.
constexpr std::array<KeyPart, 5> kKeyParts = {{
    {"p", "P不得大于256位", "P必须为0-9或A-F或a-f组成的整数"},
    {"q", "Q不得大于256位", "Q必须为0-9或A-F或a-f组成的整数"},
    {"dp", "DP不得大于256位", "DP必须为0-9或A-F或a-f组成的整数"},
    {"dq", "DQ不得大于256位", "DQ必须为0-9或A-F或a-f组成的整数"},
    {"qinv", "QinV不得大于256位", "QinV必须为0-9或A-F或a-f组成的整数"},
}};

}  // namespace

CCrtPage::CCrtPage() : CPage("crt", "CRT 运算") {
    AddField({.id = "p", .label = "P", .role = Role::Input, .kind = FieldKind::MultiLine});
    AddField({.id = "q", .label = "Q", .role = Role::Input, .kind = FieldKind::MultiLine});
    AddField({.id = "dp", .label = "DP", .role = Role::Input, .kind = FieldKind::MultiLine});
    AddField({.id = "dq", .label = "DQ", .role = Role::Input, .kind = FieldKind::MultiLine});
    AddField({.id = "qinv", .label = "QinV", .role = Role::Input, .kind = FieldKind::MultiLine});
    AddField({.id = "input", .label = "输入", .role = Role::Input, .kind = FieldKind::MultiLine});
    AddField({.id = "output",
              .label = "输出",
              .role = Role::Key,
              .kind = FieldKind::MultiLine,
              .read_only = true});
    AddOption({.id = "bits",
               .caption = "位数",
               .kind = OptionKind::DropDown,
               .choices = RsaKeySizeChoices(),
               .selected = kDefaultRsaKeySize,
               .caption_role = Role::Label});
    AddButton("genkey", "随机取数", [this] { return OnGenerateKey(); });
    SetLongRunning("genkey");
    AddButton("decrypt", "解密", [this] { return OnDecrypt(); });
    AddSection({.caption = "CRT 通用算法",
                .fields = {"p", "q", "dp", "dq", "qinv", "input", "output"},
                .options = {"bits"},
                .buttons = {"genkey", "decrypt"},
                .enter = {"decrypt"}});
}

ActionResult CCrtPage::OnGenerateKey() {
    const std::optional<RsaKey> generated =
        GenerateRsaKey(RsaPrimeWords(Option("bits")), Progress());
    if (!generated) {
        return NoKeyBox(Progress());  // nothing is written
    }
    const RsaKey& key = *generated;
    m_p = key.p;
    m_q = key.q;
    m_dp = key.dp;
    m_dq = key.dq;
    m_qinv = key.qinv;
    SetText("p", m_p.ToText(16));
    SetText("q", m_q.ToText(16));
    SetText("qinv", m_qinv.ToText(16));
    SetText("dp", m_dp.ToText(16));
    SetText("dq", m_dq.ToText(16));
    SetText("output", FormatElapsedSeconds(key.elapsed_seconds));
    return std::nullopt;
}

ActionResult CCrtPage::CheckKey() {
    for (const KeyPart& part : kKeyParts) {
        if (Text(part.id).size() > kMaxKeyDigits) {
            return NoticeBox(part.too_long);
        }
    }
    for (const KeyPart& part : kKeyParts) {
        if (!IsHexNumberText(Text(part.id))) {
            return NoticeBox(part.not_hex);
        }
    }
    const std::string& input = Text("input");
    if (input.size() > kMaxDataDigits) {
        return NoticeBox("待解密数据不得大于512位");
    }
    if (!IsHexNumberText(input)) {
        return NoticeBox("待解密数据必须为0-9或A-F或a-f组成的整数");
    }
    m_p.FromText(Text("p"), 16);
    m_q.FromText(Text("q"), 16);
    m_dp.FromText(Text("dp"), 16);
    m_dq.FromText(Text("dq"), 16);
    m_qinv.FromText(Text("qinv"), 16);
    // Both primes are moduli below: a zero one would be a division by zero.
    if (m_p.IsZero()) {
        return NoticeBox("P不得为0");
    }
    if (m_q.IsZero()) {
        return NoticeBox("Q不得为0");
    }
    m_input.FromText(input, 16);
    return std::nullopt;
}

ActionResult CCrtPage::OnDecrypt() {
    if (auto refusal = CheckKey()) {
        return refusal;
    }
    // RSADP of PKCS #1 v2.2 (RFC 8017 5.1.2) with the private key as (p, q, dP, dQ, qInv).
    m_m1 = m_input.ModPow(m_dp, m_p);
    m_m2 = m_input.ModPow(m_dq, m_q);
    const CBigNumber m1 = m_m1.Mod(m_p);
    const CBigNumber m2 = m_m2.Mod(m_p);
    // (m1 - m2) mod P as a non-negative residue: Sub gives 0 for a left operand not above.
    const CBigNumber difference = m1.Compare(m2) >= 0 ? m1.Sub(m2) : m1.Add(m_p).Sub(m2);
    const CBigNumber h = difference.Mul(m_qinv).Mod(m_p);
    m_output = m_m2.Add(m_q.Mul(h));
    SetText("output", m_output.ToText(16));
    return std::nullopt;
}

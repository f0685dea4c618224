#include "pages/big_num_page.h"

#include "pages/number_text.h"

namespace {

constexpr size_t kMaxDecimalDigits = 310;
constexpr size_t kMaxHexDigits = 256;

}  // namespace

CBigNumPage::CBigNumPage() : CPage("bignum", "大数运算") {
    AddField({.id = "a", .label = "A", .role = Role::Input, .kind = FieldKind::MultiLine});
    AddField({.id = "b", .label = "B", .role = Role::Input, .kind = FieldKind::MultiLine});
    AddField({.id = "c",
              .label = "C",
              .role = Role::Result,
              .kind = FieldKind::MultiLine,
              .read_only = true});
    AddButton("add", "C=A+B", [this] { return OnAdd(); });
    AddButton("sub", "C=A-B", [this] { return OnSub(); });
    AddButton("mul", "C=A*B", [this] { return OnMul(); });
    AddButton("div", "C=A/B", [this] { return OnDiv(); });
    AddButton("mod", "C=A%B", [this] { return OnMod(); });
    AddButton("inverse", "CB%A=1", [this] { return OnInverse(); });
    AddButton("hex", "C=Hex(A)", [this] { return OnHex(); });
    AddButton("dec", "C=DEC(A)", [this] { return OnDec(); });
    AddSection({.caption = "大数运算算法",
                .fields = {"a", "b", "c"},
                .buttons = {"add", "sub", "mul", "div", "mod", "inverse", "hex", "dec"}});
}

ActionResult CBigNumPage::ReadOperands(bool use_b, bool sum_length) {
    const std::string& a = Text("a");
    const std::string& b = Text("b");
    const bool too_long =
        sum_length ? a.size() + b.size() > kMaxDecimalDigits
                   : a.size() > kMaxDecimalDigits || (use_b && b.size() > kMaxDecimalDigits);
    if (too_long) {
        return NoticeBox("A、B不得大于310位");
    }
    if (!IsDecimalText(a)) {
        return NoticeBox("A必须为0-9组成的整数");
    }
    // FromText would read letters of B as digits 10..15 and anything else as 0.
    if (use_b && !IsDecimalText(b)) {
        return NoticeBox("B必须为0-9组成的整数");
    }
    m_a.FromText(a, 10);
    m_b.FromText(use_b ? b : std::string_view(), 10);
    return std::nullopt;
}

ActionResult CBigNumPage::OnAdd() {
    if (auto refusal = ReadOperands(true, false)) {
        return refusal;
    }
    m_c = m_a.Add(m_b);
    SetText("c", m_c.ToText(10));
    return std::nullopt;
}

ActionResult CBigNumPage::OnSub() {
    if (auto refusal = ReadOperands(true, false)) {
        return refusal;
    }
    if (m_a.Compare(m_b) >= 0) {
        m_c = m_a.Sub(m_b);
        SetText("c", m_c.ToText(10));
    } else {
        m_c = m_b.Sub(m_a);
        std::string negative = "-";
        negative += m_c.ToText(10);
        SetText("c", std::move(negative));
    }
    return std::nullopt;
}

ActionResult CBigNumPage::OnMul() {
    if (auto refusal = ReadOperands(true, true)) {
        return refusal;
    }
    m_c = m_a.Mul(m_b);
    SetText("c", m_c.ToText(10));
    return std::nullopt;
}

ActionResult CBigNumPage::OnDiv() {
    if (auto refusal = ReadOperands(true, false)) {
        return refusal;
    }
    if (m_b.IsZero()) {
        return NoticeBox("B不得为0");
    }
    m_c = m_a.Div(m_b);
    SetText("c", m_c.ToText(10));
    return std::nullopt;
}

ActionResult CBigNumPage::OnMod() {
    if (auto refusal = ReadOperands(true, false)) {
        return refusal;
    }
    if (m_b.IsZero()) {
        return NoticeBox("B不得为0");
    }
    m_c = m_a.Mod(m_b);
    SetText("c", m_c.ToText(10));
    return std::nullopt;
}

ActionResult CBigNumPage::OnInverse() {
    if (auto refusal = ReadOperands(true, false)) {
        return refusal;
    }
    if (m_a.Compare(m_b) <= 0) {
        return NoticeBox("B必须小于A");
    }
    m_c = m_b.ModInverse(m_a);
    // Without a common factor C * B = 1 (mod A); otherwise the extended Euclidean algorithm
    // gives gcd(A, B) there and no inverse exists. 1 mod A keeps A = 1 right (every C fits).
    CBigNumber one;
    one.SetValue(1);
    if (m_c.Mul(m_b).Mod(m_a).Compare(one.Mod(m_a)) != 0) {
        return NoticeBox("A、B不互素，逆元不存在");
    }
    SetText("c", m_c.ToText(10));
    return std::nullopt;
}

ActionResult CBigNumPage::OnHex() {
    if (auto refusal = ReadOperands(false, false)) {
        return refusal;
    }
    m_c = m_a;
    SetText("c", m_c.ToText(16));
    return std::nullopt;
}

ActionResult CBigNumPage::OnDec() {
    const std::string& a = Text("a");
    if (a.size() > kMaxHexDigits) {
        return NoticeBox("A不得大于256位");
    }
    if (!IsHexNumberText(a)) {
        return NoticeBox("A必须为0-9或A-F或a-f组成的整数");
    }
    m_a.FromText(a, 16);
    m_c = m_a;
    SetText("c", m_c.ToText(10));
    return std::nullopt;
}

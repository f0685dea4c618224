#include "pages/tlv_page.h"

#include <vector>

#include "common/hex_codec.h"
#include "tlv/emv_tlv_listing.h"
#include "tlv/tlv_parser.h"

CTlvPage::CTlvPage() : CPage("tlv", "TLV 运算") {
    AddField({.id = "data",
              .label = "T L V 数据",
              .role = Role::Input,
              .kind = FieldKind::MultiLine,
              .counter_rule = CounterRule::Bytes,
              .label_role = Role::Plain});
    AddField({.id = "result",
              .label = "处理结果",
              .role = Role::Result,
              .kind = FieldKind::MultiLine,
              .counter_rule = CounterRule::None,
              .wrap_lines = false,
              .label_role = Role::Plain,
              .read_only = true});
    m_mode = AddOptionOf<Mode>({.id = "mode",
                                .caption = "解析方式",
                                .choices = {{"data", "按数据嵌套"}, {"emv", "EMV 标准解析"}}});
    AddButton("parse", "TLV解析", [this] { return OnParse(); });
    // A listing of megabytes takes a moment: the window lists on its worker thread.
    SetLongRunning("parse");
    AddSection({.caption = "TLV 数据解析",
                .fields = {"data", "result"},
                .options = {"mode"},
                .buttons = {"parse"}});
    SetText("data", "");
}

std::string CTlvPage::PrepareTlvText(std::string_view text) {
    const std::string without_blanks = RemoveBlanksAndTabs(text);
    // One left-to-right pass over the text without blanks: "\r\r\n\n" keeps its outer CR and LF.
    std::string prepared;
    prepared.reserve(without_blanks.size());
    for (size_t i = 0; i < without_blanks.size(); ++i) {
        if (without_blanks[i] == '\r' && i + 1 < without_blanks.size() &&
            without_blanks[i + 1] == '\n') {
            ++i;
            continue;
        }
        prepared.push_back(without_blanks[i]);
    }
    return prepared;
}

ActionResult CTlvPage::OnParse() {
    const std::vector<uint8_t> bytes = HexToBytes(PrepareTlvText(Text("data")));
    if (IsChosen(m_mode, Mode::Emv)) {
        SetText("result", FormatEmvTlv(bytes));
        return std::nullopt;
    }
    std::string listing;
    // A failed listing appends nothing, so data that does not parse leaves the result empty.
    if (!CTlvParser().FormatTlvLevel(1, bytes, listing)) {
        listing.clear();
    }
    SetText("result", std::move(listing));
    return std::nullopt;
}

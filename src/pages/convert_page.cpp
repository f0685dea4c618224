#include "pages/convert_page.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "common/gbk_text.h"
#include "common/hex_codec.h"

namespace {

struct DirectionRow {
    const char* name;
    const char* caption;
    const char* input_label;
    const char* output_label;
};

constexpr std::array<DirectionRow, 2> kDirections = {{
    {"hex2asc", "十六进制转ASCII", "HEX数据", "ASC数据"},
    {"asc2hex", "ASCII转十六进制", "ASC数据", "HEX数据"},
}};

constexpr int kCounterWidth = 4;  // this page counts with "%04d"

constexpr std::string_view kEmptyTextMessage = "Hex Data should be not null , Pls Check !!!";
constexpr std::string_view kUnencodableMessage =
    "The Text Data has a character that GBK can not encode, Pls Check !!!";
constexpr std::string_view kOddHexMessage =
    "ASCII Data should be even , and not be odd , Pls Check !!!";
constexpr std::string_view kIllegalHexSuffix =
    " byte of the Hex Data is the illegal, Pls Check !!!";

std::span<const uint8_t> AsBytes(std::string_view text) {
    return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

// CharacterLength gives the number of bytes of the character at the start of non-empty UTF-8
// text: its lead byte and the continuation bytes after it, or CR LF as one line break.
size_t CharacterLength(std::string_view text) {
    if (text.starts_with("\r\n")) {
        return 2;
    }
    size_t length = 1;
    while (length < text.size() && (static_cast<uint8_t>(text[length]) & 0xC0) == 0x80) {
        ++length;
    }
    return length;
}

}  // namespace

std::string SpaceTextPairs(std::string_view utf8) {
    std::string spaced;
    spaced.reserve(utf8.size() + utf8.size() / 2 + 1);
    int in_pair = 0;
    while (!utf8.empty()) {
        const size_t length = CharacterLength(utf8);
        spaced.append(utf8.substr(0, length));
        utf8.remove_prefix(length);
        if (++in_pair == 2 || utf8.empty()) {
            spaced.push_back(' ');
            in_pair = 0;
        }
    }
    return spaced;
}

CConvertPage::CConvertPage() : CPage("convert", "数据转换") {
    AddField({.id = "input",
              .label = kDirections[0].input_label,
              .role = Role::Input,
              .kind = FieldKind::MultiLine,
              .counter_rule = CounterRule::Manual});
    AddField({.id = "output",
              .label = kDirections[0].output_label,
              .role = Role::Result,
              .kind = FieldKind::MultiLine,
              .counter_rule = CounterRule::Manual,
              .read_only = true});
    std::vector<Choice> directions;
    for (const DirectionRow& row : kDirections) {
        directions.push_back({row.name, row.caption});
    }
    m_direction = AddOptionOf<Direction>(
        {.id = "direction", .caption = "类型", .choices = std::move(directions)});
    // The check box shows its caption beside the box, in the option colour.
    m_spaced = AddOptionOf<Ticked>({.id = "spaced",
                                    .caption = "显示结果加入空格",
                                    .kind = OptionKind::CheckBox,
                                    .choices = {{"no", ""}, {"yes", "显示结果加入空格"}},
                                    .caption_role = Role::Option});
    AddButton("convert", "执行转换", [this] { return OnConvert(); });
    AddButton("clear", "清空", [this] { return OnClear(); });
    AddSection({.caption = "字符转换算法",
                .fields = {"input", "output"},
                .options = {"direction", "spaced"},
                .buttons = {"convert", "clear"}});
}

void CConvertPage::OnFieldChanged(const std::string& field_id) {
    CPage::OnFieldChanged(field_id);
    if (field_id == "input") {
        // Half the GBK length of the text without blanks and tabs, for either direction.
        const std::string gbk = EncodeGbkLossy(RemoveBlanksAndTabs(Text("input")));
        SetCounter("input", FormatCount(static_cast<long long>(gbk.size() / 2), kCounterWidth));
    }
}

void CConvertPage::OnOptionChosen(const std::string& group_id) {
    CPage::OnOptionChosen(group_id);
    if (m_direction.Is(group_id)) {
        ShowLabels();
    }
}

void CConvertPage::ShowLabels() {
    const DirectionRow& row = kDirections[static_cast<size_t>(Chosen(m_direction))];
    SetLabel("input", row.input_label);
    SetLabel("output", row.output_label);
}

ActionResult CConvertPage::OnConvert() {
    const std::string input = Text("input");
    const bool spaced = IsChosen(m_spaced, Ticked::Yes);
    return IsChosen(m_direction, Direction::HexToText) ? HexToText(input, spaced)
                                                       : TextToHex(input, spaced);
}

ActionResult CConvertPage::HexToText(const std::string& input, bool spaced) {
    // Lengths and positions count GBK bytes, as the text is held in that code page; a character
    // without a GBK form is one illegal byte.
    const std::string hex = EncodeGbkLossy(input);
    if (hex.size() % 2 != 0) {
        return ErrorBox(std::string(kOddHexMessage));
    }
    if (const int position = CheckHexText(hex); position != 0) {
        return IllegalByteBox(position, kIllegalHexSuffix);
    }
    const std::vector<uint8_t> bytes = HexToBytes(hex);
    // The text ends just before the first zero byte.
    size_t length = 0;
    while (length < bytes.size() && bytes[length] != 0x00) {
        ++length;
    }
    const std::string text = DecodeGbk(std::span(bytes.data(), length));
    SetText("output", spaced ? SpaceTextPairs(text) : text);
    // Each decoded byte, a replaced one too, is one byte of the text in GBK.
    SetCounter("output", FormatCount(static_cast<long long>(length / 2), kCounterWidth));
    return std::nullopt;
}

ActionResult CConvertPage::TextToHex(const std::string& input, bool spaced) {
    if (input.empty()) {
        return ErrorBox(std::string(kEmptyTextMessage));
    }
    std::string gbk;
    if (!EncodeGbk(input, gbk)) {
        return ErrorBox(std::string(kUnencodableMessage));
    }
    const std::string hex = BytesToHex(AsBytes(gbk));
    SetText("output", spaced ? SpaceHexPairs(hex) : hex);
    SetCounter("output", FormatCount(static_cast<long long>(gbk.size()), kCounterWidth));
    return std::nullopt;
}

ActionResult CConvertPage::OnClear() {
    SetText("output", "");
    SetCounter("output", "");
    SetText("input", "");
    SetCounter("input", "");
    return std::nullopt;
}

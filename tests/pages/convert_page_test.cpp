#include "pages/convert_page.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "support/page_gestures.h"

namespace {

constexpr int kHex2Asc = 0;  // "十六进制转ASCII": hex digits in, text out
constexpr int kAsc2Hex = 1;  // "ASCII转十六进制": text in, hex digits out

const std::string kReplacement = "\xEF\xBF\xBD";
const std::string kEmoji = "\xF0\x9F\x98\x80";

const std::string kOddHex = "ASCII Data should be even , and not be odd , Pls Check !!!";
const std::string kEmptyText = "Hex Data should be not null , Pls Check !!!";
const std::string kNoGbk = "The Text Data has a character that GBK can not encode, Pls Check !!!";

std::string Illegal(int position) {
    return "The " + std::to_string(position) +
           " byte of the Hex Data is the illegal, Pls Check !!!";
}

struct ConvertCase {
    int direction;
    bool spaced;
    std::string input;
    std::string output;   // or, when `message` is set, the refused input
    std::string counter;  // the output counter
    std::string message = {};
};

TEST(ConvertPage, ConvertsInTheDirectionItsCaptionNames) {
    const ConvertCase cases[] = {
        {kHex2Asc, false, "414243", "ABC", "0001"},
        {kHex2Asc, true, "414243", "AB C ", "0001"},  // the odd last character is shown
        {kHex2Asc, true, "41424344", "AB CD ", "0002"},
        {kHex2Asc, false, "41420043", "AB", "0001"},  // the text ends at the zero byte
        {kHex2Asc, false, "", "", "0000"},
        {kHex2Asc, false, "00", "", "0000"},
        {kHex2Asc, false, "6162", "ab", "0001"},
        {kHex2Asc, false, "d6d0cec4", "中文", "0002"},
        // Pairs are characters: a Chinese character is one; the counter counts GBK bytes.
        {kHex2Asc, true, "D6D0CEC4", "中文 ", "0002"},
        {kHex2Asc, true, "41D6D0CEC4", "A中 文 ", "0002"},
        {kHex2Asc, true, "D6D04142CEC4", "中A B文 ", "0003"},
        {kHex2Asc, false, "81FF", kReplacement + kReplacement, "0001"},
        {kHex2Asc, true, "81FF41", kReplacement + kReplacement + " A ", "0001"},
        {kHex2Asc, false, "D6D08130", "中" + kReplacement + "0", "0002"},
        // A line break stays whole in the spaced form.
        {kHex2Asc, false, "410D0A42", "A\r\nB", "0002"},
        {kHex2Asc, true, "410D0A42", "A\r\n B ", "0002"},
        {kAsc2Hex, false, "AB", "4142", "0002"},
        {kAsc2Hex, true, "AB", "41 42 ", "0002"},
        {kAsc2Hex, false, "A B", "412042", "0003"},
        {kAsc2Hex, false, " ", "20", "0001"},
        {kAsc2Hex, false, "A\r\nB", "410D0A42", "0004"},
        {kAsc2Hex, false, "A\tB", "410942", "0003"},
        {kAsc2Hex, false, "中文", "D6D0CEC4", "0004"},
        {kAsc2Hex, true, "中文", "D6 D0 CE C4 ", "0004"},
        {kAsc2Hex, false, "41", "3431", "0002"},
    };
    for (const ConvertCase& c : cases) {
        CConvertPage page;
        page.Choose("direction", c.direction);
        page.Choose("spaced", c.spaced ? 1 : 0);
        page.Type("input", c.input);
        const std::string where =
            std::to_string(c.direction) + (c.spaced ? " spaced " : " ") + c.input;
        EXPECT_EQ(page.Press("convert"), std::nullopt) << where;
        EXPECT_EQ(FieldOf(page, "output").text, c.output) << where;
        EXPECT_EQ(FieldOf(page, "output").counter, c.counter) << where;
        EXPECT_EQ(FieldOf(page, "input").text, c.input) << where;
        EXPECT_EQ(page.WrittenFields(), std::vector<std::string>{"output"}) << where;
    }
}

TEST(ConvertPage, EachDirectionRefusesWithItsOwnMessagesAndChangesNothing) {
    const struct {
        int direction;
        std::string input;
        std::string message;
    } cases[] = {
        {kHex2Asc, "41 42", kOddHex},  // nothing is removed: five characters
        {kHex2Asc, "414", kOddHex},
        {kHex2Asc, "41 424", Illegal(2)},
        {kHex2Asc, "4\t", Illegal(1)},
        {kHex2Asc, "41\r\n", Illegal(2)},
        {kHex2Asc, "12345G", Illegal(3)},
        // Lengths and positions count GBK bytes: 中 is two, a character GBK lacks is one.
        {kHex2Asc, "中1", kOddHex},
        {kHex2Asc, "41中", Illegal(2)},
        {kHex2Asc, kEmoji + "1", Illegal(1)},
        {kAsc2Hex, "", kEmptyText},
        {kAsc2Hex, "A" + kEmoji, kNoGbk},
        {kAsc2Hex, kReplacement, kNoGbk},
        {kAsc2Hex, "A\xC0\xAF", kNoGbk},  // not UTF-8 at all
    };
    for (const auto& c : cases) {
        CConvertPage page;
        page.Choose("direction", c.direction);
        page.Type("input", c.direction == kHex2Asc ? "41" : "A");
        ASSERT_EQ(page.Press("convert"), std::nullopt);
        const Field before = FieldOf(page, "output");
        page.Type("input", c.input);
        EXPECT_EQ(page.Press("convert"), ErrorBox(c.message)) << c.input;
        EXPECT_EQ(FieldOf(page, "output").text, before.text) << c.input;
        EXPECT_EQ(FieldOf(page, "output").counter, before.counter) << c.input;
        EXPECT_TRUE(page.WrittenFields().empty()) << c.input;
    }
}

TEST(ConvertPage, InputCounterDropsBlanksAndTabsAndCountsGbkBytes) {
    const struct {
        std::string text;
        const char* counter;
    } cases[] = {
        {"", "0000"},           {"41 42", "0002"},
        {"41\t42", "0002"},     {"4142 ", "0002"},
        {"123", "0001"},        {"A\r\nB", "0002"},
        {"中文", "0002"},       {"中", "0001"},
        {"A" + kEmoji, "0001"}, {std::string(20000, 'A'), "10000"},
    };
    for (int direction : {kHex2Asc, kAsc2Hex}) {
        CConvertPage page;
        page.Choose("direction", direction);
        for (const auto& c : cases) {
            page.Type("input", c.text);
            EXPECT_EQ(FieldOf(page, "input").counter, c.counter) << c.text.substr(0, 20);
        }
    }
}

TEST(ConvertPage, ChoosingADirectionSetsTheLabelsAtOnce) {
    CConvertPage page;
    EXPECT_EQ(FieldOf(page, "input").label, "HEX数据");
    EXPECT_EQ(FieldOf(page, "output").label, "ASC数据");
    page.Type("input", "4142");
    ASSERT_EQ(page.Press("convert"), std::nullopt);
    page.Choose("direction", kAsc2Hex);
    EXPECT_EQ(FieldOf(page, "input").label, "ASC数据");
    EXPECT_EQ(FieldOf(page, "output").label, "HEX数据");
    EXPECT_EQ(FieldOf(page, "input").text, "4142");
    EXPECT_EQ(FieldOf(page, "output").text, "AB");
    page.Choose("direction", kHex2Asc);
    EXPECT_EQ(FieldOf(page, "input").label, "HEX数据");
    EXPECT_EQ(FieldOf(page, "output").label, "ASC数据");
}

TEST(ConvertPage, ClearEmptiesBothFieldsAndBothCountersAndKeepsTheOptions) {
    CConvertPage page;
    page.Choose("direction", kAsc2Hex);
    page.Choose("spaced", 1);
    page.Type("input", "AB");
    ASSERT_EQ(page.Press("convert"), std::nullopt);
    EXPECT_EQ(FieldOf(page, "input").counter, "0001");
    EXPECT_EQ(page.Press("clear"), std::nullopt);
    for (const char* id : {"input", "output"}) {
        EXPECT_EQ(FieldOf(page, id).text, "") << id;
        EXPECT_EQ(FieldOf(page, id).counter, "") << id;
    }
    EXPECT_EQ(page.WrittenFields(), (std::vector<std::string>{"input", "output"}));
    EXPECT_EQ(page.FindOption("direction")->selected, kAsc2Hex);
    EXPECT_EQ(page.FindOption("spaced")->selected, 1);
    EXPECT_EQ(FieldOf(page, "input").label, "ASC数据");
}

TEST(ConvertPage, DeclaresItsForm) {
    CConvertPage page;
    EXPECT_EQ(page.Name(), "convert");
    EXPECT_EQ(page.TabCaption(), "数据转换");
    ASSERT_EQ(page.Sections().size(), 1u);
    EXPECT_EQ(page.Sections()[0].caption, "字符转换算法");
    EXPECT_EQ(FieldOf(page, "input").kind, FieldKind::MultiLine);
    EXPECT_EQ(FieldOf(page, "output").kind, FieldKind::MultiLine);
    EXPECT_TRUE(FieldOf(page, "output").read_only);
    EXPECT_FALSE(FieldOf(page, "input").read_only);
    const OptionGroup& direction = *page.FindOption("direction");
    EXPECT_EQ(direction.caption, "类型");
    ASSERT_EQ(direction.choices.size(), 2u);
    EXPECT_EQ(direction.choices[0].name, "hex2asc");
    EXPECT_EQ(direction.choices[0].caption, "十六进制转ASCII");
    EXPECT_EQ(direction.choices[1].name, "asc2hex");
    EXPECT_EQ(direction.choices[1].caption, "ASCII转十六进制");
    const OptionGroup& spaced = *page.FindOption("spaced");
    EXPECT_EQ(spaced.kind, OptionKind::CheckBox);
    EXPECT_EQ(spaced.caption, "显示结果加入空格");
    EXPECT_EQ(spaced.selected, 0);
    ASSERT_EQ(spaced.choices.size(), 2u);
    EXPECT_EQ(spaced.choices[0].name, "no");
    EXPECT_EQ(spaced.choices[1].name, "yes");
    EXPECT_EQ(spaced.choices[1].caption, "显示结果加入空格");
    EXPECT_EQ(page.FindButton("convert")->caption, "执行转换");
    EXPECT_EQ(page.FindButton("clear")->caption, "清空");
}

TEST(SpaceTextPairs, PairsCharactersNotBytes) {
    const struct {
        std::string text;
        std::string spaced;
    } cases[] = {
        {"", ""},
        {"A", "A "},
        {"中", "中 "},
        {"中文字", "中文 字 "},
        {"\r\n\r\n", "\r\n\r\n "},
        {"\r", "\r "},
        {kEmoji + "A", kEmoji + "A "},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SpaceTextPairs(c.text), c.spaced) << c.text;
    }
}

}  // namespace

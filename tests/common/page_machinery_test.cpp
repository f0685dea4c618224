// The machinery every page shares, exercised through a small page of its own.
#include "common/page.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class CSamplePage : public CPage {
public:
    // With spacing_check_box the spacing choice is a check box (index 1 = ticked = spaced), as on
    // the conversion page, instead of a "是"/"否" radio pair (index 0 = spaced).
    explicit CSamplePage(bool spacing_check_box = false) : CPage("sample", "示例") {
        AddField({.id = "key",
                  .label = "密钥(K) ：",
                  .role = Role::Key,
                  .counter_rule = CounterRule::Bytes});
        AddField({.id = "result",
                  .label = "处理结果：",
                  .role = Role::Result,
                  .counter_rule = CounterRule::Manual,
                  .read_only = true});
        AddField({.id = "note", .label = "", .role = Role::Plain, .label_role = Role::Plain});
        AddOption({.id = "keytype",
                   .caption = "密钥类型",
                   .choices = {{"single", "单倍"}, {"double", "双倍"}, {"triple", "三倍"}}});
        if (spacing_check_box) {
            AddOption({.id = "spaced",
                       .caption = "显示结果加入空格",
                       .kind = OptionKind::CheckBox,
                       .choices = {{"no", ""}, {"yes", "显示结果加入空格"}}});
        } else {
            AddOption(SpacingOption("结果是否加入空格"));
        }
        AddButton("show", "显示", [this] {
            ShowResult("result", m_bytes);
            return ActionResult{};
        });
        AddButton("refuse", "拒绝", [] { return ActionResult{IllegalByteBox(3, " byte of it")}; });
        SetText("key", "0123456789ABCDEF");
    }

    std::vector<uint8_t> m_bytes = {0x01, 0x02, 0x03, 0x04};

protected:
    void OnFieldChanged(const std::string& id) override {
        CPage::OnFieldChanged(id);
        if (id == "key") {
            SyncKeyTypeRadios("keytype", static_cast<int>(Text("key").size() / 2), {8, 16, 24});
        }
    }
};

TEST(PageMachinery, ByteCounterCountsPairsWithoutBlanks) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"11 22 33", "03"}, {"123", "01"},         {"", "00"}, {std::string(200, 'A'), "100"},
        {"1\t2", "01"},     {" 1 2 3 4 5 ", "02"},
    };
    CSamplePage page;
    EXPECT_EQ(page.FindField("key")->counter, "08") << "start value counted";
    for (const auto& [text, counter] : cases) {
        page.Type("key", text);
        EXPECT_EQ(page.FindField("key")->counter, counter) << "text \"" << text << "\"";
    }
}

TEST(PageMachinery, KeyTypeRadiosFollowTheKeyLength) {
    const std::vector<std::pair<int, int>> cases = {{16, 0}, {32, 1}, {48, 2}, {40, -1}, {0, -1}};
    CSamplePage page;
    for (const auto& [digits, selected] : cases) {
        page.Type("key", std::string(static_cast<size_t>(digits), '1'));
        EXPECT_EQ(page.FindOption("keytype")->selected, selected) << digits << " digits";
    }
}

TEST(PageMachinery, ShowResultSpacesByOptionAndCountsBytes) {
    CSamplePage page;
    page.Press("show");
    EXPECT_EQ(page.FindField("result")->text, "01020304");
    EXPECT_EQ(page.FindField("result")->counter, "04");
    page.Choose("spaced", 0);
    page.Press("show");
    EXPECT_EQ(page.FindField("result")->text, "01 02 03 04 ");
    EXPECT_EQ(page.FindField("result")->counter, "04");
    page.m_bytes.assign(116, 0xAB);
    page.Press("show");
    EXPECT_EQ(page.FindField("result")->counter, "116");
    EXPECT_EQ(page.FindField("result")->text.size(), 116u * 3);
}

TEST(PageMachinery, SpacingIsFoundByTheChoiceNameNotItsIndex) {
    const struct {
        bool check_box;
        int choice;
        const char* shown;
    } cases[] = {{false, 0, "01 02 03 04 "},
                 {false, 1, "01020304"},
                 {true, 1, "01 02 03 04 "},
                 {true, 0, "01020304"}};
    for (const auto& c : cases) {
        CSamplePage page(c.check_box);
        page.Choose("spaced", c.choice);
        page.Press("show");
        EXPECT_EQ(page.FindField("result")->text, c.shown) << c.check_box << "/" << c.choice;
    }
}

TEST(PageMachinery, PressReportsTheFieldsTheActionWrote) {
    CSamplePage page;
    page.Type("key", "11");
    EXPECT_TRUE(page.WrittenFields().empty()) << "typing is not an action";
    EXPECT_FALSE(page.Press("show").has_value());
    EXPECT_EQ(page.WrittenFields(), std::vector<std::string>{"result"});
    const ActionResult refusal = page.Press("refuse");
    ASSERT_TRUE(refusal.has_value());
    EXPECT_EQ(*refusal,
              (MessageBox{"The 3 byte of it", "Error", MessageIcon::Error, MessageKind::Refusal}));
    EXPECT_TRUE(page.WrittenFields().empty());
}

TEST(PageMachinery, FormattingHelpers) {
    EXPECT_EQ(FormatCount(0), "00");
    EXPECT_EQ(FormatCount(7), "07");
    EXPECT_EQ(FormatCount(116), "116");
    EXPECT_EQ(FormatCount(2, 4), "0002");
    EXPECT_EQ(SpaceHexPairs(""), "");
    EXPECT_EQ(SpaceHexPairs("0102"), "01 02 ");
    EXPECT_EQ(SpaceHexPairs("010"), "01 0 ");
}

TEST(PageMachinery, FieldsWithoutLabelOrCounterSaySo) {
    CSamplePage page;
    EXPECT_TRUE(page.FindField("key")->HasLabel());
    EXPECT_TRUE(page.FindField("key")->HasCounter());
    EXPECT_FALSE(page.FindField("note")->HasLabel());
    EXPECT_FALSE(page.FindField("note")->HasCounter());
    EXPECT_EQ(page.FindField("absent"), nullptr);
    EXPECT_EQ(page.FindOption("absent"), nullptr);
    EXPECT_EQ(page.FindButton("absent"), nullptr);
}

}  // namespace

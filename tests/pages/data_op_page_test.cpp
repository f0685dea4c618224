#include "pages/data_op_page.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "support/page_gestures.h"

namespace {

enum Op { kAnd, kXor, kXorSum, kAdd, kOr, kNot, kSum, kSub };

constexpr const char* kOdd = "XOR Data should be even , and not be odd , Pls Check !!!";

std::string Illegal(int position) {
    return "The " + std::to_string(position) +
           " byte of the XOR Data is the illegal, Pls Check !!!";
}

struct ComputeCase {
    int op;
    const char* src1;
    const char* src2;
    const char* result;
    const char* counter;
};

TEST(DataOpPage, ComputesTheChosenOperation) {
    const ComputeCase cases[] = {
        {kAnd, "0F0F", "FF", "0F00", "02"},
        {kOr, "0F0F", "FF", "FF0F", "02"},
        {kXor, "0F0F", "FF", "F00F", "02"},
        {kXor, "0F", "FFFF", "F0", "01"},
        {kXor, "0f 0f", "f f", "F00F", "02"},  // blanks removed, lower case taken
        {kXorSum, "010203", "", "00", "01"},
        {kSum, "FF01", "", "00", "01"},
        {kSum, "0102", "", "03", "01"},
        {kSum, "", "", "00", "01"},
        {kXorSum, "", "", "00", "01"},
        {kAdd, "00FF", "0001", "0100", "02"},
        {kAdd, "0100", "01", "0200", "02"},
        {kAdd, "FF", "01", "", "00"},  // overflow: empty result, no message
        {kSub, "0100", "0001", "00FF", "02"},
        {kSub, "01", "02", "", "00"},  // negative: empty result, no message
        {kSub, "05", "0501", "00", "01"},
        {kNot, "00FF5A", "", "FF00A5", "03"},
        {kAnd, "", "FF", "", "00"},
        {kNot, "", "", "", "00"},
        {kNot, "00", "12", "FF", "01"},  // the disabled source 2 is checked but not used
    };
    for (const ComputeCase& c : cases) {
        CDataOpPage page;
        page.Type("src1", c.src1);
        page.Type("src2", c.src2);
        page.Choose("op", c.op);
        const std::string where =
            std::string("op ") + std::to_string(c.op) + " " + c.src1 + "/" + c.src2;
        EXPECT_EQ(page.Press("compute"), std::nullopt) << where;
        EXPECT_EQ(FieldOf(page, "result").text, c.result) << where;
        EXPECT_EQ(FieldOf(page, "result").counter, c.counter) << where;
        EXPECT_EQ(page.WrittenFields(), std::vector<std::string>{"result"}) << where;
    }
}

TEST(DataOpPage, RefusesOddOrNonHexSourcesAndChangesNothing) {
    const struct {
        int op;
        const char* src1;
        const char* src2;
        std::string message;
    } cases[] = {
        {kAnd, "ABC", "", kOdd},         {kAnd, "12 3", "12", kOdd},
        {kAnd, "12G4", "", Illegal(2)},  {kAnd, "G234", "", Illegal(1)},
        {kAnd, "12\t4", "", Illegal(2)}, {kAnd, "12\r\n", "", Illegal(2)},
        {kAnd, "ABC", "G1", kOdd},  // source 1 first
        {kXor, "", "123", kOdd},         {kXor, "1234", "12G4", Illegal(2)},
        {kNot, "12", "123", kOdd},  // source 2 checked while disabled
        {kSum, "12", "ZZ", Illegal(1)},
    };
    for (const auto& c : cases) {
        CDataOpPage page;
        page.Type("src1", "0102");
        page.Type("src2", "FFFF");
        ASSERT_EQ(page.Press("compute"), std::nullopt);
        page.Type("src1", c.src1);
        page.Type("src2", c.src2);
        page.Choose("op", c.op);
        const std::string where = std::string(c.src1) + "/" + c.src2;
        EXPECT_EQ(page.Press("compute"), ErrorBox(c.message)) << where;
        EXPECT_EQ(FieldOf(page, "result").text, "0102") << where;
        EXPECT_EQ(FieldOf(page, "result").counter, "02") << where;
        EXPECT_EQ(FieldOf(page, "src1").text, c.src1) << where;
        EXPECT_TRUE(page.WrittenFields().empty()) << where;
    }
}

TEST(DataOpPage, ChoosingAnOperationEnablesSource2AtOnce) {
    const bool enabled[] = {true, true, false, true, true, false, false, true};
    CDataOpPage page;
    EXPECT_EQ(page.FindOption("op")->selected, kAnd);
    EXPECT_TRUE(FieldOf(page, "src2").enabled);
    page.Type("src2", "AB");
    for (int op : {kNot, kXor, kXorSum, kAdd, kSum, kOr, kSub, kAnd, kNot}) {
        page.Choose("op", op);
        EXPECT_EQ(FieldOf(page, "src2").enabled, enabled[op]) << op;
        EXPECT_EQ(FieldOf(page, "src2").text, "AB") << op;
    }
}

TEST(DataOpPage, CountersFollowTheSourcesAndClearLeavesTheResultCounter) {
    CDataOpPage page;
    const struct {
        std::string text;
        const char* counter;
    } typed[] = {{"12 34", "02"}, {"123", "01"}, {"", "00"}, {std::string(400, 'A'), "200"}};
    for (const auto& t : typed) {
        page.Type("src1", t.text);
        EXPECT_EQ(FieldOf(page, "src1").counter, t.counter) << t.text;
        page.Type("src2", t.text);
        EXPECT_EQ(FieldOf(page, "src2").counter, t.counter) << t.text;
    }

    page.Type("src1", "11 22 33");
    page.Type("src2", "01");
    page.Choose("op", kNot);
    ASSERT_EQ(page.Press("compute"), std::nullopt);
    EXPECT_EQ(FieldOf(page, "result").text, "EEDDCC");
    EXPECT_EQ(FieldOf(page, "result").counter, "03");

    EXPECT_EQ(page.Press("clear"), std::nullopt);
    for (const char* id : {"src1", "src2", "result"}) {
        EXPECT_EQ(FieldOf(page, id).text, "") << id;
    }
    EXPECT_EQ(FieldOf(page, "src1").counter, "");
    EXPECT_EQ(FieldOf(page, "src2").counter, "");
    EXPECT_EQ(FieldOf(page, "result").counter, "03");
    EXPECT_EQ(page.FindOption("op")->selected, kNot);
    EXPECT_FALSE(FieldOf(page, "src2").enabled);
}

TEST(DataOpPage, DeclaresItsForm) {
    CDataOpPage page;
    EXPECT_EQ(page.Name(), "dataop");
    EXPECT_EQ(page.TabCaption(), "数据运算");
    ASSERT_EQ(page.Sections().size(), 1u);
    EXPECT_EQ(page.Sections()[0].caption, "数据运算算法");
    EXPECT_EQ(FieldOf(page, "src1").label, "源数据(1)");
    EXPECT_EQ(FieldOf(page, "src2").label, "源数据(2)");
    EXPECT_EQ(FieldOf(page, "result").label, "运算结果");
    EXPECT_TRUE(FieldOf(page, "result").read_only);
    EXPECT_EQ(FieldOf(page, "result").role, Role::Result);
    const OptionGroup& op = *page.FindOption("op");
    EXPECT_EQ(op.caption, "运算选择");
    EXPECT_EQ(op.columns, 4);
    const std::vector<std::pair<std::string, std::string>> choices = {
        {"and", "与AND运算"}, {"xor", "异或XOR运算"}, {"xorsum", "异或和"}, {"add", "多字节相加"},
        {"or", "或OR运算"},   {"not", "取反NOT运算"}, {"sum", "累加和"},    {"sub", "多字节相减"}};
    ASSERT_EQ(op.choices.size(), choices.size());
    for (size_t i = 0; i < choices.size(); ++i) {
        EXPECT_EQ(op.choices[i].name, choices[i].first);
        EXPECT_EQ(op.choices[i].caption, choices[i].second);
    }
    EXPECT_EQ(page.FindButton("compute")->caption, "计算");
    EXPECT_EQ(page.FindButton("clear")->caption, "清空");
}

}  // namespace

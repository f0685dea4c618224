#include "pages/big_num_page.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>
#include "support/page_outcome.h"

namespace {

struct CalcCase {
    std::string a;
    std::string b;
    std::string action;
    std::string c;        // the result when message is empty
    std::string message;  // the refusal, empty on success
};

void PrintTo(const CalcCase& c, std::ostream* os) {
    *os << c.action << " A=" << c.a.substr(0, 20) << " (" << c.a.size()
        << ") B=" << c.b.substr(0, 20) << " (" << c.b.size() << ")";
}

class BigNumPageCase : public testing::TestWithParam<CalcCase> {};

TEST_P(BigNumPageCase, ComputesOrRefuses) {
    const CalcCase& c = GetParam();
    CBigNumPage page;
    // A result of an earlier action, to see that a refusal leaves it.
    page.Type("a", "1");
    page.Type("b", "1");
    ASSERT_EQ(page.Press("add"), std::nullopt);
    page.Type("a", c.a);
    page.Type("b", c.b);

    const ActionResult result = page.Press(c.action);
    ExpectWrittenOrRefused(page, result, "c", c.c, c.message, "2");
    EXPECT_EQ(page.FindField("a")->text, c.a);
    EXPECT_EQ(page.FindField("b")->text, c.b);
}

const std::string k155Nines(155, '9');
const std::string k155Eights = std::string(150, '8') + "77777";
const std::string kHugeA = "1" + std::string(154, '0') + "3";  // 10^155 + 3
const std::string kHugeB = "1" + std::string(149, '0') + "7";  // 10^150 + 7

// Expected big results come from Python's integers.
INSTANTIATE_TEST_SUITE_P(
    Results, BigNumPageCase,
    testing::Values(
        CalcCase{"4294967295", "1", "add", "4294967296", ""}, CalcCase{"", "", "add", "0", ""},
        CalcCase{"5", "7", "sub", "-2", ""}, CalcCase{"7", "7", "sub", "0", ""},
        CalcCase{"100", "7", "div", "14", ""}, CalcCase{"100", "7", "mod", "2", ""},
        CalcCase{"7", "3", "inverse", "5", ""}, CalcCase{"65537", "3120", "inverse", "7709", ""},
        CalcCase{"1", "0", "inverse", "0", ""},  // every number is an inverse modulo 1
        CalcCase{kHugeA, kHugeB, "inverse",
                 "216826643542758040391601678292906969601298291278391193105113307628461264833992"
                 "14568062434553290942675468609151182076494613548343778616194069403154584948222",
                 ""},
        CalcCase{"255", "", "hex", "FF", ""}, CalcCase{"4294967296", "", "hex", "100000000", ""},
        CalcCase{"255", "x y", "hex", "FF", ""},  // B is not read
        CalcCase{"ff", "", "dec", "255", ""},
        CalcCase{std::string(256, 'f'), "", "dec",
                 "1797693134862315907729305190789024733617976978942306572734300811577326758055009"
                 "6313270847732240753602112011387987139335765878976881441662249284743063947412437"
                 "7767893424865485276302219601246094119453082952085005768838150682342462881473913"
                 "110540827237163350510684586298239947245938479716304835356329624224137215",
                 ""},
        CalcCase{k155Nines, k155Eights, "mul",
                 std::string(150, '8') + "77776" + std::string(150, '1') + "22223", ""},
        CalcCase{k155Nines, k155Eights, "div", "1", ""},
        CalcCase{k155Nines, k155Eights, "mod", std::string(150, '1') + "22222", ""},
        CalcCase{std::string(310, '9'), "1", "add", "1" + std::string(310, '0'), ""}));

INSTANTIATE_TEST_SUITE_P(
    Refusals, BigNumPageCase,
    testing::Values(
        CalcCase{"100", "0", "div", "", "B不得为0"}, CalcCase{"100", "", "div", "", "B不得为0"},
        CalcCase{"100", "00", "div", "", "B不得为0"}, CalcCase{"100", "0", "mod", "", "B不得为0"},
        CalcCase{"3", "7", "inverse", "", "B必须小于A"},
        CalcCase{"7", "7", "inverse", "", "B必须小于A"},
        // No inverse without coprimality; the extended Euclidean result would be a false one.
        CalcCase{"8", "4", "inverse", "", "A、B不互素，逆元不存在"},
        CalcCase{"10", "0", "inverse", "", "A、B不互素，逆元不存在"},
        CalcCase{"1" + std::string(154, '0') + "2", "1" + std::string(149, '0') + "6", "inverse",
                 "", "A、B不互素，逆元不存在"},
        CalcCase{"12a", "1", "add", "", "A必须为0-9组成的整数"},
        CalcCase{"12a", "1", "hex", "", "A必须为0-9组成的整数"},
        CalcCase{"1G", "", "dec", "", "A必须为0-9或A-F或a-f组成的整数"},
        CalcCase{std::string(257, 'f'), "", "dec", "", "A不得大于256位"},
        // B was read without a test: 12a gave 1 * 100 + 2 * 10 + 10.
        CalcCase{"1", "12a", "add", "", "B必须为0-9组成的整数"},
        CalcCase{"100", "1 2", "div", "", "B必须为0-9组成的整数"},
        CalcCase{"7", "x", "inverse", "", "B必须为0-9组成的整数"},
        CalcCase{"12a", "12a", "sub", "", "A必须为0-9组成的整数"},  // A is tested first
        CalcCase{std::string(311, '1'), "1", "add", "", "A、B不得大于310位"},
        CalcCase{"1", std::string(311, '1'), "mod", "", "A、B不得大于310位"},
        CalcCase{std::string(311, 'x'), "", "sub", "", "A、B不得大于310位"},  // length first
        CalcCase{std::string(311, '1'), "", "hex", "", "A、B不得大于310位"},
        CalcCase{std::string(200, '1'), std::string(111, '1'), "mul", "", "A、B不得大于310位"}));

TEST(BigNumPage, HexIgnoresTheLengthOfB) {
    CBigNumPage page;
    page.Type("a", "255");
    page.Type("b", std::string(311, '1'));
    EXPECT_EQ(page.Press("hex"), std::nullopt);
    EXPECT_EQ(page.FindField("c")->text, "FF");
}

TEST(BigNumPage, Form) {
    CBigNumPage page;
    EXPECT_EQ(page.Name(), "bignum");
    EXPECT_EQ(page.TabCaption(), "大数运算");
    ASSERT_EQ(page.Sections().size(), 1u);
    EXPECT_EQ(page.Sections()[0].caption, "大数运算算法");
    std::vector<std::string> captions;
    for (const Button& button : page.Buttons()) {
        captions.push_back(button.id + " " + button.caption);
    }
    EXPECT_EQ(captions, (std::vector<std::string>{"add C=A+B", "sub C=A-B", "mul C=A*B",
                                                  "div C=A/B", "mod C=A%B", "inverse CB%A=1",
                                                  "hex C=Hex(A)", "dec C=DEC(A)"}));
    const Field* c = page.FindField("c");
    EXPECT_TRUE(c->read_only);
    EXPECT_EQ(c->role, Role::Result);
    EXPECT_EQ(page.FindField("a")->role, Role::Input);
    EXPECT_FALSE(page.FindField("b")->HasCounter());
}

}  // namespace

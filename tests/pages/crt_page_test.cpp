#include "pages/crt_page.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "pages/page_registry.h"
#include "support/bn_oracle.h"
#include "support/page_outcome.h"

namespace {

constexpr int k512Bits = 2;  // index of "512 bit"

struct CrtCase {
    std::string p, q, dp, dq, qinv, input;
    std::string output;   // the result when message is empty
    std::string message;  // the refusal, empty on success
};

void PrintTo(const CrtCase& c, std::ostream* os) {
    *os << "P=" << c.p.substr(0, 8) << " (" << c.p.size() << ") Q=" << c.q.substr(0, 8) << " ("
        << c.q.size() << ") DP=" << c.dp.substr(0, 8) << " DQ=" << c.dq.substr(0, 8)
        << " QinV=" << c.qinv.substr(0, 8) << " input=" << c.input.substr(0, 8) << " ("
        << c.input.size() << ")";
}

class CrtPageCase : public testing::TestWithParam<CrtCase> {};

TEST_P(CrtPageCase, DecryptsOrRefuses) {
    const CrtCase& c = GetParam();
    CCrtPage page;
    page.Type("p", c.p);
    page.Type("q", c.q);
    page.Type("dp", c.dp);
    page.Type("dq", c.dq);
    page.Type("qinv", c.qinv);
    page.Type("input", c.input);
    const ActionResult result = page.Press("decrypt");
    ExpectWrittenOrRefused(page, result, "output", c.output, c.message, "");
}

const std::string k257(257, '1');

// The key of N = 3233 = 61 * 53 with E = 17: P = 3D, Q = 35, DP = 35, DQ = 31, QinV = 26.
INSTANTIATE_TEST_SUITE_P(
    Results, CrtPageCase,
    testing::Values(CrtCase{"3D", "35", "35", "31", "26", "449", "3C", ""},  // m1 > m2
                    CrtCase{"3D", "35", "35", "31", "26", "AE6", "41", ""},  // m1 < m2
                    CrtCase{"3d", "35", "35", "31", "26", "ae6", "41", ""},
                    CrtCase{"3D", "35", "35", "31", "26", "0", "0", ""},
                    CrtCase{"3D", "35", "35", "31", "26", "", "0", ""},
                    // Above N the input is reduced: AE6 + CA1.
                    CrtCase{"3D", "35", "35", "31", "26", "1787", "41", ""}));

INSTANTIATE_TEST_SUITE_P(
    KeyTest, CrtPageCase,
    testing::Values(
        CrtCase{k257, "35", "35", "31", "26", "449", "", "P不得大于256位"},
        CrtCase{"3D", k257, "35", "31", "26", "449", "", "Q不得大于256位"},
        CrtCase{"3D", "35", k257, "31", "26", "449", "", "DP不得大于256位"},
        CrtCase{"3D", "35", "35", k257, "26", "449", "", "DQ不得大于256位"},
        CrtCase{"3D", "35", "35", "31", k257, "449", "", "QinV不得大于256位"},
        // P and Q were read untested: 3G became 30.
        CrtCase{"3G", "35", "35", "31", "26", "449", "", "P必须为0-9或A-F或a-f组成的整数"},
        CrtCase{"3D", "3 5", "35", "31", "26", "449", "", "Q必须为0-9或A-F或a-f组成的整数"},
        CrtCase{"3D", "35", "3x", "31", "26", "449", "", "DP必须为0-9或A-F或a-f组成的整数"},
        CrtCase{"3D", "35", "35", "3x", "26", "449", "", "DQ必须为0-9或A-F或a-f组成的整数"},
        CrtCase{"3D", "35", "35", "31", "2x", "449", "", "QinV必须为0-9或A-F或a-f组成的整数"},
        // Lengths before characters, P and Q before the exponents.
        CrtCase{"3G", "35", "35", k257, "26", "449", "", "DQ不得大于256位"},
        CrtCase{"3D", "3G", "3x", "31", "26", "449", "", "Q必须为0-9或A-F或a-f组成的整数"},
        // Zero moduli would divide by zero.
        CrtCase{"", "35", "35", "31", "26", "449", "", "P不得为0"},
        CrtCase{"00", "35", "35", "31", "26", "449", "", "P不得为0"},
        CrtCase{"3D", "0", "35", "31", "26", "449", "", "Q不得为0"}));

INSTANTIATE_TEST_SUITE_P(
    DataTest, CrtPageCase,
    testing::Values(
        CrtCase{"3D", "35", "35", "31", "26", "4G", "", "待解密数据必须为0-9或A-F或a-f组成的整数"},
        CrtCase{"3D", "35", "35", "31", "26", "AE 6", "",
                "待解密数据必须为0-9或A-F或a-f组成的整数"},
        CrtCase{"3D", "35", "35", "31", "26", std::string(513, '1'), "", "待解密数据不得大于512位"},
        CrtCase{"3D", "35", "35", "31", "26", std::string(801, 'G'), "", "待解密数据不得大于512位"},
        // The key is tested before the data, the data before the zero moduli.
        CrtCase{"3D", "35", "3x", "31", "26", "4G", "", "DP必须为0-9或A-F或a-f组成的整数"},
        CrtCase{"", "35", "35", "31", "26", "4G", "", "待解密数据必须为0-9或A-F或a-f组成的整数"}));

TEST(CrtPage, LargestInputsStayInRange) {
    // 256-digit P and Q with exponents 0 and 1 leave the 512-digit input unreduced in m1, m2.
    BnOracle bn;
    const std::string p = "F" + std::string(254, '0') + "1";
    const std::string q = "E" + std::string(254, '0') + "3";
    const std::string input(512, 'F');
    const struct { std::string dp, dq; } exponents[] = {{"", ""}, {"1", "1"}, {"", "1"}, {"1", ""}};
    for (const auto& e : exponents) {
        CCrtPage page;
        page.Type("p", p);
        page.Type("q", q);
        page.Type("dp", e.dp);
        page.Type("dq", e.dq);
        page.Type("qinv", std::string(256, 'F'));
        page.Type("input", input);
        ASSERT_EQ(page.Press("decrypt"), std::nullopt);
        // M = m2 + Q * h with h = qInv (m1 - m2) mod P, where an exponent of 0 or 1 leaves
        // m1 or m2 as the unreduced input.
        const Bn in = BnFromHex(input), bp = BnFromHex(p), bq = BnFromHex(q);
        auto power = [&](const std::string& exponent, const BIGNUM* modulus) {
            return exponent.size() <= 1 ? Bn(BN_dup(in.get()))
                                        : bn.ModExp(in.get(), BnFromHex(exponent).get(), modulus);
        };
        const Bn m1 = power(e.dp, bp.get()), m2 = power(e.dq, bq.get());
        const Bn difference = bn.ModSub(m1.get(), m2.get(), bp.get());
        const Bn h = bn.ModMul(difference.get(), BnFromHex(std::string(256, 'F')).get(), bp.get());
        const Bn expected = bn.Add(m2.get(), bn.Mul(bq.get(), h.get()).get());
        EXPECT_EQ(page.FindField("output")->text, BnToHex(expected.get())) << e.dp << "/" << e.dq;
    }
}

TEST(CrtPage, Form) {
    CCrtPage page;
    EXPECT_EQ(page.Name(), "crt");
    EXPECT_EQ(page.TabCaption(), "CRT 运算");
    EXPECT_EQ(page.FindField("output")->role, Role::Key);
    EXPECT_TRUE(page.FindField("output")->read_only);
    const OptionGroup* bits = page.FindOption("bits");
    ASSERT_NE(bits, nullptr);
    EXPECT_EQ(bits->caption, "位数");
    EXPECT_EQ(bits->caption_role, Role::Label);
    EXPECT_EQ(bits->choices[bits->selected].caption, "1024 bit");
}

TEST(CrtPage, GeneratedKeyDecryptsWhatOpenSslEncrypts) {
    BnOracle bn;
    CCrtPage page;
    page.Choose("bits", k512Bits);
    page.Type("input", "ABCD");
    ASSERT_EQ(page.Press("genkey"), std::nullopt);
    EXPECT_EQ(page.WrittenFields(),
              (std::vector<std::string>{"p", "q", "dp", "dq", "qinv", "output"}));
    EXPECT_EQ(page.FindField("input")->text, "ABCD");
    EXPECT_TRUE(std::regex_match(page.FindField("output")->text, std::regex("[0-9]+ s")));

    const Bn p = BnFromHex(page.FindField("p")->text);
    const Bn q = BnFromHex(page.FindField("q")->text);
    const Bn n = bn.Mul(p.get(), q.get());
    EXPECT_EQ(BN_num_bits(p.get()), 256);
    EXPECT_EQ(BN_num_bits(q.get()), 256);
    EXPECT_EQ(BN_num_bits(n.get()), 512);
    EXPECT_TRUE(bn.IsPrime(p.get()));
    EXPECT_TRUE(bn.IsPrime(q.get()));
    const Bn one = BnFromWord(1);
    const Bn e = BnFromWord(65537);
    const Bn p1 = bn.MinusOne(p.get());
    const Bn q1 = bn.MinusOne(q.get());
    const Bn dp = BnFromHex(page.FindField("dp")->text);
    const Bn dq = BnFromHex(page.FindField("dq")->text);
    const Bn qinv = BnFromHex(page.FindField("qinv")->text);
    EXPECT_EQ(BN_cmp(bn.ModMul(e.get(), dp.get(), p1.get()).get(), one.get()), 0);
    EXPECT_EQ(BN_cmp(bn.ModMul(e.get(), dq.get(), q1.get()).get(), one.get()), 0);
    EXPECT_EQ(BN_cmp(bn.ModMul(q.get(), qinv.get(), p.get()).get(), one.get()), 0);

    const std::string message = "00C0FFEE0123456789ABCDEF";
    const Bn cipher = bn.ModExp(BnFromHex(message).get(), e.get(), n.get());
    page.Type("input", BnToHex(cipher.get()));
    ASSERT_EQ(page.Press("decrypt"), std::nullopt);
    EXPECT_EQ(page.FindField("output")->text, "C0FFEE0123456789ABCDEF");

    // An input above N decrypts as its residue, as RSA with D = E^-1 mod phi does.
    const std::string big(512, 'F');
    const Bn phi = bn.Mul(p1.get(), q1.get());
    const Bn d = bn.ModInverse(e.get(), phi.get());
    page.Type("input", big);
    ASSERT_EQ(page.Press("decrypt"), std::nullopt);
    EXPECT_EQ(page.FindField("output")->text,
              BnToHex(bn.ModExp(BnFromHex(big).get(), d.get(), n.get()).get()));
}

TEST(BigNumberPages, AreRegistered) {
    std::vector<std::string> names;
    for (const auto& page : CreatePages()) {
        if (page->Name() == "bignum" || page->Name() == "rsa" || page->Name() == "crt") {
            names.push_back(page->Name() + " " + std::to_string(page->Buttons().size()));
        }
    }
    EXPECT_EQ(names, (std::vector<std::string>{"rsa 3", "crt 2", "bignum 8"}));
}

}  // namespace

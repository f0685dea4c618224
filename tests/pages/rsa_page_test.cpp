#include "pages/rsa_page.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "pages/rsa_key_generation.h"
#include "support/bn_oracle.h"
#include "support/page_outcome.h"

namespace {

constexpr int k512Bits = 2;  // index of "512 bit"

struct RsaCase {
    std::string n, e, d, input;
    std::string action;
    std::string output;   // the result when message is empty
    std::string message;  // the refusal, empty on success
};

void PrintTo(const RsaCase& c, std::ostream* os) {
    *os << c.action << " N=" << c.n.substr(0, 12) << " (" << c.n.size() << ") E=" << c.e
        << " D=" << c.d.substr(0, 12) << " (" << c.d.size() << ") input=" << c.input.substr(0, 12)
        << " (" << c.input.size() << ")";
}

class RsaPageCase : public testing::TestWithParam<RsaCase> {};

TEST_P(RsaPageCase, ComputesOrRefuses) {
    const RsaCase& c = GetParam();
    CRsaPage page;
    page.Type("n", c.n);
    page.Type("e", c.e);
    page.Type("d", c.d);
    page.Type("input", c.input);
    const ActionResult result = page.Press(c.action);
    ExpectWrittenOrRefused(page, result, "output", c.output, c.message, "");
}

// N = 3233 = 61 * 53, E = 17, D = 2753.
INSTANTIATE_TEST_SUITE_P(
    Results, RsaPageCase,
    testing::Values(RsaCase{"0CA1", "11", "AC1", "41", "encrypt", "AE6", ""},
                    RsaCase{"0CA1", "11", "AC1", "AE6", "decrypt", "41", ""},
                    RsaCase{"0ca1", "11", "ac1", "ae6", "decrypt", "41", ""},
                    // Exponents 0 and 1 give the base back.
                    RsaCase{"0CA1", "", "AC1", "41", "encrypt", "41", ""},
                    RsaCase{"0CA1", "11", "", "ABCDEF", "decrypt", "ABCDEF", ""},
                    // A ciphertext above N is reduced: AE6 + CA1.
                    RsaCase{"0CA1", "11", "AC1", "1787", "decrypt", "41", ""},
                    // The largest input a decryption takes, with a 320-digit modulus.
                    RsaCase{"1" + std::string(319, '0'), "3", "", std::string(320, 'F'), "decrypt",
                            std::string(320, 'F'), ""}));

INSTANTIATE_TEST_SUITE_P(
    KeyTest, RsaPageCase,
    testing::Values(
        RsaCase{std::string(321, '1'), "11", "AC1", "41", "encrypt", "", "N不得大于320位"},
        RsaCase{"0CA1", "11", std::string(321, '1'), "41", "decrypt", "", "D不得大于320位"},
        RsaCase{"0CA1", "12345678901", "AC1", "41", "encrypt", "", "E不得大于10位"},
        // All lengths come before the characters.
        RsaCase{"0CG1", "12345678901", "AC1", "41", "encrypt", "", "E不得大于10位"},
        RsaCase{"0CG1", "11", "AC1", "41", "decrypt", "", "N必须为0-9或A-F或a-f组成的整数"},
        RsaCase{"0C A1", "11", "AC1", "41", "encrypt", "", "N必须为0-9或A-F或a-f组成的整数"},
        RsaCase{"0CA1", "1G", "AC1x", "41", "encrypt", "", "D必须为0-9或A-F或a-f组成的整数"},
        RsaCase{"0CA1", "1G", "AC1", "41", "decrypt", "", "E必须为0-9或A-F或a-f组成的整数"},
        RsaCase{"", "11", "", "41", "encrypt", "", "N必须大于D、E"},
        RsaCase{"", "", "", "41", "decrypt", "", "N必须大于D、E"},
        RsaCase{"0CA1", "CA1", "AC1", "41", "encrypt", "", "N必须大于D、E"},
        RsaCase{"0CA1", "11", "CA2", "41", "decrypt", "", "N必须大于D、E"}));

INSTANTIATE_TEST_SUITE_P(
    DataTest, RsaPageCase,
    testing::Values(
        RsaCase{"0CA1", "11", "AC1", std::string(321, '0'), "encrypt", "", "N不得大于320位"},
        RsaCase{"0CA1", "11", "AC1", "4G", "encrypt", "",
                "待加密数据必须为0-9或A-F或a-f组成的整数"},
        RsaCase{"0CA1", "11", "AC1", "CA1", "encrypt", "", "待加密数据必须小于N"},
        // The decryption input was read untested: 4G became 40, and any length overflowed.
        RsaCase{"0CA1", "11", "AC1", "4G", "decrypt", "",
                "待解密数据必须为0-9或A-F或a-f组成的整数"},
        RsaCase{"0CA1", "11", "AC1", "AE 6", "decrypt", "",
                "待解密数据必须为0-9或A-F或a-f组成的整数"},
        RsaCase{"0CA1", "11", "AC1", std::string(321, '1'), "decrypt", "",
                "待解密数据不得大于320位"},
        RsaCase{"0CA1", "11", "AC1", std::string(801, 'G'), "decrypt", "",
                "待解密数据不得大于320位"},
        // The key is tested before the data.
        RsaCase{"", "11", "", "4G", "decrypt", "", "N必须大于D、E"}));

TEST(RsaPage, ModulusLengthFollowsN) {
    CRsaPage page;
    EXPECT_EQ(page.FindField("modlen")->text, "0000");
    const struct {
        std::string n;
        std::string modlen;
    } cases[] = {{"01 00", "0002"},
                 {std::string(255, '1'), "007F"},
                 {std::string(256, 'A'), "0080"},
                 {"", "0000"}};
    for (const auto& c : cases) {
        page.Type("n", c.n);
        EXPECT_EQ(page.FindField("modlen")->text, c.modlen) << c.n;
    }
}

TEST(RsaPage, Form) {
    CRsaPage page;
    EXPECT_EQ(page.Name(), "rsa");
    EXPECT_EQ(page.TabCaption(), "RSA 运算");
    const OptionGroup* bits = page.FindOption("bits");
    ASSERT_NE(bits, nullptr);
    EXPECT_EQ(bits->kind, OptionKind::DropDown);
    EXPECT_EQ(bits->caption, "密钥长度");
    EXPECT_EQ(bits->selected, 3);
    ASSERT_EQ(bits->choices.size(), 6u);
    EXPECT_EQ(bits->choices[5].name, "1280");
    EXPECT_EQ(bits->choices[5].caption, "1280 bit");
    EXPECT_TRUE(page.FindField("output")->read_only);
    EXPECT_EQ(page.FindField("output")->role, Role::Result);
    EXPECT_EQ(page.FindField("n")->kind, FieldKind::MultiLine);
    EXPECT_EQ(page.FindField("e")->kind, FieldKind::SingleLine);
}

TEST(RsaKeyGeneration, PrimeSizesByChoice) {
    const std::vector<Choice> choices = RsaKeySizeChoices();
    ASSERT_EQ(choices.size(), 6u);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(std::to_string(RsaPrimeWords(i) * 64), choices[static_cast<size_t>(i)].name);
    }
}

// 65537 divides P - 1 exactly when P = 1 (mod 65537); such a prime has no D, DP or DQ.
TEST(RsaKeyGeneration, RefusesPrimesWithoutAnInverseOfE) {
    const struct {
        uint64_t prime;
        bool usable;
    } cases[] = {{3, true},
                 {65537, true},
                 {65539, true},
                 {65538, false},
                 {2 * 65537 + 1, false},
                 {65537ull * 4000000 + 1, false},
                 {65537ull * 4000000 + 2, true}};
    for (const auto& c : cases) {
        CBigNumber prime;
        prime.SetValue(c.prime);
        EXPECT_EQ(IsUsableRsaPrime(prime), c.usable) << c.prime;
    }
}

// Every size a test can afford: the key is checked against OpenSSL.
TEST(RsaKeyGeneration, KeysAreExactAndConsistent) {
    BnOracle bn;
    for (const uint32_t words : {2u, 4u, 8u}) {
        const RsaKey key = GenerateRsaKey(words).value();
        const Bn p = BnFromHex(key.p.ToText(16));
        const Bn q = BnFromHex(key.q.ToText(16));
        const Bn n = BnFromHex(key.n.ToText(16));
        const Bn e = BnFromHex(key.e.ToText(16));
        const Bn one = BnFromWord(1);
        SCOPED_TRACE("bits " + std::to_string(words * 64));
        EXPECT_EQ(BN_num_bits(n.get()), static_cast<int>(words * 64));
        EXPECT_EQ(BN_num_bits(p.get()), static_cast<int>(words * 32));
        EXPECT_EQ(BN_num_bits(q.get()), static_cast<int>(words * 32));
        EXPECT_TRUE(bn.IsPrime(p.get()));
        EXPECT_TRUE(bn.IsPrime(q.get()));
        EXPECT_NE(BN_cmp(p.get(), q.get()), 0);
        EXPECT_EQ(BN_cmp(bn.Mul(p.get(), q.get()).get(), n.get()), 0);
        EXPECT_EQ(key.e.ToText(16), "10001");

        const Bn p1 = bn.MinusOne(p.get());
        const Bn q1 = bn.MinusOne(q.get());
        const Bn phi = bn.Mul(p1.get(), q1.get());
        const Bn d = BnFromHex(key.d.ToText(16));
        EXPECT_EQ(BN_cmp(bn.ModMul(e.get(), d.get(), phi.get()).get(), one.get()), 0);
        const Bn dp = BnFromHex(key.dp.ToText(16));
        const Bn dq = BnFromHex(key.dq.ToText(16));
        const Bn qinv = BnFromHex(key.qinv.ToText(16));
        EXPECT_EQ(BN_cmp(bn.ModMul(e.get(), dp.get(), p1.get()).get(), one.get()), 0);
        EXPECT_EQ(BN_cmp(bn.ModMul(e.get(), dq.get(), q1.get()).get(), one.get()), 0);
        EXPECT_EQ(BN_cmp(bn.ModMul(q.get(), qinv.get(), p.get()).get(), one.get()), 0);
        EXPECT_LT(BN_cmp(qinv.get(), p.get()), 0);
    }
}

// Keys came from a generator seeded with the time in seconds, so two keys made in the same
// second were the same, and a pause of one second kept P from equalling Q.
TEST(RsaPage, KeysAreFreshAndQuick) {
    CRsaPage page;
    page.Choose("bits", 0);
    ASSERT_EQ(page.Press("genkey"), std::nullopt);
    const std::string first = page.FindField("n")->text;
    EXPECT_TRUE(std::regex_match(page.FindField("output")->text, std::regex("[0-9]+ s")));
    ASSERT_EQ(page.Press("genkey"), std::nullopt);
    EXPECT_NE(page.FindField("n")->text, first);
    EXPECT_TRUE(std::regex_match(page.FindField("output")->text, std::regex("[0-9]+ s")));
}

TEST(RsaPage, GeneratedKeyEncryptsAndDecrypts) {
    BnOracle bn;
    CRsaPage page;
    page.Choose("bits", k512Bits);
    ASSERT_EQ(page.Press("genkey"), std::nullopt);
    EXPECT_EQ(page.WrittenFields(), (std::vector<std::string>{"modlen", "e", "n", "d", "output"}));
    EXPECT_EQ(page.FindField("e")->text, "010001");
    EXPECT_EQ(page.FindField("modlen")->text, "0040");
    EXPECT_TRUE(std::regex_match(page.FindField("output")->text, std::regex("[0-9]+ s")));
    const Bn n = BnFromHex(page.FindField("n")->text);
    EXPECT_EQ(BN_num_bits(n.get()), 512);

    const std::string message = "1234567890ABCDEF00112233445566778899AABBCCDDEEFF";
    page.Type("input", message);
    ASSERT_EQ(page.Press("encrypt"), std::nullopt);
    const std::string cipher = page.FindField("output")->text;
    const Bn expected = bn.ModExp(BnFromHex(message).get(), BnFromHex("010001").get(), n.get());
    EXPECT_EQ(cipher, BnToHex(expected.get()));

    page.Type("input", cipher);
    ASSERT_EQ(page.Press("decrypt"), std::nullopt);
    EXPECT_EQ(page.FindField("output")->text, message);
}

}  // namespace

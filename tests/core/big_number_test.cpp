// CBigNumber against hand-worked cases and, on random operands, against OpenSSL's BIGNUM.
#include "crypto/big_number.h"

#include <gtest/gtest.h>
#include <openssl/bn.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

CBigNumber Hex(std::string_view text) {
    CBigNumber n;
    n.FromText(text, 16);
    return n;
}

CBigNumber Dec(std::string_view text) {
    CBigNumber n;
    n.FromText(text, 10);
    return n;
}

// ---- hand-worked cases ----

struct TextCase {
    std::string text;
    uint32_t base;
    std::string hex;
    uint32_t words;
};

TEST(BigNumberText, ParsesAndPrints) {
    const std::vector<TextCase> cases = {
        {"", 10, "0", 1},
        {"", 16, "0", 1},
        {"0000", 16, "0", 1},
        {"1 2", 16, "102", 1},  // a blank counts as the digit 0
        {"4294967296", 10, "100000000", 2},
        {"4294967295", 10, "FFFFFFFF", 1},
        {"ffffffffFFFFFFFF", 16, "FFFFFFFFFFFFFFFF", 2},
        {"1A", 10, "14", 1},  // 'A' counts 10 whatever the base: 1 * 10 + 10
        {"10", 2, "2", 1},
        {"777", 8, "1FF", 1},
        {"1G", 16, "10", 1},
    };
    for (const TextCase& c : cases) {
        const CBigNumber n = [&] {
            CBigNumber v;
            v.FromText(c.text, c.base);
            return v;
        }();
        EXPECT_EQ(n.ToText(16), c.hex) << '"' << c.text << "\" base " << c.base;
        EXPECT_EQ(n.WordCount(), c.words) << '"' << c.text << '"';
    }
    EXPECT_EQ(CBigNumber().ToText(10), "0");
    EXPECT_EQ(Hex("100000000").ToText(10), "4294967296");
    EXPECT_EQ(Dec("255").ToText(2), "11111111");
    EXPECT_EQ(Dec("255").ToText(1), "");
    EXPECT_EQ(Dec("255").ToText(17), "");
}

TEST(BigNumberText, KeepsTheLow3200BitsOfLongText) {
    // 801 hex digits: the leading 1 falls above bit 3199.
    const CBigNumber n = Hex("1" + std::string(799, '0') + "5");
    EXPECT_EQ(n.ToText(16), "5");
    const CBigNumber full = Hex(std::string(800, 'F'));
    EXPECT_EQ(full.WordCount(), BIGNUMBER_MAX_WORDS);
    EXPECT_EQ(full.AddWord(1).ToText(16), "0");
    EXPECT_EQ(full.Mul(full).ToText(16), "1");  // (2^3200 - 1)^2 = 1 mod 2^3200
}

TEST(BigNumberValue, SetValueAndCompare) {
    CBigNumber n;
    n.SetValue(0x0000000100000002ull);
    EXPECT_EQ(n.WordCount(), 2u);
    n.SetValue(7);
    EXPECT_EQ(n.WordCount(), 1u);
    EXPECT_EQ(n.Word(1), 0u);
    EXPECT_EQ(n.Word(500), 0u);
    EXPECT_EQ(Dec("7").Compare(Dec("5")), 1);
    EXPECT_EQ(Dec("5").Compare(Dec("7")), -1);
    EXPECT_EQ(Dec("7").Compare(Dec("7")), 0);
    EXPECT_EQ(Hex("100000000").Compare(Hex("FFFFFFFF")), 1);
    CBigNumber copy;
    copy.Assign(Hex("123456789ABCDEF"));
    EXPECT_EQ(copy.ToText(16), "123456789ABCDEF");
    EXPECT_EQ(Hex("1FFFF").BitLength(), 17u);
    EXPECT_EQ(CBigNumber().BitLength(), 0u);
}

struct ArithmeticCase {
    const char* a;
    const char* b;
    const char* sum;
    const char* difference;
    const char* product;
    const char* quotient;
    const char* remainder;
};

TEST(BigNumberArithmetic, HandWorkedCases) {
    // Hex operands and results; quotient and remainder empty where b is zero.
    const std::vector<ArithmeticCase> cases = {
        {"FFFFFFFF", "1", "100000000", "FFFFFFFE", "FFFFFFFF", "FFFFFFFF", "0"},
        {"5", "7", "C", "0", "23", "0", "5"},
        {"7", "7", "E", "0", "31", "1", "0"},
        {"10000000000000000", "100000001", "10000000100000001", "FFFFFFFEFFFFFFFF",
         "1000000010000000000000000", "FFFFFFFF", "1"},
        {"123456789ABCDEF0123456789", "0", "123456789ABCDEF0123456789", "123456789ABCDEF0123456789",
         "0", "", ""},
        {"FFFFFFFFFFFFFFFFFFFFFFFF", "FFFFFFFFFFFFFFFFFFFFFFFF", "1FFFFFFFFFFFFFFFFFFFFFFFE", "0",
         "FFFFFFFFFFFFFFFFFFFFFFFE000000000000000000000001", "1", "0"},
        // A quotient word estimate that needs the add-back step of long division.
        {"7FFF800000000000000000000000", "800000000000FFFF", "7FFF80000000800000000000FFFF",
         "7FFF7FFFFFFF7FFFFFFFFFFF0001", "3FFFC00000007FFF0000800000000000000000000000",
         "FFFEFFFFFFFE", "1FFFF0001FFFE"},
    };
    for (const ArithmeticCase& c : cases) {
        const CBigNumber a = Hex(c.a);
        const CBigNumber b = Hex(c.b);
        SCOPED_TRACE(std::string(c.a) + " , " + c.b);
        EXPECT_EQ(a.Add(b).ToText(16), c.sum);
        EXPECT_EQ(a.Sub(b).ToText(16), c.difference);
        EXPECT_EQ(a.Mul(b).ToText(16), c.product);
        EXPECT_EQ(a.Mul(b).WordCount(), Hex(c.product).WordCount());
        if (*c.quotient != '\0') {
            EXPECT_EQ(a.Div(b).ToText(16), c.quotient);
            EXPECT_EQ(a.Mod(b).ToText(16), c.remainder);
        }
    }
}

TEST(BigNumberArithmetic, WordOperations) {
    EXPECT_EQ(Hex("FFFFFFFF").AddWord(1).ToText(16), "100000000");
    EXPECT_EQ(Hex("FFFFFFFF").AddWord(1).WordCount(), 2u);
    EXPECT_EQ(Hex("1FFFFFFFFFFFFFFFF").AddWord(2).ToText(16), "20000000000000001");
    EXPECT_EQ(Hex("123456789").MulWord(0).ToText(10), "0");
    EXPECT_EQ(Hex("123456789").MulWord(0).WordCount(), 1u);
    EXPECT_EQ(Hex("FFFFFFFF").MulWord(0xFFFFFFFF).ToText(16), "FFFFFFFE00000001");
    EXPECT_EQ(Hex("10000000000000000").DivWord(3).ToText(16), "5555555555555555");
    EXPECT_EQ(Hex("10000000000000000").ModWord(3), 1u);
    EXPECT_EQ(Hex("100000000").DivWord(0x10000).ToText(16), "10000");
}

TEST(BigNumberArithmetic, ZeroDivisorGivesZero) {
    const CBigNumber a = Dec("12345678901234567890");
    EXPECT_TRUE(a.Div(CBigNumber()).IsZero());
    EXPECT_TRUE(a.Mod(CBigNumber()).IsZero());
    EXPECT_TRUE(a.DivWord(0).IsZero());
    EXPECT_EQ(a.ModWord(0), 0u);
    EXPECT_TRUE(a.ModPow(Dec("2"), CBigNumber()).IsZero());
}

TEST(BigNumberModular, ModInverse) {
    struct Case {
        const char* a;
        const char* m;
        const char* inverse;
    };
    // Decimal; the last cases are not coprime and give x with a * x = gcd (mod m).
    const std::vector<Case> cases = {
        {"65537", "3120", "2753"}, {"0", "3120", "0"},     {"3", "7", "5"},
        {"10", "7", "5"},  // the first quotient is 0
        {"1", "1", "0"},   // reduced below the modulus
        {"5", "1", "0"},           {"17", "3120", "2753"}, {"4", "8", "1"},
        {"6", "9", "8"},           {"14", "7", "0"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Dec(c.a).ModInverse(Dec(c.m)).ToText(10), c.inverse) << c.a << " mod " << c.m;
    }
}

TEST(BigNumberModular, ModPowSmallExponents) {
    const CBigNumber base = Dec("1000");
    const CBigNumber m = Dec("7");
    EXPECT_EQ(base.ModPow(Dec("0"), m).ToText(10), "1000");
    EXPECT_EQ(base.ModPow(Dec("1"), m).ToText(10), "1000");
    EXPECT_EQ(base.ModPow(Dec("2"), m).ToText(10), "1");  // 6^2 mod 7
    EXPECT_EQ(base.ModPow(Dec("2"), Dec("1")).ToText(10), "0");
    EXPECT_EQ(base.ModPow(Dec("3"), Dec("1024")).ToText(10), "512");  // 2^9 * 5^9
    // Textbook RSA with N = 61 * 53.
    EXPECT_EQ(Hex("41").ModPow(Hex("11"), Hex("CA1")).ToText(16), "AE6");
    EXPECT_EQ(Hex("AE6").ModPow(Hex("AC1"), Hex("CA1")).ToText(16), "41");
}

}  // namespace

// CBigNumber against hand-worked cases and, on random operands, against OpenSSL's BIGNUM.
#include "crypto/pk/big_number.h"

#include <gtest/gtest.h>
#include <openssl/bn.h>

#include <openssl/err.h>

#include "support/bn_oracle.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
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
        // Quotient word estimates one too large, which long division corrects by adding the
        // divisor back (Knuth 4.3.1 D6).
        {"800000000000000000000003", "200000000000000000000001", "A00000000000000000000004",
         "600000000000000000000002", "100000000000000000000000E00000000000000000000003", "3",
         "200000000000000000000000"},
        {"7FFFFFFF800000000000000000000000", "800000000000000000000001",
         "80000000000000000000000000000001", "7FFFFFFEFFFFFFFFFFFFFFFFFFFFFFFF",
         "3FFFFFFFC0000000000000007FFFFFFF800000000000000000000000", "FFFFFFFE",
         "7FFFFFFFFFFFFFFF00000002"},
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

// ---- random operands against OpenSSL ----

Bn NewBn() {
    return Bn(BN_new());
}

std::string Trim(std::string text) {
    const size_t first = text.find_first_not_of('0');
    return first == std::string::npos ? "0" : text.substr(first);
}

// BnHex gives OpenSSL's upper-case hex of n, cut to its low 3200 bits, without leading zeros.
std::string BnHex(const BIGNUM* n) {
    Bn cut(BN_dup(n));
    BN_mask_bits(cut.get(), 3200);
    char* text = BN_bn2hex(cut.get());
    std::string result = Trim(text);
    OPENSSL_free(text);
    return result;
}

std::string BnDec(const BIGNUM* n) {
    char* text = BN_bn2dec(n);
    std::string result = text;
    OPENSSL_free(text);
    return result;
}

// RandomHex gives the hex text of a number of exactly `bits` bits. A quarter of its words are
// all zeros, all ones or single bits, which send carries and quotient corrections down their
// rare paths.
std::string RandomHex(std::mt19937_64& rng, uint32_t bits) {
    static constexpr uint32_t kEdgeWords[] = {0, 0xFFFFFFFF, 0x80000000, 1};
    const uint32_t words = (bits + 31) / 32;
    std::string text;
    for (uint32_t i = words; i-- > 0;) {
        uint32_t w = static_cast<uint32_t>(rng());
        if (rng() % 4 == 0) {
            w = kEdgeWords[rng() % 4];
        }
        if (i == words - 1) {
            const uint32_t topBits = bits - 32 * (words - 1);
            w = (topBits == 32 ? w : w & ((1u << topBits) - 1)) | (1u << (topBits - 1));
        }
        char chunk[9];
        std::snprintf(chunk, sizeof chunk, "%08X", w);
        text += chunk;
    }
    return Trim(text);
}

uint32_t RandomBits(std::mt19937_64& rng, uint32_t maxBits) {
    return 1 + static_cast<uint32_t>(rng() % maxBits);
}

class BigNumberOracle : public ::testing::Test {
protected:
    std::mt19937_64 m_rng{20240611};
    BnOracle m_bn;
};

TEST_F(BigNumberOracle, ArithmeticMatchesOpenSsl) {
    for (int i = 0; i < 2000; ++i) {
        const std::string ha = RandomHex(m_rng, RandomBits(m_rng, 2600));
        // Divisors and subtrahends of every size, often close to the other operand's.
        const std::string hb = i % 3 == 0 ? RandomHex(m_rng, static_cast<uint32_t>(ha.size()) * 4)
                                          : RandomHex(m_rng, RandomBits(m_rng, 2600));
        SCOPED_TRACE(ha + " , " + hb);
        const CBigNumber a = Hex(ha);
        const CBigNumber b = Hex(hb);
        const Bn ba = BnFromHex(ha);
        const Bn bb = BnFromHex(hb);
        Bn r = NewBn();
        Bn rem = NewBn();

        EXPECT_EQ(a.Compare(b), BN_cmp(ba.get(), bb.get()));
        ASSERT_TRUE(BN_add(r.get(), ba.get(), bb.get()));
        EXPECT_EQ(a.Add(b).ToText(16), BnHex(r.get()));
        if (BN_cmp(ba.get(), bb.get()) > 0) {
            ASSERT_TRUE(BN_sub(r.get(), ba.get(), bb.get()));
            EXPECT_EQ(a.Sub(b).ToText(16), BnHex(r.get()));
        } else {
            EXPECT_TRUE(a.Sub(b).IsZero());
        }
        ASSERT_TRUE(BN_mul(r.get(), ba.get(), bb.get(), m_bn.Ctx()));
        EXPECT_EQ(a.Mul(b).ToText(16), BnHex(r.get()));
        ASSERT_TRUE(BN_div(r.get(), rem.get(), ba.get(), bb.get(), m_bn.Ctx()));
        EXPECT_EQ(a.Div(b).ToText(16), BnHex(r.get()));
        EXPECT_EQ(a.Mod(b).ToText(16), BnHex(rem.get()));

        const uint32_t w = static_cast<uint32_t>(m_rng() >> (m_rng() % 32)) | 1u;
        BN_copy(r.get(), ba.get());
        ASSERT_TRUE(BN_add_word(r.get(), w));
        EXPECT_EQ(a.AddWord(w).ToText(16), BnHex(r.get()));
        BN_copy(r.get(), ba.get());
        ASSERT_TRUE(BN_mul_word(r.get(), w));
        EXPECT_EQ(a.MulWord(w).ToText(16), BnHex(r.get()));
        EXPECT_EQ(a.ModWord(w), BN_mod_word(ba.get(), w));
        BN_copy(r.get(), ba.get());
        BN_div_word(r.get(), w);
        EXPECT_EQ(a.DivWord(w).ToText(16), BnHex(r.get()));

        // Results keep the invariant the word count relies on.
        const CBigNumber product = a.Mul(b);
        EXPECT_NE(product.Word(product.WordCount() - 1), 0u);
        EXPECT_EQ(product.Word(product.WordCount()), 0u);
    }
}

TEST_F(BigNumberOracle, TextMatchesOpenSsl) {
    static constexpr char kCharacters[] = "0123456789ABCDEFabcdef G-z";
    for (int i = 0; i < 1000; ++i) {
        // Decimal both ways.
        std::string dec(1 + m_rng() % 780, '0');
        for (char& c : dec) {
            c = static_cast<char>('0' + m_rng() % 10);
        }
        BIGNUM* parsed = nullptr;
        ASSERT_GT(BN_dec2bn(&parsed, dec.c_str()), 0);
        const Bn bn(parsed);
        const CBigNumber n = Dec(dec);
        EXPECT_EQ(n.ToText(16), BnHex(bn.get())) << dec;
        EXPECT_EQ(n.ToText(10), BnDec(bn.get())) << dec;

        // Any base, with characters outside the base and outside the digits: the value is
        // value * base + digit for each character, modulo 2^3200.
        const uint32_t base = 2 + static_cast<uint32_t>(m_rng() % 15);
        std::string text(m_rng() % 900, ' ');
        for (char& c : text) {
            c = kCharacters[m_rng() % (sizeof kCharacters - 1)];
        }
        const Bn expected = NewBn();
        for (char c : text) {
            const char* at = std::strchr("0123456789ABCDEF", std::toupper(c));
            ASSERT_TRUE(BN_mul_word(expected.get(), base));
            ASSERT_TRUE(BN_add_word(
                expected.get(),
                at != nullptr && c != '\0' ? static_cast<BN_ULONG>(at - "0123456789ABCDEF") : 0));
        }
        CBigNumber lenient;
        lenient.FromText(text, base);
        EXPECT_EQ(lenient.ToText(16), BnHex(expected.get())) << '"' << text << "\" base " << base;
        CBigNumber back;
        back.FromText(lenient.ToText(base), base);
        EXPECT_EQ(back.Compare(lenient), 0) << "base " << base;
    }
}

TEST_F(BigNumberOracle, ModInverseMatchesOpenSsl) {
    for (int i = 0; i < 150; ++i) {
        const uint32_t bits = RandomBits(m_rng, 2600);
        std::string hm = RandomHex(m_rng, bits);
        std::string ha = RandomHex(m_rng, i % 4 == 0 ? bits + 32 : RandomBits(m_rng, bits));
        const bool shareTwo = i % 5 == 0;
        if (shareTwo) {
            for (std::string* h : {&hm, &ha}) {
                h->back() = "02468ACE"[(std::string("0123456789ABCDEF").find(h->back()) / 2) % 8];
            }
        }
        SCOPED_TRACE(ha + " mod " + hm);
        const Bn ba = BnFromHex(ha);
        const Bn bm = BnFromHex(hm);
        const CBigNumber x = Hex(ha).ModInverse(Hex(hm));
        Bn expected(BN_mod_inverse(nullptr, ba.get(), bm.get(), m_bn.Ctx()));
        if (expected) {
            EXPECT_EQ(x.ToText(16), BnHex(expected.get()));
            continue;
        }
        // Not coprime: a * x = gcd (mod m).
        ERR_clear_error();
        Bn gcd = NewBn();
        Bn product = NewBn();
        Bn gcdMod = NewBn();
        ASSERT_TRUE(BN_gcd(gcd.get(), ba.get(), bm.get(), m_bn.Ctx()));
        ASSERT_TRUE(BN_mod_mul(product.get(), ba.get(), BnFromHex(x.ToText(16)).get(), bm.get(),
                               m_bn.Ctx()));
        ASSERT_TRUE(BN_nnmod(gcdMod.get(), gcd.get(), bm.get(), m_bn.Ctx()));
        EXPECT_EQ(BN_cmp(product.get(), gcdMod.get()), 0);
        EXPECT_LT(x.Compare(Hex(hm)), 0);
    }
}

TEST_F(BigNumberOracle, ModPowMatchesOpenSsl) {
    for (int i = 0; i < 80; ++i) {
        // Odd moduli take the Montgomery path, even ones the division path.
        std::string hm = RandomHex(m_rng, RandomBits(m_rng, i % 4 == 0 ? 1200 : 2600));
        if (i % 4 == 0) {
            hm.back() = '8';
        }
        const std::string ha = RandomHex(m_rng, RandomBits(m_rng, 2600));
        const std::string he = RandomHex(m_rng, 1 + RandomBits(m_rng, i % 2 == 0 ? 64 : 2600));
        SCOPED_TRACE(ha + " ^ " + he + " mod " + hm);
        Bn r = NewBn();
        ASSERT_TRUE(BN_mod_exp(r.get(), BnFromHex(ha).get(), BnFromHex(he).get(),
                               BnFromHex(hm).get(), m_bn.Ctx()));
        EXPECT_EQ(Hex(ha).ModPow(Hex(he), Hex(hm)).ToText(16), BnHex(r.get()));
    }
}

TEST_F(BigNumberOracle, FullCapacityOperands) {
    // 3200-bit operands: sums and products keep their low 3200 bits, and the widest working
    // buffers (a 200-word product, a 201-word Montgomery constant) are filled to the brim.
    for (int i = 0; i < 6; ++i) {
        const std::string ha = RandomHex(m_rng, 3200);
        std::string hm = RandomHex(m_rng, 3200 - static_cast<uint32_t>(m_rng() % 8));
        hm.back() = i % 2 == 0 ? 'F' : 'E';
        const std::string he = RandomHex(m_rng, i < 2 ? 3200 : 64);
        SCOPED_TRACE(ha + " , " + hm);
        const Bn ba = BnFromHex(ha);
        const Bn bm = BnFromHex(hm);
        Bn r = NewBn();
        Bn rem = NewBn();
        ASSERT_TRUE(BN_add(r.get(), ba.get(), bm.get()));
        EXPECT_EQ(Hex(ha).Add(Hex(hm)).ToText(16), BnHex(r.get()));
        ASSERT_TRUE(BN_mul(r.get(), ba.get(), bm.get(), m_bn.Ctx()));
        EXPECT_EQ(Hex(ha).Mul(Hex(hm)).ToText(16), BnHex(r.get()));
        ASSERT_TRUE(BN_div(r.get(), rem.get(), ba.get(), bm.get(), m_bn.Ctx()));
        EXPECT_EQ(Hex(ha).Div(Hex(hm)).ToText(16), BnHex(r.get()));
        EXPECT_EQ(Hex(ha).Mod(Hex(hm)).ToText(16), BnHex(rem.get()));
        ASSERT_TRUE(BN_mod_exp(r.get(), ba.get(), BnFromHex(he).get(), bm.get(), m_bn.Ctx()));
        EXPECT_EQ(Hex(ha).ModPow(Hex(he), Hex(hm)).ToText(16), BnHex(r.get()));
    }
}

// AllOnesHex gives the hex text of 2^bits - 1.
std::string AllOnesHex(uint32_t bits) {
    std::string text(bits / 4, 'F');
    if (bits % 4 != 0) {
        text.insert(text.begin(), "0137"[bits % 4]);
    }
    return text;
}

TEST_F(BigNumberOracle, ModPowAtLimbBoundaries) {
    // Odd moduli at the edges of the limb layouts: 52-bit limbs in vectors of eight with two
    // bits of headroom (bits + 2 = 52 L: 414/415, 830/831, 3198) and 64-bit limbs (1024, 2048),
    // up to 3200 bits, where twice the modulus no longer fits a value. All-ones moduli and the
    // bases m - 1 and 0 drive every limb and every carry to its limit.
    for (const uint32_t bits : {2u, 50u, 51u, 64u, 414u, 415u, 830u, 831u, 1023u, 1024u, 2047u,
                                2048u, 3198u, 3199u, 3200u}) {
        for (int kind = 0; kind < 2; ++kind) {
            std::string hm = kind == 0 ? AllOnesHex(bits) : RandomHex(m_rng, bits);
            hm.back() = "13579BDF"[std::stoi(hm.substr(hm.size() - 1), nullptr, 16) / 2];
            const CBigNumber m = Hex(hm);
            CBigNumber one;
            one.SetValue(1);
            const std::string bases[] = {m.Sub(one).ToText(16), "0", RandomHex(m_rng, bits - 1)};
            const std::string exponents[] = {AllOnesHex(bits < 100 ? bits + 1 : 67),
                                             RandomHex(m_rng, std::min(bits + 1, 3200u))};
            for (const std::string& ha : bases) {
                for (const std::string& he : exponents) {
                    SCOPED_TRACE(ha + " ^ " + he + " mod " + hm);
                    Bn r = NewBn();
                    ASSERT_TRUE(BN_mod_exp(r.get(), BnFromHex(ha).get(), BnFromHex(he).get(),
                                           BnFromHex(hm).get(), m_bn.Ctx()));
                    EXPECT_EQ(Hex(ha).ModPow(Hex(he), m).ToText(16), BnHex(r.get()));
                }
            }
        }
    }
}

TEST_F(BigNumberOracle, GeneratedPrimesAreFullLengthPrimes) {
    for (const uint32_t words : {1u, 2u, 3u, 8u, 20u, 20u}) {
        CBigNumber p;
        p.GenerateProbablePrime(words);
        SCOPED_TRACE(p.ToText(16));
        EXPECT_EQ(p.WordCount(), words);
        EXPECT_EQ(p.Word(words - 1) >> 30, 3u);  // the top two bits, so p * q has 64 * words bits
        const Bn bp = BnFromHex(p.ToText(16));
        EXPECT_EQ(BN_check_prime(bp.get(), m_bn.Ctx(), nullptr), 1);
        EXPECT_EQ(BN_num_bits(bp.get()), static_cast<int>(32 * words));
    }
    CBigNumber p;
    CBigNumber q;
    p.GenerateProbablePrime(20);
    q.GenerateProbablePrime(20);
    EXPECT_NE(p.Compare(q), 0);
    EXPECT_EQ(p.Mul(q).BitLength(), 1280u);
}

}  // namespace

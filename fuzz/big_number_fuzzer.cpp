// CBigNumber differential against OpenSSL's BN: text in and out in every base, and every operation
// on operands of up to 3200 bits (results beyond 3200 bits compared modulo 2^3200, as the class
// cuts them).
#include <fuzzer/FuzzedDataProvider.h>
#include <openssl/bn.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "crypto/pk/big_number.h"
#include "fuzz_check.h"

namespace {

constexpr int kBits = 3200;
constexpr size_t kMaxBytes = kBits / 8;

struct BnFree {
    void operator()(BIGNUM* bn) const { BN_free(bn); }
};
using Bn = std::unique_ptr<BIGNUM, BnFree>;

BN_CTX* Ctx() {
    static BN_CTX* ctx = BN_CTX_new();
    return ctx;
}

Bn NewBn() {
    return Bn(BN_new());
}

Bn BnFromBytes(const std::vector<uint8_t>& bytes) {
    return Bn(BN_bin2bn(bytes.data(), static_cast<int>(bytes.size()), nullptr));
}

// BnFromOurs reads the words of a CBigNumber, so that its internal form is checked too.
Bn BnFromOurs(const CBigNumber& x) {
    FUZZ_CHECK(x.WordCount() >= 1 && x.WordCount() <= BIGNUMBER_MAX_WORDS, "word count");
    FUZZ_CHECK(x.WordCount() == 1 || x.Word(x.WordCount() - 1) != 0, "not normalised");
    std::vector<uint8_t> bytes;
    for (uint32_t i = x.WordCount(); i-- > 0;) {
        const uint32_t w = x.Word(i);
        for (int shift = 24; shift >= 0; shift -= 8) {
            bytes.push_back(static_cast<uint8_t>(w >> shift));
        }
    }
    return BnFromBytes(bytes);
}

std::string Hex(const BIGNUM* bn) {
    char* text = BN_bn2hex(bn);
    std::string hex(text);
    OPENSSL_free(text);
    return hex;
}

void Cut(BIGNUM* bn) {
    if (BN_num_bits(bn) > kBits) {
        BN_mask_bits(bn, kBits);
    }
}

CBigNumber OursFromBytes(const std::vector<uint8_t>& bytes) {
    CBigNumber x;
    x.FromText(BytesToHex(bytes), 16);
    return x;
}

void ExpectEqual(const CBigNumber& ours, const BIGNUM* expected, const std::string& what) {
    const Bn got = BnFromOurs(ours);
    FUZZ_CHECK(BN_cmp(got.get(), expected) == 0,
               what + ": ours " + Hex(got.get()) + " OpenSSL " + Hex(expected));
}

uint32_t RefDigit(char c) {
    if (c >= '0' && c <= '9') {
        return static_cast<uint32_t>(c - '0');
    }
    if (c >= 'A' && c <= 'F') {
        return static_cast<uint32_t>(c - 'A' + 10);
    }
    if (c >= 'a' && c <= 'f') {
        return static_cast<uint32_t>(c - 'a' + 10);
    }
    return 0;
}

void CheckText(FuzzedDataProvider& in) {
    const uint32_t base = in.ConsumeIntegralInRange<uint32_t>(2, 16);
    const std::string text = in.ConsumeRandomLengthString(2000);
    CBigNumber ours;
    ours.FromText(text, base);
    // Horner's rule digit by digit, each character's value even when it exceeds the base.
    Bn expected = NewBn();
    for (const char c : text) {
        BN_mul_word(expected.get(), base);
        BN_add_word(expected.get(), RefDigit(c));
        Cut(expected.get());
    }
    ExpectEqual(ours, expected.get(), "FromText base " + std::to_string(base) + " " + text);

    std::string digits;
    Bn rest(BN_dup(expected.get()));
    while (!BN_is_zero(rest.get())) {
        digits.insert(digits.begin(), "0123456789ABCDEF"[BN_div_word(rest.get(), base)]);
    }
    if (digits.empty()) {
        digits = "0";
    }
    FUZZ_CHECK(ours.ToText(base) == digits, "ToText base " + std::to_string(base) + " " + text);
    FUZZ_CHECK(ours.ToText(in.ConsumeBool() ? 1 : 17).empty(), "ToText of a bad base");
}

void CheckOperation(FuzzedDataProvider& in) {
    const int op = in.ConsumeIntegralInRange(0, 14);
    const auto a_bytes = in.ConsumeBytes<uint8_t>(in.ConsumeIntegralInRange<size_t>(0, kMaxBytes));
    const auto b_bytes = in.ConsumeBytes<uint8_t>(in.ConsumeIntegralInRange<size_t>(0, kMaxBytes));
    const uint32_t w = in.ConsumeIntegral<uint32_t>();
    const CBigNumber a = OursFromBytes(a_bytes);
    const CBigNumber b = OursFromBytes(b_bytes);
    const Bn ba = BnFromBytes(a_bytes);
    const Bn bb = BnFromBytes(b_bytes);
    const std::string operands =
        "a=" + Hex(ba.get()) + " b=" + Hex(bb.get()) + " w=" + std::to_string(w);
    Bn r = NewBn();
    switch (op) {
        case 0: {
            const int cmp = BN_cmp(ba.get(), bb.get());
            FUZZ_CHECK(a.Compare(b) == (cmp > 0) - (cmp < 0), "Compare " + operands);
            FUZZ_CHECK(a.BitLength() == static_cast<uint32_t>(BN_num_bits(ba.get())),
                       "BitLength " + operands);
            FUZZ_CHECK(a.IsZero() == (BN_is_zero(ba.get()) == 1), "IsZero " + operands);
            CBigNumber copy;
            copy.Assign(a);
            FUZZ_CHECK(copy.Compare(a) == 0, "Assign " + operands);
            break;
        }
        case 1:
            BN_add(r.get(), ba.get(), bb.get());
            Cut(r.get());
            ExpectEqual(a.Add(b), r.get(), "Add " + operands);
            break;
        case 2:
            BN_copy(r.get(), ba.get());
            BN_add_word(r.get(), w);
            Cut(r.get());
            ExpectEqual(a.AddWord(w), r.get(), "AddWord " + operands);
            break;
        case 3:
            if (BN_cmp(ba.get(), bb.get()) > 0) {
                BN_sub(r.get(), ba.get(), bb.get());
            }
            ExpectEqual(a.Sub(b), r.get(), "Sub " + operands);
            break;
        case 4:
            BN_mul(r.get(), ba.get(), bb.get(), Ctx());
            Cut(r.get());
            ExpectEqual(a.Mul(b), r.get(), "Mul " + operands);
            break;
        case 5:
            BN_copy(r.get(), ba.get());
            BN_mul_word(r.get(), w);
            Cut(r.get());
            ExpectEqual(a.MulWord(w), r.get(), "MulWord " + operands);
            break;
        case 6:
        case 7: {
            Bn rem = NewBn();
            if (!BN_is_zero(bb.get())) {
                BN_div(r.get(), rem.get(), ba.get(), bb.get(), Ctx());
            }
            if (op == 6) {
                ExpectEqual(a.Div(b), r.get(), "Div " + operands);
            } else {
                ExpectEqual(a.Mod(b), rem.get(), "Mod " + operands);
            }
            break;
        }
        case 8:
        case 9: {
            BN_copy(r.get(), ba.get());
            const BN_ULONG rem = w == 0 ? 0 : BN_div_word(r.get(), w);
            if (w == 0) {
                BN_zero(r.get());
            }
            if (op == 8) {
                ExpectEqual(a.DivWord(w), r.get(), "DivWord " + operands);
            } else {
                FUZZ_CHECK(a.ModWord(w) == rem, "ModWord " + operands);
            }
            break;
        }
        case 10:
        case 11: {
            // The modulus m = b, any size; the exponent kept short so that a run stays quick.
            const auto e_bytes = in.ConsumeBytes<uint8_t>(in.ConsumeIntegralInRange<size_t>(0, 40));
            const CBigNumber e = OursFromBytes(e_bytes);
            const Bn be = BnFromBytes(e_bytes);
            if (BN_is_zero(be.get()) || BN_is_one(be.get())) {
                BN_copy(r.get(), ba.get());
            } else if (!BN_is_zero(bb.get())) {
                BN_mod_exp(r.get(), ba.get(), be.get(), bb.get(), Ctx());
            }
            ExpectEqual(a.ModPow(e, b), r.get(), "ModPow " + operands + " e=" + Hex(be.get()));
            break;
        }
        case 12:
        case 13: {
            const CBigNumber x = a.ModInverse(b);
            if (BN_is_zero(bb.get())) {
                break;  // no contract for a zero modulus; it only must not fail
            }
            if (BN_is_zero(ba.get())) {
                ExpectEqual(x, r.get(), "ModInverse of 0 " + operands);
                break;
            }
            const Bn bx = BnFromOurs(x);
            FUZZ_CHECK(BN_cmp(bx.get(), bb.get()) < 0, "ModInverse not below m " + operands);
            Bn gcd = NewBn();
            BN_gcd(gcd.get(), ba.get(), bb.get(), Ctx());
            Bn product = NewBn();
            BN_mod_mul(product.get(), ba.get(), bx.get(), bb.get(), Ctx());
            Bn gcd_mod = NewBn();
            BN_nnmod(gcd_mod.get(), gcd.get(), bb.get(), Ctx());
            FUZZ_CHECK(BN_cmp(product.get(), gcd_mod.get()) == 0,
                       "ModInverse " + operands + " x=" + Hex(bx.get()));
            break;
        }
        case 14: {
            const uint64_t v = in.ConsumeIntegral<uint64_t>();
            CBigNumber x;
            x.SetValue(v);
            FUZZ_CHECK(x.WordCount() == (v >> 32 != 0 ? 2u : 1u) && x.Word(0) == uint32_t(v) &&
                           x.Word(1) == (x.WordCount() == 2 ? uint32_t(v >> 32) : 0) &&
                           x.Word(BIGNUMBER_MAX_WORDS) == 0,
                       "SetValue " + std::to_string(v));
            break;
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    if (in.ConsumeBool()) {
        CheckText(in);
    } else {
        CheckOperation(in);
    }
    return 0;
}

// CBigNumber: fixed-size unsigned arithmetic, Montgomery exponentiation and probable primes.
//
// Every routine works on 32-bit word arrays on the stack: at most 100 words for a value and
// 202 for a full product with its normalising shift. Results longer than 100 words keep their
// low 100 words. Modular exponentiation with an odd modulus runs in Montgomery form: on 52-bit
// limbs with AVX-512 IFMA where the processor has it (unless KEYWRIGHT_PORTABLE=1), on 64-bit
// limbs otherwise; an even modulus falls back to multiplication followed by long division.
#include "crypto/pk/big_number.h"

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

#include <algorithm>
#include <array>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <type_traits>

#include "crypto/byte_order.h"
#include "crypto/random_bytes.h"

namespace {

constexpr uint32_t kMaxWords = BIGNUMBER_MAX_WORDS;
// A full product of two values plus the word that the normalising shift of a division adds.
constexpr uint32_t kWideWords = 2 * kMaxWords + 2;
constexpr uint32_t kMaxLimbs = (kMaxWords + 1) / 2;
constexpr uint64_t kWordMask = 0xFFFFFFFFu;

__extension__ typedef unsigned __int128 Uint128;

uint32_t Significant(const uint32_t* a, uint32_t n) {
    while (n > 0 && a[n - 1] == 0) {
        --n;
    }
    return n;
}

// CompareWords compares two arrays of significant lengths na and nb.
int CompareWords(const uint32_t* a, uint32_t na, const uint32_t* b, uint32_t nb) {
    if (na != nb) {
        return na > nb ? 1 : -1;
    }
    for (uint32_t i = na; i-- > 0;) {
        if (a[i] != b[i]) {
            return a[i] > b[i] ? 1 : -1;
        }
    }
    return 0;
}

// MulWords writes the low `limit` words of a * b to out (which must not overlap a or b).
void MulWords(uint32_t* out, uint32_t limit, const uint32_t* a, uint32_t na, const uint32_t* b,
              uint32_t nb) {
    std::fill_n(out, limit, 0u);
    for (uint32_t i = 0; i < na && i < limit; ++i) {
        const uint64_t ai = a[i];
        uint64_t carry = 0;
        uint32_t j = 0;
        for (; j < nb && i + j < limit; ++j) {
            const uint64_t t = ai * b[j] + out[i + j] + carry;
            out[i + j] = static_cast<uint32_t>(t);
            carry = t >> 32;
        }
        if (i + j < limit) {
            out[i + j] = static_cast<uint32_t>(carry);
        }
    }
}

// DivModWords divides u (nu words, nu < kWideWords) by v (nv significant words, nv >= 1) with
// nu >= nv. q receives nu - nv + 1 quotient words and r nv remainder words; either may be null.
// Knuth, TAOCP vol. 2, 4.3.1, algorithm D.
void DivModWords(const uint32_t* u, uint32_t nu, const uint32_t* v, uint32_t nv, uint32_t* q,
                 uint32_t* r) {
    if (nv == 1) {
        uint64_t rem = 0;
        for (uint32_t i = nu; i-- > 0;) {
            const uint64_t cur = (rem << 32) | u[i];
            if (q != nullptr) {
                q[i] = static_cast<uint32_t>(cur / v[0]);
            }
            rem = cur % v[0];
        }
        if (r != nullptr) {
            r[0] = static_cast<uint32_t>(rem);
        }
        return;
    }
    // D1: shift both operands so that the divisor's top bit is set.
    const int s = std::countl_zero(v[nv - 1]);
    uint32_t vn[kWideWords];
    uint32_t un[kWideWords + 1];
    for (uint32_t i = nv - 1; i > 0; --i) {
        vn[i] = s == 0 ? v[i] : (v[i] << s) | (v[i - 1] >> (32 - s));
    }
    vn[0] = v[0] << s;
    un[nu] = s == 0 ? 0 : u[nu - 1] >> (32 - s);
    for (uint32_t i = nu - 1; i > 0; --i) {
        un[i] = s == 0 ? u[i] : (u[i] << s) | (u[i - 1] >> (32 - s));
    }
    un[0] = u[0] << s;

    const uint64_t vTop = vn[nv - 1];
    const uint64_t vNext = vn[nv - 2];
    for (uint32_t j = nu - nv + 1; j-- > 0;) {
        // D3: estimate the quotient word from the top two words, then correct it at most twice.
        const uint64_t num = (static_cast<uint64_t>(un[j + nv]) << 32) | un[j + nv - 1];
        uint64_t qhat = num / vTop;
        uint64_t rhat = num % vTop;
        while (qhat > kWordMask || qhat * vNext > ((rhat << 32) | un[j + nv - 2])) {
            --qhat;
            rhat += vTop;
            if (rhat > kWordMask) {
                break;
            }
        }
        // D4: multiply and subtract.
        uint64_t carry = 0;
        uint64_t borrow = 0;
        for (uint32_t i = 0; i < nv; ++i) {
            const uint64_t p = qhat * vn[i] + carry;
            carry = p >> 32;
            const uint64_t t = static_cast<uint64_t>(un[i + j]) - (p & kWordMask) - borrow;
            un[i + j] = static_cast<uint32_t>(t);
            borrow = t >> 63;
        }
        const uint64_t t = static_cast<uint64_t>(un[j + nv]) - carry - borrow;
        un[j + nv] = static_cast<uint32_t>(t);
        // D5, D6: the estimate was one too large; add the divisor back.
        if ((t >> 63) != 0) {
            --qhat;
            uint64_t c = 0;
            for (uint32_t i = 0; i < nv; ++i) {
                const uint64_t sum = static_cast<uint64_t>(un[i + j]) + vn[i] + c;
                un[i + j] = static_cast<uint32_t>(sum);
                c = sum >> 32;
            }
            un[j + nv] = static_cast<uint32_t>(un[j + nv] + c);
        }
        if (q != nullptr) {
            q[j] = static_cast<uint32_t>(qhat);
        }
    }
    // D8: the remainder is the low words shifted back.
    if (r != nullptr) {
        for (uint32_t i = 0; i < nv; ++i) {
            r[i] = s == 0 ? un[i] : (un[i] >> s) | (un[i + 1] << (32 - s));
        }
    }
}

// ReduceWords writes u mod v into r (nv words); v has nv significant words, u has nu words.
void ReduceWords(const uint32_t* u, uint32_t nu, const uint32_t* v, uint32_t nv, uint32_t* r) {
    nu = Significant(u, nu);
    if (nu < nv) {
        std::copy_n(u, nu, r);
        std::fill(r + nu, r + nv, 0u);
        return;
    }
    DivModWords(u, nu, v, nv, nullptr, r);
}

uint32_t DigitValue(char c) {
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

// ---- Montgomery arithmetic on 64-bit limbs (odd moduli) ----

struct MontValue {
    uint64_t limb[kMaxLimbs];
};

// MontFinish writes t mod m to out (n limbs), for t (n + 1 limbs) below 2m.
void MontFinish(uint64_t* out, const uint64_t* t, const uint64_t* m, uint32_t n) {
    uint64_t d[kMaxLimbs];
    uint64_t borrow = 0;
    for (uint32_t j = 0; j < n; ++j) {
        const Uint128 diff = static_cast<Uint128>(t[j]) - m[j] - borrow;
        d[j] = static_cast<uint64_t>(diff);
        borrow = static_cast<uint64_t>(diff >> 64) & 1u;
    }
    // t >= m when it has a top limb or the subtraction did not borrow; t - m then fits n limbs.
    const uint64_t* source = t[n] != 0 || borrow == 0 ? d : t;
    std::copy_n(source, n, out);
}

// Accumulator is a three-limb column sum for product scanning (Comba): a column of up to 2n
// products of 64-bit limbs needs 128 + log2(2n) bits.
struct Accumulator {
    uint64_t low = 0;
    uint64_t high = 0;
    uint64_t top = 0;

    void Add(uint64_t x, uint64_t y) {
        const Uint128 product = static_cast<Uint128>(x) * y;
        const Uint128 sum = ((static_cast<Uint128>(high) << 64) | low) + product;
        top += sum < product ? 1 : 0;
        low = static_cast<uint64_t>(sum);
        high = static_cast<uint64_t>(sum >> 64);
    }

    void Add(const Accumulator& other) {
        const Uint128 mine = (static_cast<Uint128>(high) << 64) | low;
        const Uint128 sum = mine + ((static_cast<Uint128>(other.high) << 64) | other.low);
        top += other.top + (sum < mine ? 1 : 0);
        low = static_cast<uint64_t>(sum);
        high = static_cast<uint64_t>(sum >> 64);
    }

    void Double() {
        top = (top << 1) | (high >> 63);
        high = (high << 1) | (low >> 63);
        low <<= 1;
    }

    uint64_t Low() const { return low; }

    // Shift gives the low limb and moves the sum down by one limb.
    uint64_t Shift() {
        const uint64_t out = low;
        low = high;
        high = top;
        top = 0;
        return out;
    }
};

// AddProducts adds x[i] * y[i] for i < count to acc.
inline void AddProducts(Accumulator& acc, const uint64_t* x, const uint64_t* y, size_t count) {
#pragma GCC unroll 2
    for (size_t i = 0; i < count; ++i) {
        acc.Add(x[i], y[i]);
    }
}

// Reverse writes the n limbs of x in reverse order, so that the products of a column, x[j] *
// y[k - j], walk both operands upwards: y[k - j] = reversed[n - 1 - k + j].
inline void Reverse(uint64_t* reversed, const uint64_t* x, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        reversed[i] = x[n - 1 - i];
    }
}

// MontColumns writes (x / R) mod m to out, R = 2^(64 n), for the product x whose column k
// `columns(k, acc)` adds; the reduction's quotient limbs are found column by column on the way
// (product scanning, Koc, Acar and Kaliski 1996, "FIPS"), so no 2n-limb product is stored.
template <class Columns>
void MontColumns(uint64_t* out, const uint64_t* m, uint64_t n0, size_t n, Columns columns) {
    uint64_t q[kMaxLimbs];
    uint64_t r[kMaxLimbs + 1];
    uint64_t mr[kMaxLimbs];
    Reverse(mr, m, n);
    Accumulator acc;
    for (size_t k = 0; k < n; ++k) {
        columns(k, acc);
        AddProducts(acc, q, mr + (n - 1 - k), k);
        q[k] = acc.Low() * n0;
        acc.Add(q[k], m[0]);
        acc.Shift();
    }
    for (size_t k = n; k < 2 * n - 1; ++k) {
        columns(k, acc);
        const size_t first = k - n + 1;
        AddProducts(acc, q + first, mr, n - first);
        r[k - n] = acc.Shift();
    }
    r[n - 1] = acc.Shift();
    r[n] = acc.Low();
    MontFinish(out, r, m, static_cast<uint32_t>(n));
}

void MontMul(uint64_t* out, const uint64_t* a, const uint64_t* b, const uint64_t* m, uint64_t n0,
             size_t n) {
    uint64_t br[kMaxLimbs];
    Reverse(br, b, n);
    MontColumns(out, m, n0, n, [a, &br, n](size_t k, Accumulator& acc) {
        const size_t first = k < n ? 0 : k - n + 1;
        const size_t last = k < n ? k : n - 1;
        AddProducts(acc, a + first, br + (n - 1 - k + first), last - first + 1);
    });
}

void MontSquare(uint64_t* out, const uint64_t* a, const uint64_t* m, uint64_t n0, size_t n) {
    uint64_t ar[kMaxLimbs];
    Reverse(ar, a, n);
    MontColumns(out, m, n0, n, [a, &ar, n](size_t k, Accumulator& acc) {
        const size_t first = k < n ? 0 : k - n + 1;
        // The cross products a[j] * a[k - j], j < k - j, each stand for two.
        const size_t cross = (k + 1) / 2 - first;
        Accumulator sum;
        AddProducts(sum, a + first, ar + (n - 1 - k + first), cross);
        sum.Double();
        if (k % 2 == 0) {
            sum.Add(a[k / 2], a[k / 2]);
        }
        acc.Add(sum);
    });
}

// CMontgomery holds an odd modulus m of n limbs, -m^-1 mod 2^64 and R^2 mod m, R = 2^(64 n).
class CMontgomery {
public:
    using Value = MontValue;

    CMontgomery(const uint32_t* m, uint32_t words) : m_n((words + 1) / 2) {
        ToLimbs(m, words, m_mod);
        // Newton's iteration doubles the correct low bits of the inverse: 3, 6, ..., 96.
        uint64_t inv = m_mod.limb[0];
        for (int i = 0; i < 5; ++i) {
            inv *= 2 - m_mod.limb[0] * inv;
        }
        m_n0 = 0 - inv;
        uint32_t power[kWideWords] = {};
        const uint32_t powerWords = 4 * m_n + 1;
        power[powerWords - 1] = 1;
        uint32_t rr[kMaxWords] = {};
        DivModWords(power, powerWords, m, Significant(m, words), nullptr, rr);
        ToLimbs(rr, words, m_rr);
    }

    uint32_t Limbs() const { return m_n; }

    static void ToLimbs(const uint32_t* words, uint32_t count, MontValue& out) {
        std::fill_n(out.limb, kMaxLimbs, uint64_t{0});
        for (uint32_t i = 0; i < count; ++i) {
            out.limb[i / 2] |= static_cast<uint64_t>(words[i]) << (32 * (i % 2));
        }
    }

    // ToWords writes the n limbs of `in` as 100 words, zeros above them.
    void ToWords(const MontValue& in, uint32_t* words) const {
        std::fill_n(words, kMaxWords, 0u);
        for (uint32_t i = 0; i < 2 * m_n && i < kMaxWords; ++i) {
            words[i] = static_cast<uint32_t>(in.limb[i / 2] >> (32 * (i % 2)));
        }
    }

    // Mul sets out = a * b / R mod m for a, b < m; limbs above n stay as they were in out.
    void Mul(MontValue& out, const MontValue& a, const MontValue& b) const {
        MontMul(out.limb, a.limb, b.limb, m_mod.limb, m_n0, m_n);
    }

    void Square(MontValue& out, const MontValue& a) const {
        MontSquare(out.limb, a.limb, m_mod.limb, m_n0, m_n);
    }

    // Enter converts a value below m (as words) into Montgomery form.
    void Enter(MontValue& out, const uint32_t* words, uint32_t count) const {
        MontValue plain;
        ToLimbs(words, count, plain);
        Mul(out, plain, m_rr);
    }

    void Leave(MontValue& out, const MontValue& in) const {
        MontValue one{};
        one.limb[0] = 1;
        Mul(out, in, one);
    }

    // LeaveWords writes in / R mod m as 100 words.
    void LeaveWords(const MontValue& in, uint32_t* words) const {
        MontValue x;
        Leave(x, in);
        ToWords(x, words);
    }

    // Same is true when a and b are equal modulo m (both are reduced).
    bool Same(const MontValue& a, const MontValue& b) const {
        return std::equal(a.limb, a.limb + m_n, b.limb);
    }

private:
    uint32_t m_n;
    uint64_t m_n0 = 0;
    MontValue m_mod;
    MontValue m_rr;
};

// ---- Montgomery arithmetic on 52-bit limbs with AVX-512 IFMA (x86-64) ----
//
// VPMADD52LUQ/VPMADD52HUQ multiply eight pairs of 52-bit limbs at once and add the low or the
// high 52 bits of each product to a 64-bit lane, so a lane takes many products before it must
// carry. The multiplication is "almost Montgomery" (Gueron and Krasnov, "Software
// implementation of modular exponentiation, using advanced vector instructions architectures",
// 2012): with R = 2^(52 L) > 4m, inputs below 2m give a result below 2m, so the final
// subtraction waits until the value leaves the Montgomery form.

#if defined(__x86_64__) && defined(__GNUC__)
#define KEYWRIGHT_HAS_IFMA 1
#else
#define KEYWRIGHT_HAS_IFMA 0
#endif

#if KEYWRIGHT_HAS_IFMA

constexpr uint32_t kIfmaLimbBits = 52;
constexpr uint64_t kIfmaMask = (uint64_t{1} << kIfmaLimbBits) - 1;
// 3200 bits and the two bits of headroom need 62 limbs: eight vectors of eight lanes.
constexpr uint32_t kIfmaMaxVectors = 8;
constexpr uint32_t kIfmaMaxLimbs = 8 * kIfmaMaxVectors;

struct alignas(64) IfmaValue {
    uint64_t limb[kIfmaMaxLimbs];
};

// IfmaUsable is true when the processor and the operating system offer AVX-512 IFMA and the
// environment does not ask for the portable code (KEYWRIGHT_PORTABLE=1).
bool IfmaUsable() {
    static const bool usable = [] {
        const char* portable = std::getenv("KEYWRIGHT_PORTABLE");
        if (portable != nullptr && std::string_view(portable) == "1") {
            return false;
        }
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512ifma");
    }();
    return usable;
}

// IfmaMul sets out = a * b / R mod m, below 2m, for a, b below 2m in L limbs of 52 bits (kV
// vectors, the lanes above L zero); out may be a or b. k0 is -m^-1 mod 2^52.
template <uint32_t kV>
__attribute__((target("avx512f,avx512ifma"))) void IfmaMul(uint64_t* out, const uint64_t* a,
                                                           const uint64_t* b, const uint64_t* m,
                                                           uint64_t k0, uint32_t limbs) {
    __m512i acc[kV];
    __m512i av[kV];
    __m512i mv[kV];
    const __m512i zero = _mm512_setzero_si512();
#pragma GCC unroll 8
    for (uint32_t v = 0; v < kV; ++v) {
        acc[v] = zero;
        av[v] = _mm512_loadu_si512(a + 8 * v);
        mv[v] = _mm512_loadu_si512(m + 8 * v);
    }
    const uint64_t a0 = a[0];
    const uint64_t m0 = m[0];
    // The carry out of the lane that each step shifts away; it belongs to the new lane 0.
    uint64_t carry = 0;
    for (uint32_t i = 0; i < limbs; ++i) {
        const uint64_t bi = b[i];
        // Lane 0 after the low products, found in a scalar register to choose q early.
        const uint64_t x0 = static_cast<uint64_t>(acc[0][0]) + carry + ((a0 * bi) & kIfmaMask);
        const uint64_t q = (x0 * k0) & kIfmaMask;
        carry = (x0 + ((q * m0) & kIfmaMask)) >> kIfmaLimbBits;
        const __m512i bv = _mm512_set1_epi64(static_cast<long long>(bi));
        const __m512i qv = _mm512_set1_epi64(static_cast<long long>(q));
#pragma GCC unroll 8
        for (uint32_t v = 0; v < kV; ++v) {
            acc[v] = _mm512_madd52lo_epu64(acc[v], av[v], bv);
            acc[v] = _mm512_madd52lo_epu64(acc[v], mv[v], qv);
        }
        // Lane 0 is now 0 mod 2^52: drop it (its carry is kept above) and move every lane down.
#pragma GCC unroll 8
        for (uint32_t v = 0; v < kV; ++v) {
            acc[v] = _mm512_maskz_alignr_epi64(0xFF, v + 1 < kV ? acc[v + 1] : zero, acc[v], 1);
        }
        // The high halves of the products of limb j belong to limb j + 1, which the shift has
        // just made limb j.
#pragma GCC unroll 8
        for (uint32_t v = 0; v < kV; ++v) {
            acc[v] = _mm512_madd52hi_epu64(acc[v], av[v], bv);
            acc[v] = _mm512_madd52hi_epu64(acc[v], mv[v], qv);
        }
    }
    alignas(64) uint64_t lanes[8 * kV];
#pragma GCC unroll 8
    for (uint32_t v = 0; v < kV; ++v) {
        _mm512_store_si512(lanes + 8 * v, acc[v]);
    }
    lanes[0] += carry;
    // The lanes hold up to 4 L products each, below 2^60; carrying makes them 52-bit limbs.
    uint64_t c = 0;
    for (uint32_t j = 0; j < 8 * kV; ++j) {
        const uint64_t sum = lanes[j] + c;
        out[j] = sum & kIfmaMask;
        c = sum >> kIfmaLimbBits;
    }
}

// ToLimbs52 writes count words as `limbs` limbs of 52 bits (zeros above the value).
void ToLimbs52(const uint32_t* words, uint32_t count, uint64_t* limbs, uint32_t limbCount) {
    std::fill_n(limbs, limbCount, uint64_t{0});
    Uint128 buffer = 0;
    uint32_t held = 0;
    uint32_t j = 0;
    for (uint32_t i = 0; i < count && j < limbCount; ++i) {
        buffer |= static_cast<Uint128>(words[i]) << held;
        held += 32;
        while (held >= kIfmaLimbBits && j < limbCount) {
            limbs[j++] = static_cast<uint64_t>(buffer) & kIfmaMask;
            buffer >>= kIfmaLimbBits;
            held -= kIfmaLimbBits;
        }
    }
    if (j < limbCount) {
        limbs[j] = static_cast<uint64_t>(buffer) & kIfmaMask;
    }
}

// FromLimbs52 writes limbCount 52-bit limbs as 100 words, cut to the low 3200 bits.
void FromLimbs52(const uint64_t* limbs, uint32_t limbCount, uint32_t* words) {
    std::fill_n(words, kMaxWords, 0u);
    Uint128 buffer = 0;
    uint32_t held = 0;
    uint32_t w = 0;
    for (uint32_t j = 0; j < limbCount && w < kMaxWords; ++j) {
        buffer |= static_cast<Uint128>(limbs[j]) << held;
        held += kIfmaLimbBits;
        while (held >= 32 && w < kMaxWords) {
            words[w++] = static_cast<uint32_t>(buffer);
            buffer >>= 32;
            held -= 32;
        }
    }
    if (w < kMaxWords) {
        words[w] = static_cast<uint32_t>(buffer);
    }
}

// CIfmaMontgomery holds an odd modulus m of L limbs of 52 bits in kV vectors, R = 2^(52 L) with
// R > 4m, -m^-1 mod 2^52 and R^2 mod m.
template <uint32_t kV>
class CIfmaMontgomery {
public:
    using Value = IfmaValue;

    CIfmaMontgomery(const uint32_t* m, uint32_t words, uint32_t limbs)
        : m_m(m), m_words(Significant(m, words)), m_limbs(limbs) {
        ToLimbs52(m, m_words, m_mod.limb, kIfmaMaxLimbs);
        uint64_t inv = m_mod.limb[0];
        for (int i = 0; i < 5; ++i) {
            inv *= 2 - m_mod.limb[0] * inv;
        }
        m_k0 = (0 - inv) & kIfmaMask;
        // R mod m by long division, then its square reduced again: R^2 itself can pass the
        // division's working size.
        uint32_t power[kWideWords] = {};
        const uint32_t powerBit = kIfmaLimbBits * m_limbs;
        power[powerBit / 32] = 1u << (powerBit % 32);
        uint32_t r[kMaxWords] = {};
        ReduceWords(power, powerBit / 32 + 1, m_m, m_words, r);
        uint32_t square[2 * kMaxWords];
        MulWords(square, 2 * m_words, r, m_words, r, m_words);
        uint32_t rr[kMaxWords] = {};
        ReduceWords(square, 2 * m_words, m_m, m_words, rr);
        ToLimbs52(rr, m_words, m_rr.limb, kIfmaMaxLimbs);
    }

    void Mul(IfmaValue& out, const IfmaValue& a, const IfmaValue& b) const {
        IfmaMul<kV>(out.limb, a.limb, b.limb, m_mod.limb, m_k0, m_limbs);
    }

    void Square(IfmaValue& out, const IfmaValue& a) const { Mul(out, a, a); }

    // Enter converts a value below m (as words) into Montgomery form.
    void Enter(IfmaValue& out, const uint32_t* words, uint32_t count) const {
        IfmaValue plain;
        ToLimbs52(words, count, plain.limb, kIfmaMaxLimbs);
        Mul(out, plain, m_rr);
    }

    // LeaveWords writes in / R mod m as 100 words.
    void LeaveWords(const IfmaValue& in, uint32_t* words) const {
        IfmaValue one{};
        one.limb[0] = 1;
        IfmaValue x;
        Mul(x, in, one);
        Canonical(x, words);
    }

    // Same is true when a and b are equal modulo m.
    bool Same(const IfmaValue& a, const IfmaValue& b) const {
        uint32_t wa[kMaxWords];
        uint32_t wb[kMaxWords];
        Canonical(a, wa);
        Canonical(b, wb);
        return std::equal(wa, wa + m_words, wb);
    }

private:
    // Canonical writes x mod m, for x below 2m, as 100 words; the subtraction runs on the
    // limbs, since 2m may pass 3200 bits.
    void Canonical(const IfmaValue& x, uint32_t* words) const {
        IfmaValue y = x;
        bool below = false;
        for (uint32_t j = m_limbs; j-- > 0;) {
            if (x.limb[j] != m_mod.limb[j]) {
                below = x.limb[j] < m_mod.limb[j];
                break;
            }
        }
        if (!below) {
            uint64_t borrow = 0;
            for (uint32_t j = 0; j < m_limbs; ++j) {
                const uint64_t t = x.limb[j] - m_mod.limb[j] - borrow;
                y.limb[j] = t & kIfmaMask;
                borrow = t >> 63;
            }
        }
        FromLimbs52(y.limb, m_limbs, words);
    }

    const uint32_t* m_m;
    uint32_t m_words;
    uint32_t m_limbs;
    uint64_t m_k0 = 0;
    IfmaValue m_mod;
    IfmaValue m_rr;
};

#endif  // KEYWRIGHT_HAS_IFMA

// WithMontgomery calls work(ops) with Montgomery arithmetic for the odd modulus m (words words):
// the IFMA form where the processor has it, the 64-bit limbs otherwise.
template <class Work>
void WithMontgomery(const uint32_t* m, uint32_t words, Work work) {
#if KEYWRIGHT_HAS_IFMA
    if (IfmaUsable()) {
        const uint32_t n = Significant(m, words);
        const uint32_t bits = 32 * n - static_cast<uint32_t>(std::countl_zero(m[n - 1]));
        const uint32_t limbs = (bits + 2 + kIfmaLimbBits - 1) / kIfmaLimbBits;
        switch ((limbs + 7) / 8) {
            case 1:
                work(CIfmaMontgomery<1>(m, words, limbs));
                return;
            case 2:
                work(CIfmaMontgomery<2>(m, words, limbs));
                return;
            case 3:
                work(CIfmaMontgomery<3>(m, words, limbs));
                return;
            case 4:
                work(CIfmaMontgomery<4>(m, words, limbs));
                return;
            case 5:
                work(CIfmaMontgomery<5>(m, words, limbs));
                return;
            case 6:
                work(CIfmaMontgomery<6>(m, words, limbs));
                return;
            case 7:
                work(CIfmaMontgomery<7>(m, words, limbs));
                return;
            default:
                work(CIfmaMontgomery<8>(m, words, limbs));
                return;
        }
    }
#endif
    work(CMontgomery(m, words));
}

// ---- Plain modular arithmetic on 32-bit words (any non-zero modulus) ----

struct PlainValue {
    uint32_t word[kMaxWords];
};

class CPlainModulus {
public:
    using Value = PlainValue;

    CPlainModulus(const uint32_t* m, uint32_t words) : m_m(m), m_n(Significant(m, words)) {}

    void Square(PlainValue& out, const PlainValue& a) const { Mul(out, a, a); }

    void Mul(PlainValue& out, const PlainValue& a, const PlainValue& b) const {
        uint32_t product[2 * kMaxWords];
        MulWords(product, 2 * m_n, a.word, m_n, b.word, m_n);
        uint32_t rem[kMaxWords] = {};
        ReduceWords(product, 2 * m_n, m_m, m_n, rem);
        std::copy_n(rem, kMaxWords, out.word);
    }

private:
    const uint32_t* m_m;
    uint32_t m_n;
};

bool ExponentBit(const uint32_t* e, uint32_t i) {
    return ((e[i / 32] >> (i % 32)) & 1u) != 0;
}

// WindowPow gives base^e for e >= 1 of `bits` bits, left to right with a sliding window of odd
// powers (HAC 14.85).
template <class Ops>
void WindowPow(const Ops& ops, typename Ops::Value& out, const typename Ops::Value& base,
               const uint32_t* e, uint32_t bits) {
    const uint32_t window = bits > 671 ? 6 : bits > 239 ? 5 : bits > 79 ? 4 : bits > 23 ? 3 : 1;
    typename Ops::Value table[1u << 5];
    table[0] = base;
    if (window > 1) {
        typename Ops::Value square;
        ops.Square(square, base);
        for (uint32_t i = 1; i < (1u << (window - 1)); ++i) {
            ops.Mul(table[i], table[i - 1], square);
        }
    }
    bool started = false;
    int64_t i = static_cast<int64_t>(bits) - 1;
    while (i >= 0) {
        if (!ExponentBit(e, static_cast<uint32_t>(i))) {
            ops.Square(out, out);
            --i;
            continue;
        }
        int64_t low = std::max<int64_t>(i - window + 1, 0);
        while (!ExponentBit(e, static_cast<uint32_t>(low))) {
            ++low;
        }
        uint32_t value = 0;
        for (int64_t k = i; k >= low; --k) {
            value = (value << 1) | (ExponentBit(e, static_cast<uint32_t>(k)) ? 1u : 0u);
        }
        if (started) {
            for (int64_t k = i; k >= low; --k) {
                ops.Square(out, out);
            }
            ops.Mul(out, out, table[value >> 1]);
        } else {
            out = table[value >> 1];
            started = true;
        }
        i = low - 1;
    }
}

// ---- Probable primes ----

constexpr size_t kSmallPrimeCount = 1899;

consteval std::array<uint16_t, kSmallPrimeCount> MakeSmallPrimes() {
    std::array<uint16_t, kSmallPrimeCount> primes{};
    size_t found = 0;
    for (uint32_t c = 3; found < kSmallPrimeCount; c += 2) {
        bool prime = true;
        for (uint32_t d = 3; d * d <= c; d += 2) {
            if (c % d == 0) {
                prime = false;
                break;
            }
        }
        if (prime) {
            primes[found++] = static_cast<uint16_t>(c);
        }
    }
    return primes;
}

// The odd primes 3 to 16381, in increasing order, for sieving candidates: a larger table removes
// a few more composites before Miller-Rabin, but costs more residues per window.
constexpr std::array<uint16_t, kSmallPrimeCount> g_smallPrimes = MakeSmallPrimes();
static_assert(g_smallPrimes.front() == 3 && g_smallPrimes.back() == 16381);

// Runs of consecutive small primes whose product fits one word: one pass over the candidate's
// words per run instead of one per prime.
struct PrimeRun {
    uint32_t product;
    uint16_t first;
    uint16_t end;
};

consteval size_t FillPrimeRuns(PrimeRun* runs) {
    size_t count = 0;
    size_t i = 0;
    while (i < kSmallPrimeCount) {
        PrimeRun run{g_smallPrimes[i], static_cast<uint16_t>(i), static_cast<uint16_t>(i + 1)};
        ++i;
        while (i < kSmallPrimeCount &&
               static_cast<uint64_t>(run.product) * g_smallPrimes[i] <= kWordMask) {
            run.product *= g_smallPrimes[i];
            run.end = static_cast<uint16_t>(++i);
        }
        if (runs != nullptr) {
            runs[count] = run;
        }
        ++count;
    }
    return count;
}

constexpr size_t kPrimeRunCount = FillPrimeRuns(nullptr);

consteval std::array<PrimeRun, kPrimeRunCount> MakePrimeRuns() {
    std::array<PrimeRun, kPrimeRunCount> runs{};
    FillPrimeRuns(runs.data());
    return runs;
}

constexpr std::array<PrimeRun, kPrimeRunCount> g_primeRuns = MakePrimeRuns();

// SmallPrimeResidues writes n mod p for every small prime p.
void SmallPrimeResidues(uint16_t* residues, const uint32_t* n, uint32_t words) {
    for (const PrimeRun& run : g_primeRuns) {
        uint64_t rem = 0;
        for (uint32_t i = words; i-- > 0;) {
            rem = ((rem << 32) | n[i]) % run.product;
        }
        for (uint32_t k = run.first; k < run.end; ++k) {
            residues[k] = static_cast<uint16_t>(rem % g_smallPrimes[k]);
        }
    }
}

// Odd offsets start + 2i, i < kSieveSpan, sieved per random start. Primes of 640 bits lie about
// 443 apart on average, so a window nearly always holds one.
constexpr uint32_t kSieveSpan = 4096;

// SieveWindow marks in `composite` every i < kSieveSpan for which start + 2i (start odd, with
// residues `residues`) has a small prime factor.
void SieveWindow(bool* composite, const uint16_t* residues) {
    std::fill_n(composite, kSieveSpan, false);
    for (size_t k = 0; k < kSmallPrimeCount; ++k) {
        const uint32_t p = g_smallPrimes[k];
        // start + 2i = 0 (mod p) for i = -start / 2 = (p - r) * (p + 1) / 2 (mod p).
        uint32_t i = (p - residues[k]) % p * ((p + 1) / 2) % p;
        for (; i < kSieveSpan; i += p) {
            composite[i] = true;
        }
    }
}

// CRandomWords deals 32-bit words from RandomBytes, drawn a block at a time since a search takes
// thousands of words. Once the generator has failed, every further word is 0 and Failed() is
// true; the search then gives up.
class CRandomWords {
public:
    uint32_t operator()() {
        if (m_next == kWords) {
            Refill();
        }
        return byte_order::LoadLe32(&m_block[4 * m_next++]);
    }

    bool Failed() const { return m_failed; }

private:
    void Refill() {
        // After a failure the block stays all zeros: no word is dealt twice.
        if (m_failed || !RandomBytes(m_block)) {
            m_failed = true;
            m_block.fill(0);
        }
        m_next = 0;
    }

    static constexpr size_t kWords = 256;
    std::array<uint8_t, 4 * kWords> m_block{};
    size_t m_next = kWords;
    bool m_failed = false;
};

// Rounds of Miller-Rabin with random bases: a composite passes one round with probability at
// most 1/4 (FIPS 186-5 B.3.1), so 64 rounds bound the error by 2^-128 for any candidate.
constexpr int kMillerRabinRounds = 64;

// IsProbablePrime runs Miller-Rabin (FIPS 186-5 B.3.1) on an odd n > 3 whose top word is at
// least 2^31, with bases drawn uniformly from [2, n - 2]; false, whatever n, once the source has
// failed.
bool IsProbablePrime(const uint32_t* n, uint32_t words, CRandomWords& source) {
    // n - 1 = 2^s * d with d odd.
    uint32_t nMinus1[kMaxWords] = {};
    std::copy_n(n, words, nMinus1);
    nMinus1[0] -= 1;
    uint32_t s = 0;
    while (!ExponentBit(nMinus1, s)) {
        ++s;
    }
    uint32_t d[kMaxWords] = {};
    for (uint32_t i = 0; i < words; ++i) {
        const uint32_t bit = s % 32;
        const uint32_t lo = i + s / 32 < words ? nMinus1[i + s / 32] : 0;
        const uint32_t hi = i + s / 32 + 1 < words ? nMinus1[i + s / 32 + 1] : 0;
        d[i] = bit == 0 ? lo : (lo >> bit) | (hi << (32 - bit));
    }
    const uint32_t dBits = 32 * Significant(d, words) -
                           static_cast<uint32_t>(std::countl_zero(d[Significant(d, words) - 1]));

    bool prime = true;
    WithMontgomery(n, words, [&](const auto& mont) {
        using Value = typename std::remove_cvref_t<decltype(mont)>::Value;
        Value one;
        Value minusOne;
        const uint32_t oneWord = 1;
        mont.Enter(one, &oneWord, 1);
        mont.Enter(minusOne, nMinus1, words);
        for (int round = 0; round < kMillerRabinRounds && prime; ++round) {
            uint32_t base[kMaxWords] = {};
            do {
                for (uint32_t i = 0; i < words; ++i) {
                    base[i] = source();
                }
            } while (!source.Failed() &&
                     (CompareWords(base, Significant(base, words), nMinus1, words) >= 0 ||
                      Significant(base, words) == 0 ||
                      (Significant(base, words) == 1 && base[0] < 2)));
            if (source.Failed()) {
                prime = false;  // no random base, no verdict
                break;
            }
            Value x;
            Value b;
            mont.Enter(b, base, words);
            WindowPow(mont, x, b, d, dBits);
            if (mont.Same(x, one) || mont.Same(x, minusOne)) {
                continue;
            }
            bool passed = false;
            for (uint32_t r = 1; r < s && !passed; ++r) {
                mont.Square(x, x);
                if (mont.Same(x, one)) {
                    break;
                }
                passed = mont.Same(x, minusOne);
            }
            prime = passed;
        }
    });
    return prime;
}

}  // namespace

CBigNumber::CBigNumber() : m_count(1), m_words{} {}

void CBigNumber::SetWords(const uint32_t* words, uint32_t count) {
    count = std::min(count, kMaxWords);
    std::copy_n(words, count, m_words);
    std::fill(m_words + count, m_words + kMaxWords, 0u);
    m_count = std::max(Significant(m_words, count), 1u);
}

int CBigNumber::Compare(const CBigNumber& other) const {
    return CompareWords(m_words, m_count, other.m_words, other.m_count);
}

void CBigNumber::Assign(const CBigNumber& other) {
    *this = other;
}

void CBigNumber::SetValue(uint64_t v) {
    const uint32_t words[2] = {static_cast<uint32_t>(v), static_cast<uint32_t>(v >> 32)};
    SetWords(words, 2);
}

uint32_t CBigNumber::BitLength() const {
    const uint32_t top = m_words[m_count - 1];
    return 32 * (m_count - 1) + static_cast<uint32_t>(32 - std::countl_zero(top));
}

CBigNumber CBigNumber::Add(const CBigNumber& b) const {
    const uint32_t n = std::max(m_count, b.m_count);
    uint32_t sum[kMaxWords + 1];
    uint64_t carry = 0;
    for (uint32_t i = 0; i < n; ++i) {
        const uint64_t t = static_cast<uint64_t>(m_words[i]) + b.m_words[i] + carry;
        sum[i] = static_cast<uint32_t>(t);
        carry = t >> 32;
    }
    sum[n] = static_cast<uint32_t>(carry);
    CBigNumber result;
    result.SetWords(sum, n + 1);
    return result;
}

CBigNumber CBigNumber::AddWord(uint32_t w) const {
    CBigNumber b;
    b.m_words[0] = w;
    return Add(b);
}

CBigNumber CBigNumber::Sub(const CBigNumber& b) const {
    CBigNumber result;
    if (Compare(b) <= 0) {
        return result;
    }
    uint32_t diff[kMaxWords];
    uint64_t borrow = 0;
    for (uint32_t i = 0; i < m_count; ++i) {
        const uint64_t t = static_cast<uint64_t>(m_words[i]) - b.m_words[i] - borrow;
        diff[i] = static_cast<uint32_t>(t);
        borrow = t >> 63;
    }
    result.SetWords(diff, m_count);
    return result;
}

CBigNumber CBigNumber::Mul(const CBigNumber& b) const {
    uint32_t product[kMaxWords];
    MulWords(product, kMaxWords, m_words, m_count, b.m_words, b.m_count);
    CBigNumber result;
    result.SetWords(product, kMaxWords);
    return result;
}

CBigNumber CBigNumber::MulWord(uint32_t w) const {
    CBigNumber b;
    b.m_words[0] = w;
    return Mul(b);
}

void CBigNumber::DivMod(const CBigNumber& b, CBigNumber* q, CBigNumber* r) const {
    if (b.IsZero()) {
        if (q != nullptr) {
            *q = CBigNumber();
        }
        if (r != nullptr) {
            *r = CBigNumber();
        }
        return;
    }
    if (Compare(b) < 0) {
        if (r != nullptr) {
            *r = *this;
        }
        if (q != nullptr) {
            *q = CBigNumber();
        }
        return;
    }
    uint32_t quotient[kMaxWords] = {};
    uint32_t remainder[kMaxWords] = {};
    DivModWords(m_words, m_count, b.m_words, b.m_count, quotient, remainder);
    if (q != nullptr) {
        q->SetWords(quotient, m_count - b.m_count + 1);
    }
    if (r != nullptr) {
        r->SetWords(remainder, b.m_count);
    }
}

CBigNumber CBigNumber::Div(const CBigNumber& b) const {
    CBigNumber q;
    DivMod(b, &q, nullptr);
    return q;
}

CBigNumber CBigNumber::DivWord(uint32_t w) const {
    CBigNumber b;
    b.m_words[0] = w;
    return Div(b);
}

CBigNumber CBigNumber::Mod(const CBigNumber& b) const {
    CBigNumber r;
    DivMod(b, nullptr, &r);
    return r;
}

uint32_t CBigNumber::ModWord(uint32_t w) const {
    if (w == 0) {
        return 0;
    }
    uint64_t rem = 0;
    for (uint32_t i = m_count; i-- > 0;) {
        rem = ((rem << 32) | m_words[i]) % w;
    }
    return static_cast<uint32_t>(rem);
}

void CBigNumber::FromText(std::string_view text, uint32_t base) {
    // Digits are taken in runs of `run` characters: value = value * base^run + run's value, which
    // is the digit-by-digit Horner rule modulo 2^3200, with far fewer passes over the words.
    // A run's value is below 16 * base^run (digits may exceed the base), so base^run stays
    // below 2^28 to keep it in one word.
    uint32_t run = 1;
    uint64_t runPower = base;
    while (base >= 2 && runPower * base <= (kWordMask >> 4)) {
        runPower *= base;
        ++run;
    }
    uint32_t words[kMaxWords] = {};
    uint32_t count = 1;
    size_t pos = 0;
    while (pos < text.size()) {
        const size_t take = std::min<size_t>(run, text.size() - pos);
        uint64_t multiplier = 1;
        uint64_t chunk = 0;
        for (size_t k = 0; k < take; ++k) {
            multiplier *= base;
            chunk = chunk * base + DigitValue(text[pos + k]);
        }
        pos += take;
        uint64_t carry = chunk;
        for (uint32_t i = 0; i < count; ++i) {
            const uint64_t t = multiplier * words[i] + carry;
            words[i] = static_cast<uint32_t>(t);
            carry = t >> 32;
        }
        if (carry != 0 && count < kMaxWords) {
            words[count++] = static_cast<uint32_t>(carry);
        }
        count = std::max(Significant(words, count), 1u);
    }
    SetWords(words, count);
}

std::string CBigNumber::ToText(uint32_t base) const {
    if (base < 2 || base > 16) {
        return {};
    }
    static constexpr char kDigits[] = "0123456789ABCDEF";
    uint32_t run = 1;
    uint64_t runPower = base;
    while (runPower * base <= kWordMask) {
        runPower *= base;
        ++run;
    }
    uint32_t words[kMaxWords];
    std::copy_n(m_words, kMaxWords, words);
    uint32_t count = m_count;
    std::string reversed;
    reversed.reserve(3200);
    while (count > 1 || words[0] != 0) {
        uint64_t rem = 0;
        for (uint32_t i = count; i-- > 0;) {
            const uint64_t cur = (rem << 32) | words[i];
            words[i] = static_cast<uint32_t>(cur / runPower);
            rem = cur % runPower;
        }
        count = std::max(Significant(words, count), 1u);
        const bool last = count == 1 && words[0] == 0;
        for (uint32_t k = 0; k < run && (!last || rem != 0); ++k) {
            reversed.push_back(kDigits[rem % base]);
            rem /= base;
        }
    }
    if (reversed.empty()) {
        return "0";
    }
    return {reversed.rbegin(), reversed.rend()};
}

CBigNumber CBigNumber::ModInverse(const CBigNumber& m) const {
    // Extended Euclid on magnitudes, signs kept apart: X and Y are the Bezout coefficients of
    // this for the remainders M and E (M = +-X * this mod m), so X ends with this * X = gcd.
    CBigNumber bigM = m;
    CBigNumber bigE = *this;
    CBigNumber x;
    CBigNumber y;
    y.SetValue(1);
    bool xNegative = false;
    bool yNegative = false;
    while (!bigE.IsZero()) {
        CBigNumber quotient;
        CBigNumber remainder;
        bigM.DivMod(bigE, &quotient, &remainder);
        bigM = bigE;
        bigE = remainder;
        const CBigNumber t = y;
        const bool tNegative = yNegative;
        y = y.Mul(quotient);
        if (xNegative == yNegative) {
            if (x.Compare(y) >= 0) {
                y = x.Sub(y);
            } else {
                y = y.Sub(x);
                yNegative = true;
            }
        } else {
            y = x.Add(y);
            yNegative = !yNegative;
        }
        x = t;
        xNegative = tNegative;
    }
    x = xNegative ? m.Sub(x) : x;
    // Only this = 1 with m = 1 leaves X = 1 = m; the inverse is then 0.
    return !m.IsZero() && x.Compare(m) >= 0 ? x.Mod(m) : x;
}

CBigNumber CBigNumber::ModPow(const CBigNumber& e, const CBigNumber& m) const {
    if (e.m_count == 1 && e.m_words[0] <= 1) {
        return *this;
    }
    CBigNumber result;
    if (m.IsZero()) {
        return result;
    }
    const CBigNumber base = Mod(m);
    const uint32_t bits = e.BitLength();
    uint32_t words[kMaxWords];
    if ((m.m_words[0] & 1u) != 0) {
        WithMontgomery(m.m_words, m.m_count, [&](const auto& mont) {
            typename std::remove_cvref_t<decltype(mont)>::Value b;
            typename std::remove_cvref_t<decltype(mont)>::Value x;
            mont.Enter(b, base.m_words, m.m_count);
            WindowPow(mont, x, b, e.m_words, bits);
            mont.LeaveWords(x, words);
        });
    } else {
        const CPlainModulus plain(m.m_words, m.m_count);
        PlainValue b;
        PlainValue x;
        std::copy_n(base.m_words, kMaxWords, b.word);
        WindowPow(plain, x, b, e.m_words, bits);
        std::copy_n(x.word, kMaxWords, words);
    }
    result.SetWords(words, kMaxWords);
    return result;
}

bool CBigNumber::GenerateProbablePrime(uint32_t words, CProgress* progress) {
    words = std::clamp(words, 1u, kMaxWords);
    CRandomWords source;
    // An incremental search from a random start (HAC 4.51): one sieve over the small primes
    // rejects most of the window's composites for the price of one trial division, and only the
    // survivors go to Miller-Rabin.
    uint32_t start[kMaxWords] = {};
    uint32_t candidate[kMaxWords] = {};
    uint16_t residues[kSmallPrimeCount];
    bool composite[kSieveSpan];
    for (;;) {
        if (!StepOrContinue(progress, 0, 0)) {
            return false;
        }
        for (uint32_t i = 0; i < words; ++i) {
            start[i] = source();
        }
        if (source.Failed()) {
            return false;
        }
        // The two top bits make a product of two such primes exactly 64 * words bits long.
        start[words - 1] |= 0xC0000000u;
        start[0] |= 1u;
        SmallPrimeResidues(residues, start, words);
        SieveWindow(composite, residues);
        for (uint32_t offset = 0; offset < kSieveSpan; ++offset) {
            if (composite[offset]) {
                continue;
            }
            if (!StepOrContinue(progress, 0, 0)) {
                return false;
            }
            // start + 2 * offset; a carry out of the top word would leave the size, so the
            // window ends there.
            uint64_t carry = 2 * static_cast<uint64_t>(offset);
            for (uint32_t i = 0; i < words; ++i) {
                const uint64_t sum = static_cast<uint64_t>(start[i]) + carry;
                candidate[i] = static_cast<uint32_t>(sum);
                carry = sum >> 32;
            }
            if (carry != 0) {
                break;
            }
            if (IsProbablePrime(candidate, words, source)) {
                SetWords(candidate, words);
                return true;
            }
            if (source.Failed()) {
                return false;
            }
        }
    }
}

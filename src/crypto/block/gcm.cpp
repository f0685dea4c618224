#include "crypto/block/gcm.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "crypto/block/cipher_modes.h"
#include "crypto/byte_order.h"
#include "crypto/cpu_features.h"

#if defined(__x86_64__)
#include <cpuid.h>
#include <immintrin.h>
#define KEYWRIGHT_GHASH_CLMUL 1
#else
#define KEYWRIGHT_GHASH_CLMUL 0
#endif

namespace {

using byte_order::LoadBe64;
using byte_order::StoreBe64;

using Block = std::array<uint8_t, 16>;

// Blocks hashed per reduction on the PCLMULQDQ path, and the powers of H kept for it.
constexpr size_t kAggregate = 8;
// Bytes encrypted, then hashed, per step: one keystream batch, small enough to stay in the cache.
constexpr size_t kStepBytes = 8192;

// The hash subkey and what GHASH needs of it. The portable path holds H as two big-endian
// halves; the PCLMULQDQ path holds H^1..H^8 byte-reversed, as the multiplier takes them.
struct GhashKey {
    uint64_t high = 0;
    uint64_t low = 0;
    bool clmul = false;
    alignas(16) std::array<Block, kAggregate> powers{};
};

// SP 800-38D 6.3, Algorithm 1: Z = X * H in GF(2^128) with the bit order of GCM (bit 0 the
// leftmost), R = 11100001 || 0^120. Masks instead of branches keep the time independent of the
// data and the key.
void PortableMultiply(const GhashKey& key, uint64_t& x_high, uint64_t& x_low) {
    uint64_t z_high = 0, z_low = 0;
    uint64_t v_high = key.high, v_low = key.low;
    for (int i = 0; i < 128; ++i) {
        const uint64_t word = i < 64 ? x_high : x_low;
        const uint64_t bit = 0 - ((word >> (63 - (i & 63))) & 1);
        z_high ^= v_high & bit;
        z_low ^= v_low & bit;
        const uint64_t reduce = 0 - (v_low & 1);
        v_low = (v_low >> 1) | (v_high << 63);
        v_high = (v_high >> 1) ^ (0xE100000000000000u & reduce);
    }
    x_high = z_high;
    x_low = z_low;
}

#if KEYWRIGHT_GHASH_CLMUL
#define GHASH_TARGET __attribute__((target("pclmul,ssse3")))

GHASH_TARGET inline __m128i ByteReverse(__m128i v) {
    return _mm_shuffle_epi8(v, _mm_set_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15));
}

GHASH_TARGET inline __m128i LoadReversed(const uint8_t* p) {
    return ByteReverse(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
}

// The 256-bit carry-less product of a and b, added into lo (bits 0..127), mid (the two cross
// products, bits 64..191) and hi (bits 128..255).
GHASH_TARGET inline void ClmulAdd(__m128i a, __m128i b, __m128i& lo, __m128i& mid, __m128i& hi) {
    lo = _mm_xor_si128(lo, _mm_clmulepi64_si128(a, b, 0x00));
    hi = _mm_xor_si128(hi, _mm_clmulepi64_si128(a, b, 0x11));
    mid = _mm_xor_si128(
        mid, _mm_xor_si128(_mm_clmulepi64_si128(a, b, 0x01), _mm_clmulepi64_si128(a, b, 0x10)));
}

// Reduce turns a sum of products of byte-reversed operands into their byte-reversed product in
// GF(2^128) (Gueron and Kounavis, "Intel Carry-Less Multiplication Instruction and its Usage for
// Computing the GCM Mode", algorithm 5): the reflected product is one bit short, so the 256 bits
// shift left by one, then fold modulo x^128 + x^7 + x^2 + x + 1. The reduction is linear, so one
// reduction serves a sum of several products.
GHASH_TARGET inline __m128i Reduce(__m128i lo, __m128i mid, __m128i hi) {
    lo = _mm_xor_si128(lo, _mm_slli_si128(mid, 8));
    hi = _mm_xor_si128(hi, _mm_srli_si128(mid, 8));

    __m128i carry_lo = _mm_srli_epi32(lo, 31);
    __m128i carry_hi = _mm_srli_epi32(hi, 31);
    lo = _mm_slli_epi32(lo, 1);
    hi = _mm_slli_epi32(hi, 1);
    const __m128i across = _mm_srli_si128(carry_lo, 12);
    carry_hi = _mm_slli_si128(carry_hi, 4);
    carry_lo = _mm_slli_si128(carry_lo, 4);
    lo = _mm_or_si128(lo, carry_lo);
    hi = _mm_or_si128(_mm_or_si128(hi, carry_hi), across);

    __m128i a = _mm_xor_si128(_mm_xor_si128(_mm_slli_epi32(lo, 31), _mm_slli_epi32(lo, 30)),
                              _mm_slli_epi32(lo, 25));
    const __m128i a_high = _mm_srli_si128(a, 4);
    a = _mm_slli_si128(a, 12);
    lo = _mm_xor_si128(lo, a);
    __m128i b = _mm_xor_si128(_mm_xor_si128(_mm_srli_epi32(lo, 1), _mm_srli_epi32(lo, 2)),
                              _mm_srli_epi32(lo, 7));
    b = _mm_xor_si128(b, a_high);
    return _mm_xor_si128(hi, _mm_xor_si128(lo, b));
}

GHASH_TARGET inline __m128i ClmulMultiply(__m128i a, __m128i b) {
    __m128i lo = _mm_setzero_si128(), mid = lo, hi = lo;
    ClmulAdd(a, b, lo, mid, hi);
    return Reduce(lo, mid, hi);
}

GHASH_TARGET void ClmulPowers(GhashKey& key, const uint8_t* h) {
    const __m128i h1 = LoadReversed(h);
    __m128i power = h1;
    for (size_t i = 0; i < kAggregate; ++i) {
        _mm_store_si128(reinterpret_cast<__m128i*>(key.powers[i].data()), power);
        power = ClmulMultiply(power, h1);
    }
}

// Y = (Y XOR X_1) H^8 XOR X_2 H^7 XOR .. XOR X_8 H per group of eight blocks (the same as eight
// steps of Y = (Y XOR X_i) H), then one block at a time.
GHASH_TARGET void ClmulBlocks(const GhashKey& key, uint8_t* y_bytes, const uint8_t* data,
                              size_t blocks) {
    __m128i h[kAggregate];
    for (size_t i = 0; i < kAggregate; ++i) {
        h[i] = _mm_load_si128(reinterpret_cast<const __m128i*>(key.powers[i].data()));
    }
    __m128i y = LoadReversed(y_bytes);
    size_t i = 0;
    for (; i + kAggregate <= blocks; i += kAggregate) {
        __m128i lo = _mm_setzero_si128(), mid = lo, hi = lo;
        ClmulAdd(_mm_xor_si128(y, LoadReversed(data + 16 * i)), h[kAggregate - 1], lo, mid, hi);
#pragma GCC unroll 8
        for (size_t j = 1; j < kAggregate; ++j) {
            ClmulAdd(LoadReversed(data + 16 * (i + j)), h[kAggregate - 1 - j], lo, mid, hi);
        }
        y = Reduce(lo, mid, hi);
    }
    for (; i < blocks; ++i) {
        y = ClmulMultiply(_mm_xor_si128(y, LoadReversed(data + 16 * i)), h[0]);
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(y_bytes), ByteReverse(y));
}

// PCLMULQDQ is used where the engines may use AES-NI (so KEYWRIGHT_PORTABLE=1 turns it off with
// the others) and cpuid leaf 1 reports PCLMULQDQ (ECX bit 1).
bool ClmulAvailable() {
    static const bool available = [] {
        unsigned a = 0, b = 0, c = 0, d = 0;
        return EngineCpuFeatures().aes && __get_cpuid(1, &a, &b, &c, &d) != 0 && (c >> 1 & 1) != 0;
    }();
    return available;
}
#endif

GhashKey MakeGhashKey(CBlockCipher& cipher) {
    // SP 800-38D 7.1 step 1: H = CIPH_K(0^128).
    GhashKey key;
    Block h{};
    cipher.EncryptBlock(h.data(), h.data());
    key.high = LoadBe64(h.data());
    key.low = LoadBe64(h.data() + 8);
#if KEYWRIGHT_GHASH_CLMUL
    if (ClmulAvailable()) {
        key.clmul = true;
        ClmulPowers(key, h.data());
    }
#endif
    return key;
}

// GhashBlocks folds whole 16-byte blocks of `data` into `y` (SP 800-38D 6.4): Y_i = (Y_{i-1}
// XOR X_i) * H.
void GhashBlocks(const GhashKey& key, Block& y, std::span<const uint8_t> data) {
    const size_t blocks = data.size() / 16;
#if KEYWRIGHT_GHASH_CLMUL
    if (key.clmul) {
        ClmulBlocks(key, y.data(), data.data(), blocks);
        return;
    }
#endif
    uint64_t high = LoadBe64(y.data()), low = LoadBe64(y.data() + 8);
    for (size_t i = 0; i < blocks; ++i) {
        high ^= LoadBe64(&data[16 * i]);
        low ^= LoadBe64(&data[16 * i + 8]);
        PortableMultiply(key, high, low);
    }
    StoreBe64(y.data(), high);
    StoreBe64(y.data() + 8, low);
}

// GhashPadded folds `data` followed by zero bytes up to a whole block (the 0^v and 0^u of
// SP 800-38D 7.1 step 5).
void GhashPadded(const GhashKey& key, Block& y, std::span<const uint8_t> data) {
    const size_t whole = data.size() / 16 * 16;
    GhashBlocks(key, y, data.first(whole));
    if (whole != data.size()) {
        Block last{};
        std::copy(data.begin() + static_cast<std::ptrdiff_t>(whole), data.end(), last.begin());
        GhashBlocks(key, y, last);
    }
}

// GhashLengths folds the block [len(A)]_64 || [len(C)]_64, lengths in bits.
void GhashLengths(const GhashKey& key, Block& y, uint64_t first_bytes, uint64_t second_bytes) {
    Block lengths;
    StoreBe64(lengths.data(), first_bytes * 8);
    StoreBe64(lengths.data() + 8, second_bytes * 8);
    GhashBlocks(key, y, lengths);
}

// PreCounterBlock gives J0 (SP 800-38D 7.1 step 2): IV || 0^31 || 1 for a 96-bit IV, otherwise
// GHASH(IV || 0^(s+64) || [len(IV)]_64).
Block PreCounterBlock(const GhashKey& key, std::span<const uint8_t> iv) {
    Block j0{};
    if (iv.size() == 12) {
        std::copy(iv.begin(), iv.end(), j0.begin());
        j0[15] = 0x01;
        return j0;
    }
    GhashPadded(key, j0, iv);
    GhashLengths(key, j0, 0, iv.size());
    return j0;
}

bool Acceptable(const CBlockCipher& cipher, size_t iv_bytes, size_t tag_bytes, size_t data_bytes) {
    // SP 800-38D 5.2.1.1: len(P) <= 2^39 - 256 bits.
    constexpr uint64_t kMaxData = (uint64_t{1} << 36) - 32;
    return cipher.BlockSize() == 16 && iv_bytes > 0 && tag_bytes >= kGcmMinTagBytes &&
           tag_bytes <= kGcmMaxTagBytes && data_bytes <= kMaxData;
}

// FullTag finishes the tag (SP 800-38D 7.1 steps 5-6): S = GHASH over A, C and their lengths,
// T = GCTR(J0, S) = E(J0) XOR S, here all 16 bytes.
Block FullTag(CBlockCipher& cipher, const GhashKey& key, const Block& j0, Block s,
              uint64_t aad_bytes, uint64_t data_bytes) {
    GhashLengths(key, s, aad_bytes, data_bytes);
    Block e;
    cipher.EncryptBlock(j0.data(), e.data());
    for (size_t i = 0; i < 16; ++i) {
        s[i] ^= e[i];
    }
    return s;
}

// FirstCounter gives inc32(J0), the first counter block of the plaintext (7.1 step 3).
Block FirstCounter(const Block& j0) {
    Block counter = j0;
    uint32_t low;
    std::memcpy(&low, &counter[12], 4);
    low = __builtin_bswap32(__builtin_bswap32(low) + 1);
    std::memcpy(&counter[12], &low, 4);
    return counter;
}

}  // namespace

bool GcmEncrypt(CBlockCipher& cipher, std::span<uint8_t> ciphertext, std::span<uint8_t> tag,
                std::span<const uint8_t> iv, std::span<const uint8_t> aad,
                std::span<const uint8_t> plaintext) {
    if (!Acceptable(cipher, iv.size(), tag.size(), plaintext.size()) ||
        ciphertext.size() != plaintext.size()) {
        return false;
    }
    const GhashKey key = MakeGhashKey(cipher);
    const Block j0 = PreCounterBlock(key, iv);
    Block counter = FirstCounter(j0);
    Block s{};
    GhashPadded(key, s, aad);
    // C = GCTR(inc32(J0), P), hashed a step at a time while it is still in the cache.
    for (size_t offset = 0; offset < plaintext.size(); offset += kStepBytes) {
        const size_t n = std::min(kStepBytes, plaintext.size() - offset);
        const std::span<uint8_t> out = ciphertext.subspan(offset, n);
        if (!CtrXor(cipher, counter, CounterIncrement::kLow32Bits, out,
                    plaintext.subspan(offset, n))) {
            return false;
        }
        GhashPadded(key, s, out);
    }
    const Block full = FullTag(cipher, key, j0, s, aad.size(), plaintext.size());
    std::copy_n(full.begin(), tag.size(), tag.begin());
    return true;
}

bool GcmDecrypt(CBlockCipher& cipher, std::span<uint8_t> plaintext, std::span<const uint8_t> iv,
                std::span<const uint8_t> aad, std::span<const uint8_t> ciphertext,
                std::span<const uint8_t> tag) {
    if (!Acceptable(cipher, iv.size(), tag.size(), ciphertext.size()) ||
        plaintext.size() != ciphertext.size()) {
        return false;
    }
    // SP 800-38D 7.2: the tag is computed over A and C and compared before any plaintext is
    // released.
    const GhashKey key = MakeGhashKey(cipher);
    const Block j0 = PreCounterBlock(key, iv);
    Block s{};
    GhashPadded(key, s, aad);
    GhashPadded(key, s, ciphertext);
    const Block full = FullTag(cipher, key, j0, s, aad.size(), ciphertext.size());
    uint8_t difference = 0;
    for (size_t i = 0; i < tag.size(); ++i) {
        difference |= static_cast<uint8_t>(full[i] ^ tag[i]);
    }
    if (difference != 0) {
        return false;
    }
    Block counter = FirstCounter(j0);
    return CtrXor(cipher, counter, CounterIncrement::kLow32Bits, plaintext, ciphertext);
}

bool Gmac(CBlockCipher& cipher, std::span<uint8_t> tag, std::span<const uint8_t> iv,
          std::span<const uint8_t> aad) {
    return GcmEncrypt(cipher, {}, tag, iv, aad, {});
}

#include "crypto/block/sm4.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstring>
#include <limits>

#include "crypto/byte_order.h"
#include "crypto/cpu_features.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define KEYWRIGHT_SM4_GFNI 1
#endif

namespace {

// The S-box of GB/T 32907's non-linear transformation tau: row = high nibble, column = low nibble.
// clang-format off
constexpr uint8_t kSBox[256] = {
    0xD6, 0x90, 0xE9, 0xFE, 0xCC, 0xE1, 0x3D, 0xB7, 0x16, 0xB6, 0x14, 0xC2, 0x28, 0xFB, 0x2C, 0x05,
    0x2B, 0x67, 0x9A, 0x76, 0x2A, 0xBE, 0x04, 0xC3, 0xAA, 0x44, 0x13, 0x26, 0x49, 0x86, 0x06, 0x99,
    0x9C, 0x42, 0x50, 0xF4, 0x91, 0xEF, 0x98, 0x7A, 0x33, 0x54, 0x0B, 0x43, 0xED, 0xCF, 0xAC, 0x62,
    0xE4, 0xB3, 0x1C, 0xA9, 0xC9, 0x08, 0xE8, 0x95, 0x80, 0xDF, 0x94, 0xFA, 0x75, 0x8F, 0x3F, 0xA6,
    0x47, 0x07, 0xA7, 0xFC, 0xF3, 0x73, 0x17, 0xBA, 0x83, 0x59, 0x3C, 0x19, 0xE6, 0x85, 0x4F, 0xA8,
    0x68, 0x6B, 0x81, 0xB2, 0x71, 0x64, 0xDA, 0x8B, 0xF8, 0xEB, 0x0F, 0x4B, 0x70, 0x56, 0x9D, 0x35,
    0x1E, 0x24, 0x0E, 0x5E, 0x63, 0x58, 0xD1, 0xA2, 0x25, 0x22, 0x7C, 0x3B, 0x01, 0x21, 0x78, 0x87,
    0xD4, 0x00, 0x46, 0x57, 0x9F, 0xD3, 0x27, 0x52, 0x4C, 0x36, 0x02, 0xE7, 0xA0, 0xC4, 0xC8, 0x9E,
    0xEA, 0xBF, 0x8A, 0xD2, 0x40, 0xC7, 0x38, 0xB5, 0xA3, 0xF7, 0xF2, 0xCE, 0xF9, 0x61, 0x15, 0xA1,
    0xE0, 0xAE, 0x5D, 0xA4, 0x9B, 0x34, 0x1A, 0x55, 0xAD, 0x93, 0x32, 0x30, 0xF5, 0x8C, 0xB1, 0xE3,
    0x1D, 0xF6, 0xE2, 0x2E, 0x82, 0x66, 0xCA, 0x60, 0xC0, 0x29, 0x23, 0xAB, 0x0D, 0x53, 0x4E, 0x6F,
    0xD5, 0xDB, 0x37, 0x45, 0xDE, 0xFD, 0x8E, 0x2F, 0x03, 0xFF, 0x6A, 0x72, 0x6D, 0x6C, 0x5B, 0x51,
    0x8D, 0x1B, 0xAF, 0x92, 0xBB, 0xDD, 0xBC, 0x7F, 0x11, 0xD9, 0x5C, 0x41, 0x1F, 0x10, 0x5A, 0xD8,
    0x0A, 0xC1, 0x31, 0x88, 0xA5, 0xCD, 0x7B, 0xBD, 0x2D, 0x74, 0xD0, 0x12, 0xB8, 0xE5, 0xB4, 0xB0,
    0x89, 0x69, 0x97, 0x4A, 0x0C, 0x96, 0x77, 0x7E, 0x65, 0xB9, 0xF1, 0x09, 0xC5, 0x6E, 0xC6, 0x84,
    0x18, 0xF0, 0x7D, 0xEC, 0x3A, 0xDC, 0x4D, 0x20, 0x79, 0xEE, 0x5F, 0x3E, 0xD7, 0xCB, 0x39, 0x48,
};
// clang-format on

constexpr bool IsPermutation(const uint8_t (&box)[256]) {
    bool seen[256] = {};
    for (const uint8_t b : box) {
        if (seen[b]) {
            return false;
        }
        seen[b] = true;
    }
    return true;
}
static_assert(IsPermutation(kSBox), "the S-box must be a permutation of the bytes");

// GB/T 32907, key expansion: the system parameter FK.
constexpr uint32_t kFk[4] = {0xA3B1BAC6, 0x56AA3350, 0x677D9197, 0xB27022DC};

// GB/T 32907, key expansion: the fixed parameter CK, byte j of CK[i] being (4i + j) * 7 mod 256.
constexpr std::array<uint32_t, 32> MakeCk() {
    std::array<uint32_t, 32> ck{};
    for (uint32_t i = 0; i < 32; ++i) {
        for (uint32_t j = 0; j < 4; ++j) {
            ck[i] = (ck[i] << 8) | (((4 * i + j) * 7) & 0xFF);
        }
    }
    return ck;
}
constexpr std::array<uint32_t, 32> kCk = MakeCk();
static_assert(kCk[0] == 0x00070E15 && kCk[31] == 0x646B7279);

// GB/T 32907, non-linear transformation tau: the S-box on each byte.
constexpr uint32_t Tau(uint32_t a) {
    return uint32_t{kSBox[a >> 24]} << 24 | uint32_t{kSBox[(a >> 16) & 0xFF]} << 16 |
           uint32_t{kSBox[(a >> 8) & 0xFF]} << 8 | uint32_t{kSBox[a & 0xFF]};
}

// GB/T 32907, linear transformation L of the round function.
constexpr uint32_t L(uint32_t b) {
    return b ^ std::rotl(b, 2) ^ std::rotl(b, 10) ^ std::rotl(b, 18) ^ std::rotl(b, 24);
}

// L is linear, so T(a) = L(tau(a)) is the XOR of L applied to each S-box output byte in its
// place: kT[k][x] = L(S(x) << (24 - 8k)), four lookups per round instead of four S-box lookups
// and the rotations.
using TTables = std::array<std::array<uint32_t, 256>, 4>;

constexpr TTables MakeTTables() {
    TTables tables{};
    for (int k = 0; k < 4; ++k) {
        for (int x = 0; x < 256; ++x) {
            tables[k][x] = L(uint32_t{kSBox[x]} << (24 - 8 * k));
        }
    }
    return tables;
}
constexpr TTables kT = MakeTTables();

// T = L(tau(.)) of the rounds.
inline uint32_t T(uint32_t a) {
    return kT[0][a >> 24] ^ kT[1][(a >> 16) & 0xFF] ^ kT[2][(a >> 8) & 0xFF] ^ kT[3][a & 0xFF];
}
static_assert(L(Tau(0x01234567)) == (kT[0][0x01] ^ kT[1][0x23] ^ kT[2][0x45] ^ kT[3][0x67]));

// GB/T 32907, key expansion: T' = L'(tau(.)).
constexpr uint32_t TPrime(uint32_t a) {
    const uint32_t b = Tau(a);
    return b ^ std::rotl(b, 13) ^ std::rotl(b, 23);
}

struct Words {
    uint32_t x[4];
};

Words Load(const uint8_t* bytes) {
    Words w;
    for (int i = 0; i < 4; ++i) {
        w.x[i] = byte_order::LoadBe32(bytes + 4 * i);
    }
    return w;
}

void Store(const Words& w, uint8_t* bytes) {
    for (int i = 0; i < 4; ++i) {
        byte_order::StoreBe32(bytes + 4 * i, w.x[i]);
    }
}

// GB/T 32907, encryption algorithm: X[i+4] = X[i] ^ T(X[i+1] ^ X[i+2] ^ X[i+3] ^ rk[i]), output the
// reverse R(X32, X33, X34, X35) = (X35, X34, X33, X32). The four words rotate through x0..x3.
inline Words Transform(const Sm4RoundKeys& rk, Words in) {
    uint32_t x0 = in.x[0], x1 = in.x[1], x2 = in.x[2], x3 = in.x[3];
    for (int i = 0; i < 32; i += 4) {
        x0 ^= T(x1 ^ x2 ^ x3 ^ rk[i]);
        x1 ^= T(x2 ^ x3 ^ x0 ^ rk[i + 1]);
        x2 ^= T(x3 ^ x0 ^ x1 ^ rk[i + 2]);
        x3 ^= T(x0 ^ x1 ^ x2 ^ rk[i + 3]);
    }
    return Words{{x3, x2, x1, x0}};
}

Words Xor(const Words& a, const Words& b) {
    return Words{{a.x[0] ^ b.x[0], a.x[1] ^ b.x[1], a.x[2] ^ b.x[2], a.x[3] ^ b.x[3]}};
}

// CbcBlock chains one block from `in` to `out` (which may be `in`) and gives the next chaining
// value: encrypt out = E(in ^ v), next v = out; decrypt out = D(in) ^ v, next v = in.
Words CbcBlock(const Sm4RoundKeys& rk, bool encrypt, const Words& v, const uint8_t* in,
               uint8_t* out) {
    const Words block = Load(in);
    if (encrypt) {
        const Words cipher = Transform(rk, Xor(block, v));
        Store(cipher, out);
        return cipher;
    }
    Store(Xor(Transform(rk, block), v), out);
    return block;
}

// Blocks that go through the many-blocks path together.
constexpr size_t kLanes = 8;
constexpr size_t kLaneBytes = 16 * kLanes;
// Groups of kLanes blocks interleaved, and the bytes Sm4Crypt hands over at a time.
constexpr int kGroupsTogether = 4;
constexpr size_t kChunkBytes = kGroupsTogether * kLaneBytes;

#if KEYWRIGHT_SM4_GFNI
// Eight blocks side by side through AVX2 and GFNI: word k of the eight blocks shares one
// register, so every round is a handful of vector instructions for all of them. Only called when
// cpuid reports both; the target keeps the rest of the build on its own flags.
#define SM4_GFNI_TARGET __attribute__((target("avx2,gfni")))

// The S-box is affine-equivalent to inversion in GF(2^8): S(x) = A I(A x + D3) + D3, A circulant,
// I the inverse modulo x^8 + x^7 + x^6 + x^5 + x^4 + x^2 + 1. Carrying the inversion into the AES
// field (x^8 + x^4 + x^3 + x + 1, where GF2P8AFFINEINVQB inverts) by the isomorphism that maps x
// to 0x23 folds into the two affine maps: first M A with M D3 = 3E, then A M^-1 with D3. The
// matrices are GF2P8AFFINEQB's: row i of the bit matrix in byte 7 - i.
constexpr int64_t kSBoxInMatrix = 0x4C287DB91A22505D;
constexpr int kSBoxInConstant = 0x3E;
constexpr int64_t kSBoxOutMatrix = static_cast<int64_t>(0xF3AB34A974A6B589);
constexpr int kSBoxOutConstant = 0xD3;

SM4_GFNI_TARGET inline __m256i ByteShuffle(char b0, char b1, char b2, char b3) {
    const __m128i lane = _mm_setr_epi8(
        b0, b1, b2, b3, static_cast<char>(b0 + 4), static_cast<char>(b1 + 4),
        static_cast<char>(b2 + 4), static_cast<char>(b3 + 4), static_cast<char>(b0 + 8),
        static_cast<char>(b1 + 8), static_cast<char>(b2 + 8), static_cast<char>(b3 + 8),
        static_cast<char>(b0 + 12), static_cast<char>(b1 + 12), static_cast<char>(b2 + 12),
        static_cast<char>(b3 + 12));
    return _mm256_broadcastsi128_si256(lane);
}

struct GfniConstants {
    __m256i byte_swap, rotl8, rotl16, rotl24, sbox_in, sbox_out;
};

SM4_GFNI_TARGET inline GfniConstants MakeGfniConstants() {
    // Bytes of a little-endian lane word, low first: rotating left by 8 brings byte 3 to byte 0.
    return {ByteShuffle(3, 2, 1, 0),           ByteShuffle(3, 0, 1, 2),
            ByteShuffle(2, 3, 0, 1),           ByteShuffle(1, 2, 3, 0),
            _mm256_set1_epi64x(kSBoxInMatrix), _mm256_set1_epi64x(kSBoxOutMatrix)};
}

// T = L(tau(a)) on eight words; L(b) = b ^ (b <<< 24) ^ ((b ^ (b <<< 8) ^ (b <<< 16)) <<< 2).
SM4_GFNI_TARGET inline __m256i T8(const GfniConstants& c, __m256i a) {
    a = _mm256_gf2p8affine_epi64_epi8(a, c.sbox_in, kSBoxInConstant);
    const __m256i b = _mm256_gf2p8affineinv_epi64_epi8(a, c.sbox_out, kSBoxOutConstant);
    const __m256i u = _mm256_xor_si256(
        b, _mm256_xor_si256(_mm256_shuffle_epi8(b, c.rotl8), _mm256_shuffle_epi8(b, c.rotl16)));
    const __m256i u2 = _mm256_or_si256(_mm256_slli_epi32(u, 2), _mm256_srli_epi32(u, 30));
    return _mm256_xor_si256(_mm256_xor_si256(b, _mm256_shuffle_epi8(b, c.rotl24)), u2);
}

// Word k of four 128-bit lanes into register k and back (a 4 x 4 transposition in each half).
SM4_GFNI_TARGET inline void Transpose(__m256i& r0, __m256i& r1, __m256i& r2, __m256i& r3) {
    const __m256i t0 = _mm256_unpacklo_epi32(r0, r1), t1 = _mm256_unpackhi_epi32(r0, r1);
    const __m256i t2 = _mm256_unpacklo_epi32(r2, r3), t3 = _mm256_unpackhi_epi32(r2, r3);
    r0 = _mm256_unpacklo_epi64(t0, t2);
    r1 = _mm256_unpackhi_epi64(t0, t2);
    r2 = _mm256_unpacklo_epi64(t1, t3);
    r3 = _mm256_unpackhi_epi64(t1, t3);
}

SM4_GFNI_TARGET inline __m256i RoundKey8(const Sm4RoundKeys& rk, int i) {
    return _mm256_set1_epi32(static_cast<int>(rk[i]));
}

// The encryption algorithm (GB/T 32907) on G groups of kLanes consecutive blocks of `in` into
// `out`; all of `in` is read before `out` is written, so they may be the same. A round waits for
// the one before it, so several groups are interleaved to keep the vector units busy.
template <int G>
SM4_GFNI_TARGET void TransformGroups(const Sm4RoundKeys& rk, const uint8_t* in, uint8_t* out) {
    const GfniConstants c = MakeGfniConstants();
    __m256i x[G][4];
    for (int g = 0; g < G; ++g) {
        for (int i = 0; i < 4; ++i) {
            x[g][i] = _mm256_shuffle_epi8(
                _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + kLaneBytes * g + 32 * i)),
                c.byte_swap);
        }
        Transpose(x[g][0], x[g][1], x[g][2], x[g][3]);
    }
    for (int i = 0; i < 32; i += 4) {
#pragma GCC unroll 4
        for (int j = 0; j < 4; ++j) {
            const __m256i k = RoundKey8(rk, i + j);
#pragma GCC unroll 4
            for (int g = 0; g < G; ++g) {
                __m256i* w = x[g];
                w[j] = _mm256_xor_si256(
                    w[j], T8(c, _mm256_xor_si256(_mm256_xor_si256(w[(j + 1) % 4], w[(j + 2) % 4]),
                                                 _mm256_xor_si256(w[(j + 3) % 4], k))));
            }
        }
    }
    for (int g = 0; g < G; ++g) {
        // R(X32, X33, X34, X35) = (X35, X34, X33, X32).
        Transpose(x[g][3], x[g][2], x[g][1], x[g][0]);
        for (int i = 0; i < 4; ++i) {
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + kLaneBytes * g + 32 * i),
                                _mm256_shuffle_epi8(x[g][3 - i], c.byte_swap));
        }
    }
}

// Transform runs whole groups of kLanes blocks, as many groups together as it can.
SM4_GFNI_TARGET void TransformMany(const Sm4RoundKeys& rk, const uint8_t* in, uint8_t* out,
                                   size_t groups) {
    for (; groups >= kGroupsTogether; groups -= kGroupsTogether) {
        TransformGroups<kGroupsTogether>(rk, in, out);
        in += kGroupsTogether * kLaneBytes;
        out += kGroupsTogether * kLaneBytes;
    }
    for (; groups > 0; --groups) {
        TransformGroups<1>(rk, in, out);
        in += kLaneBytes;
        out += kLaneBytes;
    }
}
#endif

bool ManyBlocksAtOnce() {
#if KEYWRIGHT_SM4_GFNI
    return EngineCpuFeatures().avx2_gfni;
#else
    return false;
#endif
}

// EcbMany transforms the leading whole groups of kLanes blocks of `in` into `out` (which may be
// `in`) when the processor allows, and gives the number of bytes done; the caller does the rest.
size_t EcbMany(const Sm4RoundKeys& rk, const uint8_t* in, uint8_t* out, size_t length) {
#if KEYWRIGHT_SM4_GFNI
    if (ManyBlocksAtOnce()) {
        TransformMany(rk, in, out, length / kLaneBytes);
        return length / kLaneBytes * kLaneBytes;
    }
#else
    (void)rk, (void)in, (void)out, (void)length;
#endif
    return 0;
}

// CbcDecryptMany decrypts the leading whole groups of kLanes blocks of `in` into `out` (which may
// be `in`) when the processor allows: P[i] = D(C[i]) ^ C[i-1], the blocks independent once C is
// known. Updates `v` to the last ciphertext block and gives the number of bytes done.
size_t CbcDecryptMany(const Sm4RoundKeys& rk, Words& v, const uint8_t* in, uint8_t* out,
                      size_t length) {
    size_t offset = 0;
#if KEYWRIGHT_SM4_GFNI
    if (ManyBlocksAtOnce()) {
        while (offset + kLaneBytes <= length) {
            const size_t bytes = std::min(kChunkBytes, (length - offset) / kLaneBytes * kLaneBytes);
            uint8_t cipher[16 + kChunkBytes];
            Store(v, cipher);
            std::memcpy(cipher + 16, in + offset, bytes);
            TransformMany(rk, cipher + 16, out + offset, bytes / kLaneBytes);
            for (size_t k = 0; k < bytes; ++k) {
                out[offset + k] ^= cipher[k];
            }
            v = Load(cipher + bytes);
            offset += bytes;
        }
    }
#else
    (void)rk, (void)v, (void)in, (void)out, (void)length;
#endif
    return offset;
}

bool WholeBlocks(size_t length) {
    return length != 0 && length % 16 == 0;
}

// How many block transforms pass between two looks at the progress object: under a millisecond.
constexpr uint64_t kStepEvery = 4096;

}  // namespace

void Sm4SetEncryptKey(Sm4Context& context, std::span<const uint8_t, 16> key) {
    const Words mk = Load(key.data());
    uint32_t k[4];
    for (int i = 0; i < 4; ++i) {
        k[i] = mk.x[i] ^ kFk[i];
    }
    // rk[i] = K[i+4] = K[i] ^ T'(K[i+1] ^ K[i+2] ^ K[i+3] ^ CK[i]), K rotating through k[0..3].
    for (int i = 0; i < 32; ++i) {
        k[i % 4] ^= TPrime(k[(i + 1) % 4] ^ k[(i + 2) % 4] ^ k[(i + 3) % 4] ^ kCk[i]);
        context.rk[i] = k[i % 4];
    }
    context.encrypt = 1;
}

void Sm4SetDecryptKey(Sm4Context& context, std::span<const uint8_t, 16> key) {
    Sm4SetEncryptKey(context, key);
    std::reverse(context.rk.begin(), context.rk.end());
    context.encrypt = 0;
}

void Sm4CryptBlock(const Sm4RoundKeys& rk, std::span<const uint8_t, 16> in,
                   std::span<uint8_t, 16> out) {
    Store(Transform(rk, Load(in.data())), out.data());
}

bool Sm4CryptEcb(const Sm4Context& context, std::span<const uint8_t> in, std::span<uint8_t> out) {
    if (!WholeBlocks(in.size()) || out.size() != in.size()) {
        return false;
    }
    for (size_t offset = EcbMany(context.rk, in.data(), out.data(), in.size()); offset < in.size();
         offset += 16) {
        Store(Transform(context.rk, Load(&in[offset])), &out[offset]);
    }
    return true;
}

bool Sm4CryptCbc(const Sm4Context& context, bool encrypt, std::span<uint8_t, 16> chain,
                 std::span<const uint8_t> in, std::span<uint8_t> out) {
    if (!WholeBlocks(in.size()) || out.size() != in.size()) {
        return false;
    }
    Words v = Load(chain.data());
    const size_t done =
        encrypt ? 0 : CbcDecryptMany(context.rk, v, in.data(), out.data(), in.size());
    for (size_t offset = done; offset < in.size(); offset += 16) {
        v = CbcBlock(context.rk, encrypt, v, &in[offset], &out[offset]);
    }
    Store(v, chain.data());
    return true;
}

bool Sm4Crypt(std::span<const uint8_t, 16> key, bool encrypt, bool cbc, uint64_t repeat,
              std::span<uint8_t> data, std::span<uint8_t, 16> chain, CProgress* progress) {
    if (!WholeBlocks(data.size())) {
        return false;
    }
    Sm4Context context;
    encrypt ? Sm4SetEncryptKey(context, key) : Sm4SetDecryptKey(context, key);
    const Sm4RoundKeys& rk = context.rk;

    const uint64_t passes = std::max<uint64_t>(repeat, 1);
    const uint64_t blocks = data.size() / 16;
    // A total that does not fit is reported as unknown (0).
    const uint64_t total =
        passes > std::numeric_limits<uint64_t>::max() / blocks ? 0 : passes * blocks;
    uint64_t done = 0;
    // Counts `n` more transforms and looks at the progress object each time the count passes a
    // multiple of kStepEvery.
    auto go_on = [&](uint64_t n) {
        const uint64_t before = done;
        done += n;
        return before / kStepEvery == done / kStepEvery || StepOrContinue(progress, done, total);
    };
    // Whole groups of blocks that go through the processor side by side.
    const size_t group_bytes = ManyBlocksAtOnce() ? data.size() / kLaneBytes * kLaneBytes : 0;

    if (!cbc) {
        // ECB blocks are independent: take each group through all its passes while it sits in
        // the cache, each single block while it sits in registers.
        for (size_t offset = 0; offset < group_bytes; offset += kChunkBytes) {
            const size_t bytes = std::min(kChunkBytes, group_bytes - offset);
            for (uint64_t pass = 0; pass < passes; ++pass) {
                (void)EcbMany(rk, &data[offset], &data[offset], bytes);
                if (!go_on(bytes / 16)) {
                    return false;
                }
            }
        }
        for (size_t offset = group_bytes; offset < data.size(); offset += 16) {
            Words x = Load(&data[offset]);
            for (uint64_t pass = 0; pass < passes; ++pass) {
                x = Transform(rk, x);
                if (!go_on(1)) {
                    Store(x, &data[offset]);
                    return false;
                }
            }
            Store(x, &data[offset]);
        }
    } else {
        Words v = Load(chain.data());
        for (uint64_t pass = 0; pass < passes; ++pass) {
            size_t offset = 0;
            while (!encrypt && offset < group_bytes) {
                const size_t bytes = std::min(kChunkBytes, group_bytes - offset);
                (void)CbcDecryptMany(rk, v, &data[offset], &data[offset], bytes);
                offset += bytes;
                if (!go_on(bytes / 16)) {
                    Store(v, chain.data());
                    return false;
                }
            }
            for (; offset < data.size(); offset += 16) {
                v = CbcBlock(rk, encrypt, v, &data[offset], &data[offset]);
                if (!go_on(1)) {
                    Store(v, chain.data());
                    return false;
                }
            }
        }
        Store(v, chain.data());
    }
    StepOrContinue(progress, done, total);
    return true;
}

bool Sm4CbcMac(std::span<const uint8_t, 16> key, std::span<uint8_t, 16> chain,
               std::span<const uint8_t> data) {
    if (!WholeBlocks(data.size())) {
        return false;
    }
    Sm4Context context;
    Sm4SetEncryptKey(context, key);
    Words v = Load(chain.data());
    for (size_t offset = 0; offset < data.size(); offset += 16) {
        v = Transform(context.rk, Xor(Load(&data[offset]), v));
    }
    Store(v, chain.data());
    return true;
}

#include "crypto/block/aes.h"

#include <algorithm>
#include <cstddef>

#include "crypto/cpu_features.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define KEYWRIGHT_AES_NI 1
#endif

namespace {

// Multiplication in GF(2^8) modulo x^8 + x^4 + x^3 + x + 1 (FIPS 197 4.2).
constexpr uint8_t XTime(uint8_t a) {
    return static_cast<uint8_t>((a << 1) ^ ((a & 0x80) != 0 ? 0x1B : 0x00));
}

constexpr uint8_t GfMul(uint8_t a, uint8_t b) {
    uint8_t product = 0;
    for (; b != 0; b >>= 1) {
        if ((b & 1) != 0) {
            product ^= a;
        }
        a = XTime(a);
    }
    return product;
}

constexpr uint8_t RotateLeft8(uint8_t b, int n) {
    return static_cast<uint8_t>((b << n) | (b >> (8 - n)));
}

using ByteTable = std::array<uint8_t, 256>;

// FIPS 197 5.1.1: the S-box is the multiplicative inverse (0 maps to 0) followed by the affine
// transformation b ^ (b <<< 1) ^ (b <<< 2) ^ (b <<< 3) ^ (b <<< 4) ^ 0x63.
constexpr ByteTable MakeSBox() {
    // {03} generates the multiplicative group: with x = {03}^k, the inverse of x is {03}^(255-k).
    // Walking the powers once keeps the table cheap for every compiler's constant evaluation.
    ByteTable power{};
    ByteTable log{};
    uint8_t p = 1;
    for (int k = 0; k < 255; ++k) {
        power[k] = p;
        log[p] = static_cast<uint8_t>(k);
        p = static_cast<uint8_t>(p ^ XTime(p));
    }
    ByteTable box{};
    for (int x = 0; x < 256; ++x) {
        const uint8_t inverse = x == 0 ? 0 : power[(255 - log[x]) % 255];
        box[x] = static_cast<uint8_t>(inverse ^ RotateLeft8(inverse, 1) ^ RotateLeft8(inverse, 2) ^
                                      RotateLeft8(inverse, 3) ^ RotateLeft8(inverse, 4) ^ 0x63);
    }
    return box;
}

constexpr ByteTable MakeInverse(const ByteTable& box) {
    ByteTable inverse{};
    for (int x = 0; x < 256; ++x) {
        inverse[box[x]] = static_cast<uint8_t>(x);
    }
    return inverse;
}

constexpr ByteTable kSBox = MakeSBox();
constexpr ByteTable kInvSBox = MakeInverse(kSBox);
// Entries of FIPS 197 Figure 7, including the worked example S(53) = ED.
static_assert(kSBox[0x00] == 0x63 && kSBox[0x53] == 0xED && kSBox[0xFF] == 0x16);
static_assert(kInvSBox[0x63] == 0x00 && kInvSBox[0xED] == 0x53);

// The portable rounds by tables (FIPS 197 5.1.1-5.1.3 folded together): a column is one 32-bit
// word, row r in bits 8r..8r+7. kEnc[r][x] is the MixColumns column that S(x) in row r gives, the
// column {02, 01, 01, 03} * S(x) rotated down r rows.
using WordTables = std::array<std::array<uint32_t, 256>, 4>;

constexpr uint32_t Column(uint8_t r0, uint8_t r1, uint8_t r2, uint8_t r3) {
    return uint32_t{r0} | uint32_t{r1} << 8 | uint32_t{r2} << 16 | uint32_t{r3} << 24;
}

constexpr WordTables MakeRoundTables(const ByteTable& box, const std::array<uint8_t, 4>& factors) {
    WordTables tables{};
    for (int x = 0; x < 256; ++x) {
        const uint8_t s = box[x];
        const uint32_t column = Column(GfMul(s, factors[0]), GfMul(s, factors[1]),
                                       GfMul(s, factors[2]), GfMul(s, factors[3]));
        for (int r = 0; r < 4; ++r) {
            tables[r][x] = r == 0 ? column : (column << (8 * r)) | (column >> (32 - 8 * r));
        }
    }
    return tables;
}

constexpr WordTables kEnc = MakeRoundTables(kSBox, {0x02, 0x01, 0x01, 0x03});

inline uint32_t LoadColumn(const uint8_t* p) {
    return Column(p[0], p[1], p[2], p[3]);
}

inline void StoreColumn(uint8_t* p, uint32_t w) {
    for (int r = 0; r < 4; ++r) {
        p[r] = static_cast<uint8_t>(w >> (8 * r));
    }
}

inline uint8_t Row(uint32_t column, int r) {
    return static_cast<uint8_t>(column >> (8 * r));
}

// The Cipher of FIPS 197 5.1 by tables: ShiftRows takes row r of column c from column c + r.
void TableRounds(const uint8_t* w, int nr, const uint8_t* in, uint8_t* out) {
    const WordTables& t = kEnc;
    const ByteTable& box = kSBox;
    constexpr int kStep = 1;
    uint32_t s[4];
    for (int c = 0; c < 4; ++c) {
        s[c] = LoadColumn(in + 4 * c) ^ LoadColumn(w + 4 * c);
    }
    for (int round = 1; round < nr; ++round) {
        w += 16;
        uint32_t n[4];
        for (int c = 0; c < 4; ++c) {
            n[c] = t[0][Row(s[c], 0)] ^ t[1][Row(s[(c + kStep) % 4], 1)] ^
                   t[2][Row(s[(c + 2 * kStep) % 4], 2)] ^ t[3][Row(s[(c + 3 * kStep) % 4], 3)] ^
                   LoadColumn(w + 4 * c);
        }
        std::copy_n(n, 4, s);
    }
    w += 16;
    for (int c = 0; c < 4; ++c) {
        StoreColumn(out + 4 * c, Column(box[Row(s[c], 0)], box[Row(s[(c + kStep) % 4], 1)],
                                        box[Row(s[(c + 2 * kStep) % 4], 2)],
                                        box[Row(s[(c + 3 * kStep) % 4], 3)]) ^
                                     LoadColumn(w + 4 * c));
    }
}

// kInvMix[r][x] is the InvMixColumns column {0e, 09, 0d, 0b} * x rotated down r rows.
constexpr ByteTable MakeIdentity() {
    ByteTable identity{};
    for (int x = 0; x < 256; ++x) {
        identity[x] = static_cast<uint8_t>(x);
    }
    return identity;
}
constexpr WordTables kInvMix = MakeRoundTables(MakeIdentity(), {0x0E, 0x09, 0x0D, 0x0B});

// The Inverse Cipher of FIPS 197 5.3 in its own order, with the cipher's schedule `w`:
// AddRoundKey(Nr), then Nr - 1 rounds of InvShiftRows, InvSubBytes, AddRoundKey, InvMixColumns
// (by tables), then InvShiftRows, InvSubBytes, AddRoundKey(0).
void InverseCipherRounds(const uint8_t* w, int nr, const uint8_t* in, uint8_t* out) {
    uint32_t s[4];
    for (int c = 0; c < 4; ++c) {
        s[c] = LoadColumn(in + 4 * c) ^ LoadColumn(w + 16 * nr + 4 * c);
    }
    // InvShiftRows takes row r of column c from column c - r; InvSubBytes follows.
    const auto shifted_substituted = [&s](int c) {
        return Column(kInvSBox[Row(s[c], 0)], kInvSBox[Row(s[(c + 3) % 4], 1)],
                      kInvSBox[Row(s[(c + 2) % 4], 2)], kInvSBox[Row(s[(c + 1) % 4], 3)]);
    };
    for (int round = nr - 1; round >= 1; --round) {
        uint32_t n[4];
        for (int c = 0; c < 4; ++c) {
            const uint32_t t = shifted_substituted(c) ^ LoadColumn(w + 16 * round + 4 * c);
            n[c] = kInvMix[0][Row(t, 0)] ^ kInvMix[1][Row(t, 1)] ^ kInvMix[2][Row(t, 2)] ^
                   kInvMix[3][Row(t, 3)];
        }
        std::copy_n(n, 4, s);
    }
    for (int c = 0; c < 4; ++c) {
        StoreColumn(out + 4 * c, shifted_substituted(c) ^ LoadColumn(w + 4 * c));
    }
}

#if KEYWRIGHT_AES_NI
// The AES-NI path: the same cipher, one AESENC/AESDEC per round. The functions carry their own
// target so that the rest of the build keeps its flags; they only run when cpuid reports AES-NI.
#define AES_NI_TARGET __attribute__((target("aes,sse4.1")))

// Blocks in flight at once: AESENC has a latency of several cycles but starts every cycle, so
// independent blocks (ECB, CBC decryption) are interleaved.
constexpr size_t kLanes = 8;

AES_NI_TARGET inline __m128i LoadBlock(const uint8_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

AES_NI_TARGET inline void StoreBlock(uint8_t* p, __m128i v) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
}

// Nr + 1 round keys, first to last in the order they are applied.
struct NiSchedule {
    __m128i k[15];
    int nr;
};

AES_NI_TARGET NiSchedule LoadSchedule(const std::array<uint8_t, 240>& keys, int nr) {
    NiSchedule schedule;
    schedule.nr = nr;
    for (int r = 0; r <= nr; ++r) {
        schedule.k[r] = LoadBlock(&keys[static_cast<size_t>(16 * r)]);
    }
    return schedule;
}

// The Cipher (decrypt = false) or the equivalent inverse cipher on N blocks side by side.
template <size_t N, bool Decrypt>
AES_NI_TARGET inline void NiRounds(const NiSchedule& s, __m128i* b) {
#pragma GCC unroll 8
    for (size_t i = 0; i < N; ++i) {
        b[i] = _mm_xor_si128(b[i], s.k[0]);
    }
    for (int r = 1; r < s.nr; ++r) {
        const __m128i k = s.k[r];
#pragma GCC unroll 8
        for (size_t i = 0; i < N; ++i) {
            b[i] = Decrypt ? _mm_aesdec_si128(b[i], k) : _mm_aesenc_si128(b[i], k);
        }
    }
#pragma GCC unroll 8
    for (size_t i = 0; i < N; ++i) {
        b[i] =
            Decrypt ? _mm_aesdeclast_si128(b[i], s.k[s.nr]) : _mm_aesenclast_si128(b[i], s.k[s.nr]);
    }
}

// FIPS 197 5.2 for one new round key of AES-128 (or an even one of AES-256): the previous key's
// words w[i-Nk..] folded together, xor SubWord(RotWord(w[i-1])) xor Rcon as AESKEYGENASSIST gives
// it in `assist`, lane `Lane` (3 for that form, 2 for the plain SubWord of AES-256).
template <int Lane>
AES_NI_TARGET inline __m128i NiNextKey(__m128i key, __m128i assist) {
    key = _mm_xor_si128(key, _mm_slli_si128(key, 4));
    key = _mm_xor_si128(key, _mm_slli_si128(key, 4));
    key = _mm_xor_si128(key, _mm_slli_si128(key, 4));
    return _mm_xor_si128(key, _mm_shuffle_epi32(assist, Lane * 0x55));
}

// The AES-128 and AES-256 key schedules through AESKEYGENASSIST (its round constant must be an
// immediate, hence the unrolled calls). AES-192 keeps the portable expansion.
AES_NI_TARGET void NiExpandKey128(const uint8_t* key, std::array<uint8_t, 240>& keys) {
    __m128i k[11];
    k[0] = LoadBlock(key);
    k[1] = NiNextKey<3>(k[0], _mm_aeskeygenassist_si128(k[0], 0x01));
    k[2] = NiNextKey<3>(k[1], _mm_aeskeygenassist_si128(k[1], 0x02));
    k[3] = NiNextKey<3>(k[2], _mm_aeskeygenassist_si128(k[2], 0x04));
    k[4] = NiNextKey<3>(k[3], _mm_aeskeygenassist_si128(k[3], 0x08));
    k[5] = NiNextKey<3>(k[4], _mm_aeskeygenassist_si128(k[4], 0x10));
    k[6] = NiNextKey<3>(k[5], _mm_aeskeygenassist_si128(k[5], 0x20));
    k[7] = NiNextKey<3>(k[6], _mm_aeskeygenassist_si128(k[6], 0x40));
    k[8] = NiNextKey<3>(k[7], _mm_aeskeygenassist_si128(k[7], 0x80));
    k[9] = NiNextKey<3>(k[8], _mm_aeskeygenassist_si128(k[8], 0x1B));
    k[10] = NiNextKey<3>(k[9], _mm_aeskeygenassist_si128(k[9], 0x36));
    for (size_t r = 0; r < 11; ++r) {
        StoreBlock(&keys[16 * r], k[r]);
    }
}

AES_NI_TARGET void NiExpandKey256(const uint8_t* key, std::array<uint8_t, 240>& keys) {
    __m128i k[15];
    k[0] = LoadBlock(key);
    k[1] = LoadBlock(key + 16);
    // Word i with i mod 8 = 0 takes SubWord(RotWord) and Rcon, i mod 8 = 4 SubWord alone.
#define KEYWRIGHT_AES256_PAIR(r, rcon)                                            \
    k[r] = NiNextKey<3>(k[r - 2], _mm_aeskeygenassist_si128(k[r - 1], rcon));     \
    if (r + 1 < 15) {                                                             \
        k[r + 1] = NiNextKey<2>(k[r - 1], _mm_aeskeygenassist_si128(k[r], 0x00)); \
    }
    KEYWRIGHT_AES256_PAIR(2, 0x01)
    KEYWRIGHT_AES256_PAIR(4, 0x02)
    KEYWRIGHT_AES256_PAIR(6, 0x04)
    KEYWRIGHT_AES256_PAIR(8, 0x08)
    KEYWRIGHT_AES256_PAIR(10, 0x10)
    KEYWRIGHT_AES256_PAIR(12, 0x20)
    KEYWRIGHT_AES256_PAIR(14, 0x40)
#undef KEYWRIGHT_AES256_PAIR
    for (size_t r = 0; r < 15; ++r) {
        StoreBlock(&keys[16 * r], k[r]);
    }
}

// FIPS 197 5.3.5: the equivalent inverse cipher uses the encryption round keys in reverse, the
// inner ones through InvMixColumns (AESIMC).
AES_NI_TARGET void NiInverseKeys(const std::array<uint8_t, 240>& keys, int nr,
                                 std::array<uint8_t, 240>& inverse) {
    for (int r = 0; r <= nr; ++r) {
        __m128i k = LoadBlock(&keys[static_cast<size_t>(16 * (nr - r))]);
        if (r != 0 && r != nr) {
            k = _mm_aesimc_si128(k);
        }
        StoreBlock(&inverse[static_cast<size_t>(16 * r)], k);
    }
}

AES_NI_TARGET void NiCryptOne(const std::array<uint8_t, 240>& keys, int nr, bool decrypt,
                              const uint8_t* in, uint8_t* out) {
    const NiSchedule s = LoadSchedule(keys, nr);
    __m128i b = LoadBlock(in);
    decrypt ? NiRounds<1, true>(s, &b) : NiRounds<1, false>(s, &b);
    StoreBlock(out, b);
}

// ECB in either direction: kLanes blocks at a time, then the rest one by one. Every block is
// loaded before its result is stored, so `out` may be `in`.
template <bool Decrypt>
AES_NI_TARGET void NiEcb(const NiSchedule& s, const uint8_t* in, uint8_t* out, size_t blocks) {
    size_t i = 0;
    for (; i + kLanes <= blocks; i += kLanes) {
        __m128i b[kLanes];
        for (size_t j = 0; j < kLanes; ++j) {
            b[j] = LoadBlock(in + 16 * (i + j));
        }
        NiRounds<kLanes, Decrypt>(s, b);
        for (size_t j = 0; j < kLanes; ++j) {
            StoreBlock(out + 16 * (i + j), b[j]);
        }
    }
    for (; i < blocks; ++i) {
        __m128i b = LoadBlock(in + 16 * i);
        NiRounds<1, Decrypt>(s, &b);
        StoreBlock(out + 16 * i, b);
    }
}

// CBC encryption is one chain: each block waits for the one before it.
AES_NI_TARGET __m128i NiCbcEncrypt(const NiSchedule& s, __m128i v, const uint8_t* in, uint8_t* out,
                                   size_t blocks) {
    for (size_t i = 0; i < blocks; ++i) {
        v = _mm_xor_si128(v, LoadBlock(in + 16 * i));
        NiRounds<1, false>(s, &v);
        StoreBlock(out + 16 * i, v);
    }
    return v;
}

// CBC decryption: P[i] = D(C[i]) ^ C[i-1], independent blocks again. Gives the last ciphertext
// block.
AES_NI_TARGET __m128i NiCbcDecrypt(const NiSchedule& s, __m128i v, const uint8_t* in, uint8_t* out,
                                   size_t blocks) {
    size_t i = 0;
    for (; i + kLanes <= blocks; i += kLanes) {
        __m128i c[kLanes];
        __m128i b[kLanes];
        for (size_t j = 0; j < kLanes; ++j) {
            c[j] = b[j] = LoadBlock(in + 16 * (i + j));
        }
        NiRounds<kLanes, true>(s, b);
        StoreBlock(out + 16 * i, _mm_xor_si128(b[0], v));
        for (size_t j = 1; j < kLanes; ++j) {
            StoreBlock(out + 16 * (i + j), _mm_xor_si128(b[j], c[j - 1]));
        }
        v = c[kLanes - 1];
    }
    for (; i < blocks; ++i) {
        const __m128i c = LoadBlock(in + 16 * i);
        __m128i b = c;
        NiRounds<1, true>(s, &b);
        StoreBlock(out + 16 * i, _mm_xor_si128(b, v));
        v = c;
    }
    return v;
}

AES_NI_TARGET void NiCrypt(const std::array<uint8_t, 240>& keys,
                           const std::array<uint8_t, 240>& inverse_keys, int nr, bool decrypt,
                           bool cbc, const uint8_t* in, uint8_t* out, size_t blocks,
                           uint8_t* chain) {
    const NiSchedule s = LoadSchedule(decrypt ? inverse_keys : keys, nr);
    if (!cbc) {
        decrypt ? NiEcb<true>(s, in, out, blocks) : NiEcb<false>(s, in, out, blocks);
        return;
    }
    const __m128i v = LoadBlock(chain);
    StoreBlock(chain,
               decrypt ? NiCbcDecrypt(s, v, in, out, blocks) : NiCbcEncrypt(s, v, in, out, blocks));
}
#endif

}  // namespace

CAesCipher::CAesCipher() {
    const std::array<uint8_t, 16> zero_key{};
    (void)SetKey(zero_key);
}

bool CAesCipher::SetKey(std::span<const uint8_t> key) {
    if (key.size() != 16 && key.size() != 24 && key.size() != 32) {
        return false;
    }
    m_nb = 4;
    m_nk = static_cast<int>(key.size() / 4);
    m_nr = m_nk + 6;

#if KEYWRIGHT_AES_NI
    if (EngineCpuFeatures().aes && m_nk != 6) {
        m_nk == 4 ? NiExpandKey128(key.data(), m_roundKeys)
                  : NiExpandKey256(key.data(), m_roundKeys);
        NiInverseKeys(m_roundKeys, m_nr, m_inverseKeys);
        m_hardware = true;
        return true;
    }
#endif
    // FIPS 197 5.2, KeyExpansion.
    m_roundKeys.fill(0);
    std::copy(key.begin(), key.end(), m_roundKeys.begin());
    uint8_t rcon = 0x01;
    for (int i = m_nk; i < m_nb * (m_nr + 1); ++i) {
        std::array<uint8_t, 4> temp;
        std::copy_n(&m_roundKeys[4 * (i - 1)], 4, temp.begin());
        if (i % m_nk == 0) {
            // SubWord(RotWord(temp)) xor Rcon[i / Nk], Rcon[j] = {02}^(j-1) in the first byte.
            temp = {static_cast<uint8_t>(kSBox[temp[1]] ^ rcon), kSBox[temp[2]], kSBox[temp[3]],
                    kSBox[temp[0]]};
            rcon = XTime(rcon);
        } else if (m_nk > 6 && i % m_nk == 4) {
            for (uint8_t& b : temp) {
                b = kSBox[b];
            }
        }
        for (int k = 0; k < 4; ++k) {
            m_roundKeys[4 * i + k] =
                static_cast<uint8_t>(m_roundKeys[4 * (i - m_nk) + k] ^ temp[k]);
        }
    }
    m_hardware = false;
#if KEYWRIGHT_AES_NI
    if (EngineCpuFeatures().aes) {
        NiInverseKeys(m_roundKeys, m_nr, m_inverseKeys);
        m_hardware = true;
        return true;
    }
#endif
    return true;
}

void CAesCipher::EncryptBlock(std::span<const uint8_t, 16> in, std::span<uint8_t, 16> out) {
#if KEYWRIGHT_AES_NI
    if (m_hardware) {
        NiCryptOne(m_roundKeys, m_nr, false, in.data(), out.data());
        return;
    }
#endif
    TableRounds(m_roundKeys.data(), m_nr, in.data(), out.data());
}

void CAesCipher::DecryptBlock(std::span<const uint8_t, 16> in, std::span<uint8_t, 16> out) {
#if KEYWRIGHT_AES_NI
    if (m_hardware) {
        NiCryptOne(m_inverseKeys, m_nr, true, in.data(), out.data());
        return;
    }
#endif
    InverseCipherRounds(m_roundKeys.data(), m_nr, in.data(), out.data());
}

bool AesCrypt(bool decrypt, bool cbc, std::span<const uint8_t> input, std::span<uint8_t> output,
              std::span<uint8_t, 16> chain, std::span<const uint8_t> key) {
    CAesCipher cipher;
    if (input.empty() || input.size() % 16 != 0 || output.size() != input.size() ||
        !cipher.SetKey(key)) {
        return false;
    }
#if KEYWRIGHT_AES_NI
    if (cipher.m_hardware) {
        NiCrypt(cipher.m_roundKeys, cipher.m_inverseKeys, cipher.m_nr, decrypt, cbc, input.data(),
                output.data(), input.size() / 16, chain.data());
        return true;
    }
#endif
    std::array<uint8_t, 16> v;
    std::copy(chain.begin(), chain.end(), v.begin());
    for (size_t offset = 0; offset < input.size(); offset += 16) {
        // Copy the input block first, so that output may be the input buffer.
        std::array<uint8_t, 16> block;
        std::copy_n(input.begin() + static_cast<std::ptrdiff_t>(offset), 16, block.begin());
        const std::span<uint8_t, 16> out = output.subspan(offset).first<16>();
        if (!cbc) {
            decrypt ? cipher.DecryptBlock(block, out) : cipher.EncryptBlock(block, out);
        } else if (!decrypt) {
            for (int k = 0; k < 16; ++k) {
                block[k] ^= v[k];
            }
            cipher.EncryptBlock(block, out);
            std::copy(out.begin(), out.end(), v.begin());
        } else {
            cipher.DecryptBlock(block, out);
            for (int k = 0; k < 16; ++k) {
                out[k] ^= v[k];
            }
            v = block;
        }
    }
    if (cbc) {
        std::copy(v.begin(), v.end(), chain.begin());
    }
    return true;
}

#include "crypto/hash/sha256.h"

#include <bit>

#include "crypto/byte_order.h"
#include "crypto/cpu_features.h"
#include "crypto/hash/hash_block.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define KEYWRIGHT_SHA_NI 1
#endif

namespace {

using namespace byte_order;
using namespace hash_block;

// FIPS 180-4 5.3.3
constexpr std::array<uint32_t, 8> kInitialHash = {0x6A09E667, 0xBB67AE85, 0x3C6EF372, 0xA54FF53A,
                                                  0x510E527F, 0x9B05688C, 0x1F83D9AB, 0x5BE0CD19};

// FIPS 180-4 4.2.2
constexpr std::array<uint32_t, 64> kK = {
    0x428A2F98, 0x71374491, 0xB5C0FBCF, 0xE9B5DBA5, 0x3956C25B, 0x59F111F1, 0x923F82A4, 0xAB1C5ED5,
    0xD807AA98, 0x12835B01, 0x243185BE, 0x550C7DC3, 0x72BE5D74, 0x80DEB1FE, 0x9BDC06A7, 0xC19BF174,
    0xE49B69C1, 0xEFBE4786, 0x0FC19DC6, 0x240CA1CC, 0x2DE92C6F, 0x4A7484AA, 0x5CB0A9DC, 0x76F988DA,
    0x983E5152, 0xA831C66D, 0xB00327C8, 0xBF597FC7, 0xC6E00BF3, 0xD5A79147, 0x06CA6351, 0x14292967,
    0x27B70A85, 0x2E1B2138, 0x4D2C6DFC, 0x53380D13, 0x650A7354, 0x766A0ABB, 0x81C2C92E, 0x92722C85,
    0xA2BFE8A1, 0xA81A664B, 0xC24B8B70, 0xC76C51A3, 0xD192E819, 0xD6990624, 0xF40E3585, 0x106AA070,
    0x19A4C116, 0x1E376C08, 0x2748774C, 0x34B0BCB5, 0x391C0CB3, 0x4ED8AA4A, 0x5B9CCA4F, 0x682E6FF3,
    0x748F82EE, 0x78A5636F, 0x84C87814, 0x8CC70208, 0x90BEFFFA, 0xA4506CEB, 0xBEF9A3F7, 0xC67178F2,
};

// Word t of the message schedule (FIPS 180-4 6.2.2 step 1), kept as a window of the last 16
// words: slot t mod 16 holds W(t-16) until it is replaced by W(t).
inline uint32_t Schedule(uint32_t* w, int t) {
    if (t < 16) {
        return w[t];
    }
    const uint32_t x15 = w[(t - 15) & 15], x2 = w[(t - 2) & 15];
    const auto sigma0 = [](uint32_t x) { return std::rotr(x, 7) ^ std::rotr(x, 18) ^ (x >> 3); };
    const auto sigma1 = [](uint32_t x) { return std::rotr(x, 17) ^ std::rotr(x, 19) ^ (x >> 10); };
    uint32_t& slot = w[t & 15];
    slot += sigma1(x2) + w[(t - 7) & 15] + sigma0(x15);
    return slot;
}

// One round of FIPS 180-4 6.2.2 step 3 with the working variables renamed instead of moved:
// T1 is added to d (the new e) and T1 + T2 lands in h (the new a), so the next round takes
// (h, a, b, c, d, e, f, g).
inline void Round(uint32_t a, uint32_t b, uint32_t c, uint32_t& d, uint32_t e, uint32_t f,
                  uint32_t g, uint32_t& h, uint32_t k_plus_w) {
    const uint32_t sigma1 = std::rotr(e, 6) ^ std::rotr(e, 11) ^ std::rotr(e, 25);
    const uint32_t ch = g ^ (e & (f ^ g));
    const uint32_t t1 = h + sigma1 + ch + k_plus_w;
    const uint32_t sigma0 = std::rotr(a, 2) ^ std::rotr(a, 13) ^ std::rotr(a, 22);
    const uint32_t maj = (a & b) | (c & (a | b));
    d += t1;
    h = t1 + sigma0 + maj;
}

// FIPS 180-4 6.2.2 over `count` consecutive 64-byte blocks.
void Compress(std::array<uint32_t, 8>& state, const uint8_t* blocks, size_t count) {
    uint32_t h0 = state[0], h1 = state[1], h2 = state[2], h3 = state[3];
    uint32_t h4 = state[4], h5 = state[5], h6 = state[6], h7 = state[7];
    for (; count > 0; --count, blocks += 64) {
        uint32_t w[16];
        for (int t = 0; t < 16; ++t) {
            w[t] = LoadBe32(blocks + 4 * t);
        }
        uint32_t a = h0, b = h1, c = h2, d = h3, e = h4, f = h5, g = h6, h = h7;
        for (int t = 0; t < 64; t += 8) {
            Round(a, b, c, d, e, f, g, h, kK[t] + Schedule(w, t));
            Round(h, a, b, c, d, e, f, g, kK[t + 1] + Schedule(w, t + 1));
            Round(g, h, a, b, c, d, e, f, kK[t + 2] + Schedule(w, t + 2));
            Round(f, g, h, a, b, c, d, e, kK[t + 3] + Schedule(w, t + 3));
            Round(e, f, g, h, a, b, c, d, kK[t + 4] + Schedule(w, t + 4));
            Round(d, e, f, g, h, a, b, c, kK[t + 5] + Schedule(w, t + 5));
            Round(c, d, e, f, g, h, a, b, kK[t + 6] + Schedule(w, t + 6));
            Round(b, c, d, e, f, g, h, a, kK[t + 7] + Schedule(w, t + 7));
        }
        h0 += a;
        h1 += b;
        h2 += c;
        h3 += d;
        h4 += e;
        h5 += f;
        h6 += g;
        h7 += h;
    }
    state = {h0, h1, h2, h3, h4, h5, h6, h7};
}

#if KEYWRIGHT_SHA_NI
// FIPS 180-4 6.2.2 through the SHA extensions: SHA256RNDS2 runs two rounds on the state held as
// (A, B, E, F) and (C, D, G, H), SHA256MSG1/MSG2 extend the message schedule four words at a time.
// Only called when cpuid reports them; the target keeps the rest of the build on its own flags.
__attribute__((target("sha,sse4.1"))) void CompressShaNi(std::array<uint32_t, 8>& state,
                                                         const uint8_t* blocks, size_t count) {
    // The words of each 16-byte message piece are big-endian.
    const __m128i byte_swap = _mm_set_epi64x(0x0C0D0E0F08090A0BULL, 0x0405060700010203ULL);
    __m128i dcba = _mm_loadu_si128(reinterpret_cast<const __m128i*>(&state[0]));
    __m128i hgfe = _mm_loadu_si128(reinterpret_cast<const __m128i*>(&state[4]));
    const __m128i cdab = _mm_shuffle_epi32(dcba, 0xB1);
    const __m128i efgh = _mm_shuffle_epi32(hgfe, 0x1B);
    __m128i abef = _mm_alignr_epi8(cdab, efgh, 8);
    __m128i cdgh = _mm_blend_epi16(efgh, cdab, 0xF0);

    for (; count > 0; --count, blocks += 64) {
        const __m128i abef_start = abef;
        const __m128i cdgh_start = cdgh;
        // msg[i % 4] holds W[4i .. 4i+3] when the rounds 4i .. 4i+3 take it.
        __m128i msg[4];
#pragma GCC unroll 16
        for (int i = 0; i < 16; ++i) {
            __m128i& current = msg[i % 4];
            if (i < 4) {
                current = _mm_shuffle_epi8(
                    _mm_loadu_si128(reinterpret_cast<const __m128i*>(blocks + 16 * i)), byte_swap);
            }
            __m128i wk = _mm_add_epi32(
                current, _mm_loadu_si128(reinterpret_cast<const __m128i*>(&kK[4 * i])));
            cdgh = _mm_sha256rnds2_epu32(cdgh, abef, wk);
            if (i >= 3 && i <= 14) {
                // W[t] = sigma1(W[t-2]) + W[t-7] + sigma0(W[t-15]) + W[t-16] for the next four.
                __m128i& next = msg[(i + 1) % 4];
                next = _mm_add_epi32(next, _mm_alignr_epi8(current, msg[(i + 3) % 4], 4));
                next = _mm_sha256msg2_epu32(next, current);
            }
            wk = _mm_shuffle_epi32(wk, 0x0E);
            abef = _mm_sha256rnds2_epu32(abef, cdgh, wk);
            if (i >= 1 && i <= 12) {
                __m128i& previous = msg[(i + 3) % 4];
                previous = _mm_sha256msg1_epu32(previous, current);
            }
        }
        abef = _mm_add_epi32(abef, abef_start);
        cdgh = _mm_add_epi32(cdgh, cdgh_start);
    }

    const __m128i feba = _mm_shuffle_epi32(abef, 0x1B);
    const __m128i dchg = _mm_shuffle_epi32(cdgh, 0xB1);
    dcba = _mm_blend_epi16(feba, dchg, 0xF0);
    hgfe = _mm_alignr_epi8(dchg, feba, 8);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(&state[0]), dcba);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(&state[4]), hgfe);
}
#endif

// Compress with the SHA extensions when the processor has them.
void CompressBlocks(std::array<uint32_t, 8>& state, const uint8_t* blocks, size_t count) {
#if KEYWRIGHT_SHA_NI
    if (EngineCpuFeatures().sha) {
        CompressShaNi(state, blocks, count);
        return;
    }
#endif
    Compress(state, blocks, count);
}

}  // namespace

void Sha256Init(Sha256Context& context) {
    context = Sha256Context{};
    context.h = kInitialHash;
}

void Sha256Update(Sha256Context& context, std::span<const uint8_t> data) {
    context.byte_count += data.size();
    Absorb(context.buffer, context.buffer_used, data,
           [&context](const uint8_t* blocks, size_t count) {
               CompressBlocks(context.h, blocks, count);
           });
}

void Sha256Final(Sha256Context& context, std::span<uint8_t, 32> digest) {
    // FIPS 180-4 5.1.1: the length in bits as a 64-bit big-endian number.
    std::array<uint8_t, 8> length{};
    StoreBe64(length.data(), context.byte_count << 3);
    Pad(context.buffer, context.buffer_used, length,
        [&context](const uint8_t* blocks, size_t count) {
            CompressBlocks(context.h, blocks, count);
        });
    for (size_t i = 0; i < context.h.size(); ++i) {
        StoreBe32(digest.data() + 4 * i, context.h[i]);
    }
}

Sha256Digest Sha256Hash(std::span<const uint8_t> data) {
    Sha256Context context;
    Sha256Init(context);
    Sha256Update(context, data);
    Sha256Digest digest{};
    Sha256Final(context, digest);
    return digest;
}

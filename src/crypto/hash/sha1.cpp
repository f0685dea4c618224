#include "crypto/hash/sha1.h"

#include <bit>
#include <limits>

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

// FIPS 180-4 5.3.1
constexpr std::array<uint32_t, 5> kInitialHash = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476,
                                                  0xC3D2E1F0};

// One step of FIPS 180-4 6.1.2 step 3 with the working variables renamed instead of moved: the
// new a lands in e and the new c in b, so the next step takes (e, a, b, c, d).
template <int Round>
inline void Step(uint32_t a, uint32_t& b, uint32_t c, uint32_t d, uint32_t& e, uint32_t w) {
    // FIPS 180-4 4.1.1 f_t and 4.2.1 K_t.
    if constexpr (Round == 0) {
        e += (d ^ (b & (c ^ d))) + 0x5A827999;
    } else if constexpr (Round == 1) {
        e += (b ^ c ^ d) + 0x6ED9EBA1;
    } else if constexpr (Round == 2) {
        e += ((b & c) | (d & (b | c))) + 0x8F1BBCDC;
    } else {
        e += (b ^ c ^ d) + 0xCA62C1D6;
    }
    e += std::rotl(a, 5) + w;
    b = std::rotl(b, 30);
}

// Word t of the message schedule (FIPS 180-4 6.1.2 step 1), kept as a window of the last 16
// words: slot t mod 16 holds W(t-16) until it is replaced by W(t).
inline uint32_t Schedule(uint32_t* w, int t) {
    if (t < 16) {
        return w[t];
    }
    uint32_t& slot = w[t & 15];
    slot = std::rotl(w[(t - 3) & 15] ^ w[(t - 8) & 15] ^ w[(t - 14) & 15] ^ slot, 1);
    return slot;
}

template <int Round>
inline void FiveSteps(uint32_t& a, uint32_t& b, uint32_t& c, uint32_t& d, uint32_t& e, uint32_t* w,
                      int t) {
    Step<Round>(a, b, c, d, e, Schedule(w, t));
    Step<Round>(e, a, b, c, d, Schedule(w, t + 1));
    Step<Round>(d, e, a, b, c, Schedule(w, t + 2));
    Step<Round>(c, d, e, a, b, Schedule(w, t + 3));
    Step<Round>(b, c, d, e, a, Schedule(w, t + 4));
}

// FIPS 180-4 6.1.2 over `count` consecutive 64-byte blocks.
void Compress(std::array<uint32_t, 5>& h, const uint8_t* blocks, size_t count) {
    uint32_t h0 = h[0], h1 = h[1], h2 = h[2], h3 = h[3], h4 = h[4];
    for (; count > 0; --count, blocks += 64) {
        uint32_t w[16];
        for (int t = 0; t < 16; ++t) {
            w[t] = LoadBe32(blocks + 4 * t);
        }
        uint32_t a = h0, b = h1, c = h2, d = h3, e = h4;
        for (int t = 0; t < 20; t += 5) {
            FiveSteps<0>(a, b, c, d, e, w, t);
        }
        for (int t = 20; t < 40; t += 5) {
            FiveSteps<1>(a, b, c, d, e, w, t);
        }
        for (int t = 40; t < 60; t += 5) {
            FiveSteps<2>(a, b, c, d, e, w, t);
        }
        for (int t = 60; t < 80; t += 5) {
            FiveSteps<3>(a, b, c, d, e, w, t);
        }
        h0 += a;
        h1 += b;
        h2 += c;
        h3 += d;
        h4 += e;
    }
    h = {h0, h1, h2, h3, h4};
}

#if KEYWRIGHT_SHA_NI
// FIPS 180-4 6.1.2 through the SHA extensions: SHA1RNDS4 runs four steps on (a, b, c, d) with the
// function and constant of its group of twenty, SHA1NEXTE derives e for the next four from a,
// SHA1MSG1/MSG2 and an XOR extend the message schedule four words at a time. Only called when
// cpuid reports them; the target keeps the rest of the build on its own flags.
__attribute__((target("sha,sse4.1"))) void CompressShaNi(std::array<uint32_t, 5>& h,
                                                         const uint8_t* blocks, size_t count) {
    // Word 0 of the block goes to the highest lane, each word big-endian.
    const __m128i byte_swap = _mm_set_epi64x(0x0001020304050607ULL, 0x08090A0B0C0D0E0FULL);
    __m128i abcd =
        _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(&h[0])), 0x1B);
    __m128i e0 = _mm_set_epi32(static_cast<int>(h[4]), 0, 0, 0);

    for (; count > 0; --count, blocks += 64) {
        const __m128i abcd_start = abcd;
        const __m128i e_start = e0;
        __m128i e1;
        // msg[i % 4] holds W[4i .. 4i+3] when the steps 4i .. 4i+3 take it.
        __m128i msg[4];
#pragma GCC unroll 20
        for (int i = 0; i < 20; ++i) {
            __m128i& current = msg[i % 4];
            if (i < 4) {
                current = _mm_shuffle_epi8(
                    _mm_loadu_si128(reinterpret_cast<const __m128i*>(blocks + 16 * i)), byte_swap);
            }
            // e for these four steps: the initial e plus W, then derived from the a of four
            // steps back.
            __m128i& e = i % 2 == 0 ? e0 : e1;
            __m128i& e_next = i % 2 == 0 ? e1 : e0;
            e = i == 0 ? _mm_add_epi32(e, current) : _mm_sha1nexte_epu32(e, current);
            e_next = abcd;
            if (i >= 3 && i <= 18) {
                // W[t] = (W[t-3] ^ W[t-8] ^ W[t-14] ^ W[t-16]) <<< 1, finished for the next four.
                __m128i& next = msg[(i + 1) % 4];
                next = _mm_sha1msg2_epu32(next, current);
            }
            switch (i / 5) {
                case 0:
                    abcd = _mm_sha1rnds4_epu32(abcd, e, 0);
                    break;
                case 1:
                    abcd = _mm_sha1rnds4_epu32(abcd, e, 1);
                    break;
                case 2:
                    abcd = _mm_sha1rnds4_epu32(abcd, e, 2);
                    break;
                default:
                    abcd = _mm_sha1rnds4_epu32(abcd, e, 3);
                    break;
            }
            if (i >= 1 && i <= 16) {
                __m128i& previous = msg[(i + 3) % 4];
                previous = _mm_sha1msg1_epu32(previous, current);
            }
            if (i >= 2 && i <= 17) {
                __m128i& two_back = msg[(i + 2) % 4];
                two_back = _mm_xor_si128(two_back, current);
            }
        }
        e0 = _mm_sha1nexte_epu32(e0, e_start);
        abcd = _mm_add_epi32(abcd, abcd_start);
    }

    _mm_storeu_si128(reinterpret_cast<__m128i*>(&h[0]), _mm_shuffle_epi32(abcd, 0x1B));
    h[4] = static_cast<uint32_t>(_mm_extract_epi32(e0, 3));
}
#endif

// Compress with the SHA extensions when the processor has them.
void CompressBlocks(std::array<uint32_t, 5>& h, const uint8_t* blocks, size_t count) {
#if KEYWRIGHT_SHA_NI
    if (EngineCpuFeatures().sha) {
        CompressShaNi(h, blocks, count);
        return;
    }
#endif
    Compress(h, blocks, count);
}

void WriteDigest(const std::array<uint32_t, 5>& h, std::span<uint8_t, 20> digest) {
    for (size_t i = 0; i < h.size(); ++i) {
        StoreBe32(digest.data() + 4 * i, h[i]);
    }
}

}  // namespace

int Sha1Init(Sha1Context* context) {
    if (context == nullptr) {
        return kSha1Null;
    }
    *context = Sha1Context{};
    context->h = kInitialHash;
    return kSha1Success;
}

int Sha1Update(Sha1Context* context, std::span<const uint8_t> data) {
    if (data.empty()) {
        return kSha1Success;
    }
    if (context == nullptr) {
        return kSha1Null;
    }
    if (context->error != kSha1Success) {
        return context->error;
    }
    if (context->computed) {
        return context->error = kSha1StateError;
    }
    // FIPS 180-4 5.1.1 encodes the length in 64 bits.
    if (data.size() > (std::numeric_limits<uint64_t>::max() - context->length_bits) / 8) {
        return context->error = kSha1InputTooLong;
    }
    context->length_bits += static_cast<uint64_t>(data.size()) * 8;
    Absorb(context->buffer, context->buffer_used, data,
           [context](const uint8_t* blocks, size_t count) {
               CompressBlocks(context->h, blocks, count);
           });
    return kSha1Success;
}

int Sha1Final(Sha1Context* context, std::span<uint8_t, 20> digest) {
    if (context == nullptr) {
        return kSha1Null;
    }
    if (context->error != kSha1Success) {
        return context->error;
    }
    if (!context->computed) {
        std::array<uint8_t, 8> length{};
        StoreBe64(length.data(), context->length_bits);
        Pad(context->buffer, context->buffer_used, length,
            [context](const uint8_t* blocks, size_t count) {
                CompressBlocks(context->h, blocks, count);
            });
        // The message is gone from the context once the digest is made.
        context->buffer.fill(0);
        context->buffer_used = 0;
        context->length_bits = 0;
        context->computed = true;
    }
    WriteDigest(context->h, digest);
    return kSha1Success;
}

Sha1Digest Sha1Hash(std::span<const uint8_t> data) {
    Sha1Context context;
    Sha1Digest digest{};
    (void)Sha1Init(&context);
    (void)Sha1Update(&context, data);
    (void)Sha1Final(&context, digest);
    return digest;
}

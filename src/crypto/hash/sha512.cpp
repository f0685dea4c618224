#include "crypto/hash/sha512.h"

#include <bit>

#include "crypto/byte_order.h"
#include "crypto/hash/hash_block.h"

namespace {

using namespace byte_order;
using namespace hash_block;

// FIPS 180-4 5.3.5
constexpr std::array<uint64_t, 8> kInitialHash512 = {
    0x6A09E667F3BCC908, 0xBB67AE8584CAA73B, 0x3C6EF372FE94F82B, 0xA54FF53A5F1D36F1,
    0x510E527FADE682D1, 0x9B05688C2B3E6C1F, 0x1F83D9ABFB41BD6B, 0x5BE0CD19137E2179,
};

// FIPS 180-4 5.3.4
constexpr std::array<uint64_t, 8> kInitialHash384 = {
    0xCBBB9D5DC1059ED8, 0x629A292A367CD507, 0x9159015A3070DD17, 0x152FECD8F70E5939,
    0x67332667FFC00B31, 0x8EB44A8768581511, 0xDB0C2E0D64F98FA7, 0x47B5481DBEFA4FA4,
};

// FIPS 180-4 4.2.3
constexpr std::array<uint64_t, 80> kK = {
    0x428A2F98D728AE22, 0x7137449123EF65CD, 0xB5C0FBCFEC4D3B2F, 0xE9B5DBA58189DBBC,
    0x3956C25BF348B538, 0x59F111F1B605D019, 0x923F82A4AF194F9B, 0xAB1C5ED5DA6D8118,
    0xD807AA98A3030242, 0x12835B0145706FBE, 0x243185BE4EE4B28C, 0x550C7DC3D5FFB4E2,
    0x72BE5D74F27B896F, 0x80DEB1FE3B1696B1, 0x9BDC06A725C71235, 0xC19BF174CF692694,
    0xE49B69C19EF14AD2, 0xEFBE4786384F25E3, 0x0FC19DC68B8CD5B5, 0x240CA1CC77AC9C65,
    0x2DE92C6F592B0275, 0x4A7484AA6EA6E483, 0x5CB0A9DCBD41FBD4, 0x76F988DA831153B5,
    0x983E5152EE66DFAB, 0xA831C66D2DB43210, 0xB00327C898FB213F, 0xBF597FC7BEEF0EE4,
    0xC6E00BF33DA88FC2, 0xD5A79147930AA725, 0x06CA6351E003826F, 0x142929670A0E6E70,
    0x27B70A8546D22FFC, 0x2E1B21385C26C926, 0x4D2C6DFC5AC42AED, 0x53380D139D95B3DF,
    0x650A73548BAF63DE, 0x766A0ABB3C77B2A8, 0x81C2C92E47EDAEE6, 0x92722C851482353B,
    0xA2BFE8A14CF10364, 0xA81A664BBC423001, 0xC24B8B70D0F89791, 0xC76C51A30654BE30,
    0xD192E819D6EF5218, 0xD69906245565A910, 0xF40E35855771202A, 0x106AA07032BBD1B8,
    0x19A4C116B8D2D0C8, 0x1E376C085141AB53, 0x2748774CDF8EEB99, 0x34B0BCB5E19B48A8,
    0x391C0CB3C5C95A63, 0x4ED8AA4AE3418ACB, 0x5B9CCA4F7763E373, 0x682E6FF3D6B2B8A3,
    0x748F82EE5DEFB2FC, 0x78A5636F43172F60, 0x84C87814A1F0AB72, 0x8CC702081A6439EC,
    0x90BEFFFA23631E28, 0xA4506CEBDE82BDE9, 0xBEF9A3F7B2C67915, 0xC67178F2E372532B,
    0xCA273ECEEA26619C, 0xD186B8C721C0C207, 0xEADA7DD6CDE0EB1E, 0xF57D4F7FEE6ED178,
    0x06F067AA72176FBA, 0x0A637DC5A2C898A6, 0x113F9804BEF90DAE, 0x1B710B35131C471B,
    0x28DB77F523047D84, 0x32CAAB7B40C72493, 0x3C9EBE0A15C9BEBC, 0x431D67C49C100D4C,
    0x4CC5D4BECB3E42B6, 0x597F299CFC657E2A, 0x5FCB6FAB3AD6FAEC, 0x6C44198C4A475817,
};

// Word t >= 16 of the message schedule (FIPS 180-4 6.4.2 step 1), kept as a window of the last
// 16 words: slot t mod 16 holds W(t-16) until it is replaced by W(t).
inline uint64_t Extend(uint64_t* w, int t) {
    const uint64_t x15 = w[(t - 15) & 15], x2 = w[(t - 2) & 15];
    const auto sigma0 = [](uint64_t x) { return std::rotr(x, 1) ^ std::rotr(x, 8) ^ (x >> 7); };
    const auto sigma1 = [](uint64_t x) { return std::rotr(x, 19) ^ std::rotr(x, 61) ^ (x >> 6); };
    uint64_t& slot = w[t & 15];
    slot += sigma1(x2) + w[(t - 7) & 15] + sigma0(x15);
    return slot;
}

// One round of FIPS 180-4 6.4.2 step 3 with the working variables renamed instead of moved:
// T1 is added to d (the new e) and T1 + T2 lands in h (the new a), so the next round takes
// (h, a, b, c, d, e, f, g).
inline void Round(uint64_t a, uint64_t b, uint64_t c, uint64_t& d, uint64_t e, uint64_t f,
                  uint64_t g, uint64_t& h, uint64_t k_plus_w) {
    const uint64_t sigma1 = std::rotr(e, 14) ^ std::rotr(e, 18) ^ std::rotr(e, 41);
    const uint64_t ch = g ^ (e & (f ^ g));
    const uint64_t t1 = h + sigma1 + ch + k_plus_w;
    const uint64_t sigma0 = std::rotr(a, 28) ^ std::rotr(a, 34) ^ std::rotr(a, 39);
    const uint64_t maj = (a & b) | (c & (a | b));
    d += t1;
    h = t1 + sigma0 + maj;
}

// FIPS 180-4 6.4.2 over `count` consecutive 128-byte blocks.
void Compress(std::array<uint64_t, 8>& state, const uint8_t* blocks, size_t count) {
    uint64_t h0 = state[0], h1 = state[1], h2 = state[2], h3 = state[3];
    uint64_t h4 = state[4], h5 = state[5], h6 = state[6], h7 = state[7];
    for (; count > 0; --count, blocks += 128) {
        uint64_t w[16];
        for (int t = 0; t < 16; ++t) {
            w[t] = LoadBe64(blocks + 8 * t);
        }
        uint64_t a = h0, b = h1, c = h2, d = h3, e = h4, f = h5, g = h6, h = h7;
        // Rounds 0-15 read the message words as they are; from 16 on each round first extends
        // the schedule. Both loops unroll fully, so t, the slots and the constants are
        // compile-time values.
#pragma GCC unroll 2
        for (int t = 0; t < 16; t += 8) {
            Round(a, b, c, d, e, f, g, h, kK[t] + w[t]);
            Round(h, a, b, c, d, e, f, g, kK[t + 1] + w[t + 1]);
            Round(g, h, a, b, c, d, e, f, kK[t + 2] + w[t + 2]);
            Round(f, g, h, a, b, c, d, e, kK[t + 3] + w[t + 3]);
            Round(e, f, g, h, a, b, c, d, kK[t + 4] + w[t + 4]);
            Round(d, e, f, g, h, a, b, c, kK[t + 5] + w[t + 5]);
            Round(c, d, e, f, g, h, a, b, kK[t + 6] + w[t + 6]);
            Round(b, c, d, e, f, g, h, a, kK[t + 7] + w[t + 7]);
        }
#pragma GCC unroll 8
        for (int t = 16; t < 80; t += 8) {
            Round(a, b, c, d, e, f, g, h, kK[t] + Extend(w, t));
            Round(h, a, b, c, d, e, f, g, kK[t + 1] + Extend(w, t + 1));
            Round(g, h, a, b, c, d, e, f, kK[t + 2] + Extend(w, t + 2));
            Round(f, g, h, a, b, c, d, e, kK[t + 3] + Extend(w, t + 3));
            Round(e, f, g, h, a, b, c, d, kK[t + 4] + Extend(w, t + 4));
            Round(d, e, f, g, h, a, b, c, kK[t + 5] + Extend(w, t + 5));
            Round(c, d, e, f, g, h, a, b, kK[t + 6] + Extend(w, t + 6));
            Round(b, c, d, e, f, g, h, a, kK[t + 7] + Extend(w, t + 7));
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

// Pads the message and leaves the final hash value in context.h.
void Finish(Sha512Context& context) {
    // FIPS 180-4 5.1.2: the length in bits as a 128-bit big-endian number.
    std::array<uint8_t, 16> length{};
    StoreBe64(length.data(), context.byte_count >> 61);
    StoreBe64(length.data() + 8, context.byte_count << 3);
    Pad(context.buffer, context.buffer_used, length,
        [&context](const uint8_t* blocks, size_t count) { Compress(context.h, blocks, count); });
}

void WriteDigest(const std::array<uint64_t, 8>& h, std::span<uint8_t> digest) {
    for (size_t i = 0; i < digest.size() / 8; ++i) {
        StoreBe64(digest.data() + 8 * i, h[i]);
    }
}

}  // namespace

void Sha512Init(Sha512Context& context) {
    context = Sha512Context{};
    context.h = kInitialHash512;
}

void Sha384Init(Sha512Context& context) {
    context = Sha512Context{};
    context.h = kInitialHash384;
}

void Sha512Update(Sha512Context& context, std::span<const uint8_t> data) {
    context.byte_count += data.size();
    Absorb(context.buffer, context.buffer_used, data,
           [&context](const uint8_t* blocks, size_t count) { Compress(context.h, blocks, count); });
}

void Sha384Update(Sha512Context& context, std::span<const uint8_t> data) {
    Sha512Update(context, data);
}

void Sha512Final(Sha512Context& context, std::span<uint8_t, 64> digest) {
    Finish(context);
    WriteDigest(context.h, digest);
}

void Sha384Final(Sha512Context& context, std::span<uint8_t, 48> digest) {
    Finish(context);
    WriteDigest(context.h, digest);
}

Sha512Digest Sha512Hash(std::span<const uint8_t> data) {
    Sha512Context context;
    Sha512Init(context);
    Sha512Update(context, data);
    Sha512Digest digest{};
    Sha512Final(context, digest);
    return digest;
}

Sha384Digest Sha384Hash(std::span<const uint8_t> data) {
    Sha512Context context;
    Sha384Init(context);
    Sha384Update(context, data);
    Sha384Digest digest{};
    Sha384Final(context, digest);
    return digest;
}

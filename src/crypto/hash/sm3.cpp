#include "crypto/hash/sm3.h"

#include <algorithm>
#include <bit>
#include <cstddef>

#include "crypto/byte_order.h"

namespace {

// GB/T 32905 4.1: the initial value IV.
constexpr uint32_t kIv[8] = {0x7380166F, 0x4914B2B9, 0x172442D7, 0xDA8A0600,
                             0xA96F30BC, 0x163138AA, 0xE38DEE4D, 0xB0FB0E4E};

// GB/T 32905 4.2: the constants Tj, already rotated left by j mod 32 as step 5.3.3 uses them.
constexpr std::array<uint32_t, 64> MakeRotatedT() {
    std::array<uint32_t, 64> t{};
    for (int j = 0; j < 64; ++j) {
        t[j] = std::rotl(j < 16 ? 0x79CC4519u : 0x7A879D8Au, j % 32);
    }
    return t;
}
constexpr std::array<uint32_t, 64> kT = MakeRotatedT();

// GB/T 32905 4.4: the permutations P0 (compression) and P1 (message expansion).
constexpr uint32_t P0(uint32_t x) {
    return x ^ std::rotl(x, 9) ^ std::rotl(x, 17);
}
constexpr uint32_t P1(uint32_t x) {
    return x ^ std::rotl(x, 15) ^ std::rotl(x, 23);
}

// One step of GB/T 32905 5.3.3 with FF and GG given by the caller, so that the steps 0-15 (XOR)
// and 16-63 (majority, choice) run without a branch. Instead of shifting all eight registers
// (D = C, C = B <<< 9, B = A, A = TT1, and the same for E..H) the step updates B, D, F and H in
// place and the next step takes the registers renamed: (A, B, C, D, E, F, G, H) becomes
// (D, A, B, C, H, E, F, G), so four steps bring every name back to its place.
template <typename Ff, typename Gg>
inline void Step(uint32_t a, uint32_t& b, uint32_t c, uint32_t& d, uint32_t e, uint32_t& f,
                 uint32_t g, uint32_t& h, uint32_t t, uint32_t w, uint32_t w_prime, Ff ff, Gg gg) {
    const uint32_t a12 = std::rotl(a, 12);
    const uint32_t ss1 = std::rotl(a12 + e + t, 7);
    const uint32_t ss2 = ss1 ^ a12;
    d = ff(a, b, c) + d + ss2 + w_prime;
    h = P0(gg(e, f, g) + h + ss1 + w);
    b = std::rotl(b, 9);
    f = std::rotl(f, 19);
}

template <typename Ff, typename Gg>
inline void FourSteps(uint32_t& a, uint32_t& b, uint32_t& c, uint32_t& d, uint32_t& e, uint32_t& f,
                      uint32_t& g, uint32_t& h, const uint32_t* w, int j, Ff ff, Gg gg) {
    Step(a, b, c, d, e, f, g, h, kT[j], w[j], w[j] ^ w[j + 4], ff, gg);
    Step(d, a, b, c, h, e, f, g, kT[j + 1], w[j + 1], w[j + 1] ^ w[j + 5], ff, gg);
    Step(c, d, a, b, g, h, e, f, kT[j + 2], w[j + 2], w[j + 2] ^ w[j + 6], ff, gg);
    Step(b, c, d, a, f, g, h, e, kT[j + 3], w[j + 3], w[j + 3] ^ w[j + 7], ff, gg);
}

// GB/T 32905 5.3.2: Wj = P1(Wj-16 ^ Wj-9 ^ (Wj-3 <<< 15)) ^ (Wj-13 <<< 7) ^ Wj-6.
inline void Expand(uint32_t* w, int j) {
    w[j] = P1(w[j - 16] ^ w[j - 9] ^ std::rotl(w[j - 3], 15)) ^ std::rotl(w[j - 13], 7) ^ w[j - 6];
}

inline void ExpandFour(uint32_t* w, int j) {
    Expand(w, j);
    Expand(w, j + 1);
    Expand(w, j + 2);
    Expand(w, j + 3);
}

// CF of GB/T 32905 5.3 over `blocks` consecutive 64-byte blocks, the chaining value held in
// locals for the whole run.
void CompressBlocks(uint32_t v[8], const uint8_t* data, size_t blocks) {
    constexpr auto kXor = [](uint32_t x, uint32_t y, uint32_t z) { return x ^ y ^ z; };
    // (X & Y) | (X & Z) | (Y & Z) and (X & Y) | (~X & Z) in fewer operations.
    constexpr auto kMajority = [](uint32_t x, uint32_t y, uint32_t z) {
        return (x & y) | ((x | y) & z);
    };
    constexpr auto kChoice = [](uint32_t x, uint32_t y, uint32_t z) { return ((y ^ z) & x) ^ z; };

    uint32_t v0 = v[0], v1 = v[1], v2 = v[2], v3 = v[3], v4 = v[4], v5 = v[5], v6 = v[6], v7 = v[7];
    for (; blocks > 0; --blocks, data += 64) {
        // 5.3.2 message expansion, W16..W67 formed four steps ahead of their use and mixed with
        // the steps (a separate loop gets vectorised into stalls on its own stores). W'j =
        // Wj XOR Wj+4 is formed in the steps.
        uint32_t w[68];
        for (int j = 0; j < 16; ++j) {
            w[j] = byte_order::LoadBe32(data + 4 * j);
        }
        uint32_t a = v0, b = v1, c = v2, d = v3, e = v4, f = v5, g = v6, h = v7;
        for (int j = 0; j < 12; j += 4) {
            FourSteps(a, b, c, d, e, f, g, h, w, j, kXor, kXor);
        }
        ExpandFour(w, 16);
        FourSteps(a, b, c, d, e, f, g, h, w, 12, kXor, kXor);
        for (int j = 16; j < 64; j += 4) {
            ExpandFour(w, j + 4);
            FourSteps(a, b, c, d, e, f, g, h, w, j, kMajority, kChoice);
        }
        v0 ^= a;
        v1 ^= b;
        v2 ^= c;
        v3 ^= d;
        v4 ^= e;
        v5 ^= f;
        v6 ^= g;
        v7 ^= h;
    }
    v[0] = v0;
    v[1] = v1;
    v[2] = v2;
    v[3] = v3;
    v[4] = v4;
    v[5] = v5;
    v[6] = v6;
    v[7] = v7;
}

constexpr size_t kBlock = 64;

}  // namespace

void Sm3Init(Sm3Context& context) {
    context.byte_count[0] = 0;
    context.byte_count[1] = 0;
    std::copy(std::begin(kIv), std::end(kIv), context.v);
}

void Sm3Compress(Sm3Context& context, std::span<const uint8_t, 64> block) {
    CompressBlocks(context.v, block.data(), 1);
}

void Sm3Update(Sm3Context& context, std::span<const uint8_t> data) {
    if (data.empty()) {
        return;
    }
    const size_t used = context.byte_count[0] % kBlock;
    // The byte count is a 64-bit number kept in two words; add the length to it with the carry.
    const uint64_t count = (uint64_t{context.byte_count[1]} << 32 | context.byte_count[0]) +
                           static_cast<uint64_t>(data.size());
    context.byte_count[0] = static_cast<uint32_t>(count);
    context.byte_count[1] = static_cast<uint32_t>(count >> 32);

    const uint8_t* p = data.data();
    size_t left = data.size();
    if (used > 0) {
        const size_t take = std::min(left, kBlock - used);
        std::copy_n(p, take, context.buffer + used);
        p += take;
        left -= take;
        if (used + take < kBlock) {
            return;
        }
        CompressBlocks(context.v, context.buffer, 1);
    }
    CompressBlocks(context.v, p, left / kBlock);
    std::copy_n(p + left / kBlock * kBlock, left % kBlock, context.buffer);
}

void Sm3Final(Sm3Context& context, std::span<uint8_t, 32> digest) {
    // GB/T 32905 5.2: the bit 1, zeros up to 56 bytes mod 64, then the length in bits as a 64-bit
    // big-endian number.
    const uint32_t low = context.byte_count[0], high = context.byte_count[1];
    const size_t used = low % kBlock;
    uint8_t tail[2 * kBlock] = {};
    std::copy_n(context.buffer, used, tail);
    tail[used] = 0x80;
    const size_t total = used < 56 ? kBlock : 2 * kBlock;
    byte_order::StoreBe32(tail + total - 8, high << 3 | low >> 29);
    byte_order::StoreBe32(tail + total - 4, low << 3);
    CompressBlocks(context.v, tail, total / kBlock);
    for (int i = 0; i < 8; ++i) {
        byte_order::StoreBe32(digest.data() + 4 * i, context.v[i]);
    }
}

Sm3Digest Sm3Hash(std::span<const uint8_t> data) {
    Sm3Context context;
    Sm3Init(context);
    Sm3Update(context, data);
    Sm3Digest digest;
    Sm3Final(context, digest);
    return digest;
}

void Sm3HmacInit(Sm3Context& context, std::span<const uint8_t> key) {
    // RFC 2104 section 2: a key longer than the block is replaced by its hash.
    Sm3Digest hashed_key;
    if (key.size() > kBlock) {
        hashed_key = Sm3Hash(key);
        key = hashed_key;
    }
    std::fill(std::begin(context.inner_pad), std::end(context.inner_pad), uint8_t{0x36});
    std::fill(std::begin(context.outer_pad), std::end(context.outer_pad), uint8_t{0x5C});
    for (size_t i = 0; i < key.size(); ++i) {
        context.inner_pad[i] ^= key[i];
        context.outer_pad[i] ^= key[i];
    }
    Sm3Init(context);
    Sm3Update(context, context.inner_pad);
}

void Sm3HmacUpdate(Sm3Context& context, std::span<const uint8_t> data) {
    Sm3Update(context, data);
}

void Sm3HmacFinal(Sm3Context& context, std::span<uint8_t, 32> mac) {
    Sm3Digest inner;
    Sm3Final(context, inner);
    Sm3Init(context);
    Sm3Update(context, context.outer_pad);
    Sm3Update(context, inner);
    Sm3Final(context, mac);
}

Sm3Digest Sm3Hmac(std::span<const uint8_t> key, std::span<const uint8_t> data) {
    Sm3Context context;
    Sm3HmacInit(context, key);
    Sm3HmacUpdate(context, data);
    Sm3Digest mac;
    Sm3HmacFinal(context, mac);
    return mac;
}

#include "crypto/hash/md5.h"

#include <bit>

#include "crypto/byte_order.h"
#include "crypto/hash/hash_block.h"

namespace {

using namespace byte_order;
using namespace hash_block;

// RFC 1321 3.3
constexpr std::array<uint32_t, 4> kInitialState = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476};

// RFC 1321 3.4: T[i] = floor(2^32 * abs(sin(i + 1))).
constexpr std::array<uint32_t, 64> kT = {
    0xD76AA478, 0xE8C7B756, 0x242070DB, 0xC1BDCEEE, 0xF57C0FAF, 0x4787C62A, 0xA8304613, 0xFD469501,
    0x698098D8, 0x8B44F7AF, 0xFFFF5BB1, 0x895CD7BE, 0x6B901122, 0xFD987193, 0xA679438E, 0x49B40821,
    0xF61E2562, 0xC040B340, 0x265E5A51, 0xE9B6C7AA, 0xD62F105D, 0x02441453, 0xD8A1E681, 0xE7D3FBC8,
    0x21E1CDE6, 0xC33707D6, 0xF4D50D87, 0x455A14ED, 0xA9E3E905, 0xFCEFA3F8, 0x676F02D9, 0x8D2A4C8A,
    0xFFFA3942, 0x8771F681, 0x6D9D6122, 0xFDE5380C, 0xA4BEEA44, 0x4BDECFA9, 0xF6BB4B60, 0xBEBFBC70,
    0x289B7EC6, 0xEAA127FA, 0xD4EF3085, 0x04881D05, 0xD9D4D039, 0xE6DB99E5, 0x1FA27CF8, 0xC4AC5665,
    0xF4292244, 0x432AFF97, 0xAB9423A7, 0xFC93A039, 0x655B59C3, 0x8F0CCC92, 0xFFEFF47D, 0x85845DD1,
    0x6FA87E4F, 0xFE2CE6E0, 0xA3014314, 0x4E0811A1, 0xF7537E82, 0xBD3AF235, 0x2AD7D2BB, 0xEB86D391,
};

// One operation of RFC 1321 3.4, a = b + ((a + F(b,c,d) + X[k] + T[i]) <<< s), with the
// auxiliary function of its round; the four registers are renamed instead of moved, so the next
// operation takes (d, a, b, c).
template <int Round, int S>
inline void Step(uint32_t& a, uint32_t b, uint32_t c, uint32_t d, uint32_t x_plus_t) {
    uint32_t f;
    if constexpr (Round == 0) {
        f = (b & c) | (~b & d);
    } else if constexpr (Round == 1) {
        f = (b & d) | (c & ~d);
    } else if constexpr (Round == 2) {
        f = b ^ c ^ d;
    } else {
        f = c ^ (b | ~d);
    }
    a = b + std::rotl(a + f + x_plus_t, S);
}

// Four operations of one round; S0..S3 are the round's shifts, and message word k of operation i
// is (first + step * i) mod 16, as RFC 1321 3.4 lists them.
template <int Round, int S0, int S1, int S2, int S3, int First, int Stride>
inline void Round4(uint32_t& a, uint32_t& b, uint32_t& c, uint32_t& d, const uint32_t* x, int i) {
    const auto k = [i](int j) { return (First + Stride * (i + j)) & 15; };
    Step<Round, S0>(a, b, c, d, x[k(0)] + kT[16 * Round + i]);
    Step<Round, S1>(d, a, b, c, x[k(1)] + kT[16 * Round + i + 1]);
    Step<Round, S2>(c, d, a, b, x[k(2)] + kT[16 * Round + i + 2]);
    Step<Round, S3>(b, c, d, a, x[k(3)] + kT[16 * Round + i + 3]);
}

// RFC 1321 3.4 over `count` consecutive 64-byte blocks.
void Compress(std::array<uint32_t, 4>& state, const uint8_t* blocks, size_t count) {
    uint32_t s0 = state[0], s1 = state[1], s2 = state[2], s3 = state[3];
    for (; count > 0; --count, blocks += 64) {
        uint32_t x[16];
        for (int j = 0; j < 16; ++j) {
            x[j] = LoadLe32(blocks + 4 * j);
        }
        uint32_t a = s0, b = s1, c = s2, d = s3;
        for (int i = 0; i < 16; i += 4) {
            Round4<0, 7, 12, 17, 22, 0, 1>(a, b, c, d, x, i);
        }
        for (int i = 0; i < 16; i += 4) {
            Round4<1, 5, 9, 14, 20, 1, 5>(a, b, c, d, x, i);
        }
        for (int i = 0; i < 16; i += 4) {
            Round4<2, 4, 11, 16, 23, 5, 3>(a, b, c, d, x, i);
        }
        for (int i = 0; i < 16; i += 4) {
            Round4<3, 6, 10, 15, 21, 0, 7>(a, b, c, d, x, i);
        }
        s0 += a;
        s1 += b;
        s2 += c;
        s3 += d;
    }
    state = {s0, s1, s2, s3};
}

}  // namespace

void Md5Init(Md5Context& context) {
    context = Md5Context{};
    context.state = kInitialState;
}

void Md5Update(Md5Context& context, std::span<const uint8_t> data) {
    context.byte_count += data.size();
    Absorb(context.buffer, context.buffer_used, data,
           [&context](const uint8_t* blocks, size_t count) {
               Compress(context.state, blocks, count);
           });
}

void Md5Final(Md5Context& context, std::span<uint8_t, 16> digest) {
    // RFC 1321 3.2: the length in bits, low-order word first, each word little-endian.
    const uint64_t bits = context.byte_count << 3;
    std::array<uint8_t, 8> length{};
    StoreLe32(length.data(), static_cast<uint32_t>(bits));
    StoreLe32(length.data() + 4, static_cast<uint32_t>(bits >> 32));
    Pad(context.buffer, context.buffer_used, length,
        [&context](const uint8_t* blocks, size_t count) {
            Compress(context.state, blocks, count);
        });
    for (size_t i = 0; i < context.state.size(); ++i) {
        StoreLe32(digest.data() + 4 * i, context.state[i]);
    }
}

Md5Digest Md5Hash(std::span<const uint8_t> data) {
    Md5Context context;
    Md5Init(context);
    Md5Update(context, data);
    Md5Digest digest{};
    Md5Final(context, digest);
    return digest;
}

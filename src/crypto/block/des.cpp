#include "crypto/block/des.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <utility>

#include "crypto/byte_order.h"

namespace {

// FIPS 46-3 numbers bits from 1, bit 1 being the most significant bit of the first byte. Every
// table below is copied from the standard in that numbering.

// Initial permutation IP and its inverse.
// clang-format off
constexpr uint8_t kIp[64] = {
    58, 50, 42, 34, 26, 18, 10,  2,
    60, 52, 44, 36, 28, 20, 12,  4,
    62, 54, 46, 38, 30, 22, 14,  6,
    64, 56, 48, 40, 32, 24, 16,  8,
    57, 49, 41, 33, 25, 17,  9,  1,
    59, 51, 43, 35, 27, 19, 11,  3,
    61, 53, 45, 37, 29, 21, 13,  5,
    63, 55, 47, 39, 31, 23, 15,  7,
};
constexpr uint8_t kFp[64] = {
    40,  8, 48, 16, 56, 24, 64, 32,
    39,  7, 47, 15, 55, 23, 63, 31,
    38,  6, 46, 14, 54, 22, 62, 30,
    37,  5, 45, 13, 53, 21, 61, 29,
    36,  4, 44, 12, 52, 20, 60, 28,
    35,  3, 43, 11, 51, 19, 59, 27,
    34,  2, 42, 10, 50, 18, 58, 26,
    33,  1, 41,  9, 49, 17, 57, 25,
};
// clang-format on

// Permutation P of the cipher function f.
// clang-format off
constexpr uint8_t kP[32] = {
    16,  7, 20, 21, 29, 12, 28, 17,
     1, 15, 23, 26,  5, 18, 31, 10,
     2,  8, 24, 14, 32, 27,  3,  9,
    19, 13, 30,  6, 22, 11,  4, 25,
};
// clang-format on

// Selection functions S1..S8, each four rows of sixteen.
constexpr uint8_t kS[8][4][16] = {
    {{14, 4, 13, 1, 2, 15, 11, 8, 3, 10, 6, 12, 5, 9, 0, 7},
     {0, 15, 7, 4, 14, 2, 13, 1, 10, 6, 12, 11, 9, 5, 3, 8},
     {4, 1, 14, 8, 13, 6, 2, 11, 15, 12, 9, 7, 3, 10, 5, 0},
     {15, 12, 8, 2, 4, 9, 1, 7, 5, 11, 3, 14, 10, 0, 6, 13}},
    {{15, 1, 8, 14, 6, 11, 3, 4, 9, 7, 2, 13, 12, 0, 5, 10},
     {3, 13, 4, 7, 15, 2, 8, 14, 12, 0, 1, 10, 6, 9, 11, 5},
     {0, 14, 7, 11, 10, 4, 13, 1, 5, 8, 12, 6, 9, 3, 2, 15},
     {13, 8, 10, 1, 3, 15, 4, 2, 11, 6, 7, 12, 0, 5, 14, 9}},
    {{10, 0, 9, 14, 6, 3, 15, 5, 1, 13, 12, 7, 11, 4, 2, 8},
     {13, 7, 0, 9, 3, 4, 6, 10, 2, 8, 5, 14, 12, 11, 15, 1},
     {13, 6, 4, 9, 8, 15, 3, 0, 11, 1, 2, 12, 5, 10, 14, 7},
     {1, 10, 13, 0, 6, 9, 8, 7, 4, 15, 14, 3, 11, 5, 2, 12}},
    {{7, 13, 14, 3, 0, 6, 9, 10, 1, 2, 8, 5, 11, 12, 4, 15},
     {13, 8, 11, 5, 6, 15, 0, 3, 4, 7, 2, 12, 1, 10, 14, 9},
     {10, 6, 9, 0, 12, 11, 7, 13, 15, 1, 3, 14, 5, 2, 8, 4},
     {3, 15, 0, 6, 10, 1, 13, 8, 9, 4, 5, 11, 12, 7, 2, 14}},
    {{2, 12, 4, 1, 7, 10, 11, 6, 8, 5, 3, 15, 13, 0, 14, 9},
     {14, 11, 2, 12, 4, 7, 13, 1, 5, 0, 15, 10, 3, 9, 8, 6},
     {4, 2, 1, 11, 10, 13, 7, 8, 15, 9, 12, 5, 6, 3, 0, 14},
     {11, 8, 12, 7, 1, 14, 2, 13, 6, 15, 0, 9, 10, 4, 5, 3}},
    {{12, 1, 10, 15, 9, 2, 6, 8, 0, 13, 3, 4, 14, 7, 5, 11},
     {10, 15, 4, 2, 7, 12, 9, 5, 6, 1, 13, 14, 0, 11, 3, 8},
     {9, 14, 15, 5, 2, 8, 12, 3, 7, 0, 4, 10, 1, 13, 11, 6},
     {4, 3, 2, 12, 9, 5, 15, 10, 11, 14, 1, 7, 6, 0, 8, 13}},
    {{4, 11, 2, 14, 15, 0, 8, 13, 3, 12, 9, 7, 5, 10, 6, 1},
     {13, 0, 11, 7, 4, 9, 1, 10, 14, 3, 5, 12, 2, 15, 8, 6},
     {1, 4, 11, 13, 12, 3, 7, 14, 10, 15, 6, 8, 0, 5, 9, 2},
     {6, 11, 13, 8, 1, 4, 10, 7, 9, 5, 0, 15, 14, 2, 3, 12}},
    {{13, 2, 8, 4, 6, 15, 11, 1, 10, 9, 3, 14, 5, 0, 12, 7},
     {1, 15, 13, 8, 10, 3, 7, 4, 12, 5, 6, 11, 0, 14, 9, 2},
     {7, 11, 4, 1, 9, 12, 14, 2, 0, 6, 10, 13, 15, 3, 5, 8},
     {2, 1, 14, 7, 4, 10, 8, 13, 15, 12, 9, 0, 3, 5, 6, 11}},
};

// Key schedule: permuted choices PC-1 (64 -> 56 bits) and PC-2 (56 -> 48 bits), and the number of
// left shifts of C and D before each round.
// clang-format off
constexpr uint8_t kPc1[56] = {
    57, 49, 41, 33, 25, 17,  9,
     1, 58, 50, 42, 34, 26, 18,
    10,  2, 59, 51, 43, 35, 27,
    19, 11,  3, 60, 52, 44, 36,
    63, 55, 47, 39, 31, 23, 15,
     7, 62, 54, 46, 38, 30, 22,
    14,  6, 61, 53, 45, 37, 29,
    21, 13,  5, 28, 20, 12,  4,
};
constexpr uint8_t kPc2[48] = {
    14, 17, 11, 24,  1,  5,
     3, 28, 15,  6, 21, 10,
    23, 19, 12,  4, 26,  8,
    16,  7, 27, 20, 13,  2,
    41, 52, 31, 37, 47, 55,
    30, 40, 51, 45, 33, 48,
    44, 49, 39, 56, 34, 53,
    46, 42, 50, 36, 29, 32,
};
// clang-format on
constexpr uint8_t kShifts[16] = {1, 1, 2, 2, 2, 2, 2, 2, 1, 2, 2, 2, 2, 2, 2, 1};

// Permute gives the table.size()-bit value whose bit i (1-based from the top) is bit table[i] of
// the in_bits-bit value `in`.
template <size_t N>
constexpr uint64_t Permute(uint64_t in, int in_bits, const uint8_t (&table)[N]) {
    uint64_t out = 0;
    for (const uint8_t position : table) {
        out = (out << 1) | ((in >> (in_bits - position)) & 1);
    }
    return out;
}

constexpr bool FpInvertsIp() {
    for (int bit = 0; bit < 64; ++bit) {
        const uint64_t value = uint64_t{1} << bit;
        if (Permute(Permute(value, 64, kIp), 64, kFp) != value) {
            return false;
        }
    }
    return true;
}
static_assert(FpInvertsIp(), "IP^-1 must invert IP");

// kSp[j][x] is P applied to the output of S(j+1) for the 6-bit input x, placed at its four bits
// of the 32-bit S-box output, so that f is the OR of eight lookups.
using SpTable = std::array<std::array<uint32_t, 64>, 8>;

constexpr SpTable MakeSpTable() {
    SpTable table{};
    for (int box = 0; box < 8; ++box) {
        for (int x = 0; x < 64; ++x) {
            // FIPS 46-3: the outer bits of the six select the row, the inner four the column.
            const int row = ((x >> 4) & 2) | (x & 1);
            const int column = (x >> 1) & 0xF;
            const uint64_t s_out = uint64_t{kS[box][row][column]} << (28 - 4 * box);
            table[box][x] = static_cast<uint32_t>(Permute(s_out, 32, kP));
        }
    }
    return table;
}
constexpr SpTable kSp = MakeSpTable();

uint64_t Load(std::span<const uint8_t, 8> bytes) {
    return byte_order::LoadBe64(bytes.data());
}

void Store(uint64_t value, std::span<uint8_t, 8> bytes) {
    byte_order::StoreBe64(bytes.data(), value);
}

// SwapMove exchanges the bits of (a >> shift) selected by mask with the same bits of b.
constexpr void SwapMove(uint32_t& a, uint32_t& b, int shift, uint32_t mask) {
    const uint32_t w = ((a >> shift) ^ b) & mask;
    b ^= w;
    a ^= w << shift;
}

// IP and IP^-1 by five exchanges of bit groups between the halves (the swap-move form of the
// permutations, as in Outerbridge's public-domain DES); static_asserts below prove them equal to
// the tables.
constexpr uint64_t InitialPermutation(uint64_t block) {
    auto l = static_cast<uint32_t>(block >> 32);
    auto r = static_cast<uint32_t>(block);
    SwapMove(l, r, 4, 0x0F0F0F0Fu);
    SwapMove(l, r, 16, 0x0000FFFFu);
    SwapMove(r, l, 2, 0x33333333u);
    SwapMove(r, l, 8, 0x00FF00FFu);
    r = std::rotl(r, 1);
    SwapMove(r, l, 0, 0xAAAAAAAAu);
    r = std::rotr(r, 1);
    return (uint64_t{l} << 32) | r;
}

constexpr uint64_t FinalPermutation(uint64_t preoutput) {
    auto hi = static_cast<uint32_t>(preoutput >> 32);
    uint32_t lo = std::rotl(static_cast<uint32_t>(preoutput), 1);
    SwapMove(lo, hi, 0, 0xAAAAAAAAu);
    lo = std::rotr(lo, 1);
    SwapMove(lo, hi, 8, 0x00FF00FFu);
    SwapMove(lo, hi, 2, 0x33333333u);
    SwapMove(hi, lo, 16, 0x0000FFFFu);
    SwapMove(hi, lo, 4, 0x0F0F0F0Fu);
    return (uint64_t{hi} << 32) | lo;
}

// A permutation of bits is linear: agreeing on every single bit is agreeing everywhere.
constexpr bool SwapMovesMatchTheTables() {
    for (int bit = 0; bit < 64; ++bit) {
        const uint64_t value = uint64_t{1} << bit;
        if (InitialPermutation(value) != Permute(value, 64, kIp) ||
            FinalPermutation(value) != Permute(value, 64, kFp)) {
            return false;
        }
    }
    return true;
}
static_assert(SwapMovesMatchTheTables(), "the swap-move IP and IP^-1 must equal the tables");

// The rounds keep both halves rotated right by one bit: E then reads the groups of S1, S3, S5, S7
// at bit offsets 26, 18, 10, 2 of the rotated half, and those of S2, S4, S6, S8 at the same offsets
// after a further rotation left by 4. kSpRotated holds f's outputs rotated the same way, so a
// round needs one rotation instead of two.
constexpr SpTable MakeRotatedSpTable() {
    SpTable table{};
    for (size_t box = 0; box < 8; ++box) {
        for (size_t x = 0; x < 64; ++x) {
            table[box][x] = std::rotr(kSp[box][x], 1);
        }
    }
    return table;
}
constexpr SpTable kSpRotated = MakeRotatedSpTable();

// F is the cipher function f(R, K) on a rotated half, giving a rotated result; the round key is
// packed to match (DesPrepare), so f is one rotation, two XORs and eight lookups.
inline uint32_t F(uint32_t rotated_r, uint32_t k_odd, uint32_t k_even) {
    const uint32_t u = rotated_r ^ k_odd;
    const uint32_t t = std::rotl(rotated_r, 4) ^ k_even;
    return kSpRotated[0][u >> 26] | kSpRotated[2][(u >> 18) & 0x3F] |
           kSpRotated[4][(u >> 10) & 0x3F] | kSpRotated[6][(u >> 2) & 0x3F] |
           kSpRotated[1][t >> 26] | kSpRotated[3][(t >> 18) & 0x3F] |
           kSpRotated[5][(t >> 10) & 0x3F] | kSpRotated[7][(t >> 2) & 0x3F];
}

// SixteenRounds runs the rounds on N independent blocks at once (their chains interleave, which
// keeps the table lookups of several blocks in flight) and leaves each as R16 L16.
template <size_t N>
inline void SixteenRounds(uint32_t (&l)[N], uint32_t (&r)[N], const DesCipherKeys& keys,
                          bool decrypt) {
    for (int round = 0; round < 16; ++round) {
        const size_t k = 2 * static_cast<size_t>(decrypt ? 15 - round : round);
        for (size_t i = 0; i < N; ++i) {
            const uint32_t next = l[i] ^ F(r[i], keys.words[k], keys.words[k + 1]);
            l[i] = r[i];
            r[i] = next;
        }
    }
    for (size_t i = 0; i < N; ++i) {
        std::swap(l[i], r[i]);
    }
}

// Transform takes N blocks through single DES or EDE/DED triple DES (NIST SP 800-67 3.1). Between
// the stages of triple DES, IP^-1 and IP cancel, so only the halves swap; IP and IP^-1 run once.
template <size_t N>
inline void Transform(uint64_t (&blocks)[N], const DesCipherKeys* keys, int parts, bool decrypt) {
    uint32_t l[N];
    uint32_t r[N];
    for (size_t i = 0; i < N; ++i) {
        const uint64_t permuted = InitialPermutation(blocks[i]);
        l[i] = std::rotr(static_cast<uint32_t>(permuted >> 32), 1);
        r[i] = std::rotr(static_cast<uint32_t>(permuted), 1);
    }
    if (parts == 1) {
        SixteenRounds(l, r, keys[0], decrypt);
    } else {
        const DesCipherKeys& k1 = keys[0];
        const DesCipherKeys& k2 = keys[1];
        const DesCipherKeys& k3 = parts == 3 ? keys[2] : keys[0];
        SixteenRounds(l, r, decrypt ? k3 : k1, decrypt);
        SixteenRounds(l, r, k2, !decrypt);
        SixteenRounds(l, r, decrypt ? k1 : k3, decrypt);
    }
    for (size_t i = 0; i < N; ++i) {
        blocks[i] = FinalPermutation((uint64_t{std::rotl(l[i], 1)} << 32) | std::rotl(r[i], 1));
    }
}

}  // namespace

DesRoundKeys DesKeySchedule(std::span<const uint8_t, 8> key) {
    constexpr uint32_t kMask28 = (1u << 28) - 1;
    const uint64_t cd = Permute(Load(key), 64, kPc1);
    uint32_t c = static_cast<uint32_t>(cd >> 28) & kMask28;
    uint32_t d = static_cast<uint32_t>(cd) & kMask28;
    DesRoundKeys schedule{};
    for (int round = 0; round < 16; ++round) {
        const int s = kShifts[round];
        c = ((c << s) | (c >> (28 - s))) & kMask28;
        d = ((d << s) | (d >> (28 - s))) & kMask28;
        const uint64_t k = Permute((uint64_t{c} << 28) | d, 56, kPc2);
        for (int group = 0; group < 8; ++group) {
            schedule[round][group] = static_cast<uint8_t>((k >> (42 - 6 * group)) & 0x3F);
        }
    }
    return schedule;
}

DesCipherKeys DesPrepare(const DesRoundKeys& schedule) {
    DesCipherKeys keys{};
    for (size_t round = 0; round < 16; ++round) {
        const auto& g = schedule[round];
        keys.words[2 * round] = (uint32_t{g[0]} << 26) | (uint32_t{g[2]} << 18) |
                                (uint32_t{g[4]} << 10) | (uint32_t{g[6]} << 2);
        keys.words[2 * round + 1] = (uint32_t{g[1]} << 26) | (uint32_t{g[3]} << 18) |
                                    (uint32_t{g[5]} << 10) | (uint32_t{g[7]} << 2);
    }
    return keys;
}

uint64_t DesBlock(uint64_t block, const DesCipherKeys& keys, bool decrypt) {
    uint64_t blocks[1] = {block};
    Transform(blocks, &keys, 1, decrypt);
    return blocks[0];
}

uint64_t DesBlock(uint64_t block, const DesRoundKeys& schedule, bool decrypt) {
    return DesBlock(block, DesPrepare(schedule), decrypt);
}

void DesEncryptBlock(std::span<const uint8_t, 8> key, std::span<const uint8_t, 8> in,
                     std::span<uint8_t, 8> out) {
    Store(DesBlock(Load(in), DesKeySchedule(key), false), out);
}

void DesDecryptBlock(std::span<const uint8_t, 8> key, std::span<const uint8_t, 8> in,
                     std::span<uint8_t, 8> out) {
    Store(DesBlock(Load(in), DesKeySchedule(key), true), out);
}

bool DesCrypt(bool decrypt, bool cbc, std::span<const uint8_t> input, std::span<uint8_t> output,
              std::span<uint8_t, 8> chain, std::span<const uint8_t> key) {
    if (input.empty() || input.size() % 8 != 0 || output.size() != input.size() || key.size() < 8) {
        return false;
    }
    const int parts = static_cast<int>(std::min<size_t>(key.size() / 8, 3));
    DesCipherKeys keys[3];
    for (int part = 0; part < parts; ++part) {
        keys[part] = DesPrepare(DesKeySchedule(key.subspan(8 * part).first<8>()));
    }

    uint64_t v = Load(chain);
    size_t offset = 0;
    // ECB and CBC decryption have independent blocks: eight at a time while eight remain.
    if (!cbc || decrypt) {
        constexpr size_t kWay = 8;
        for (; offset + 8 * kWay <= input.size(); offset += 8 * kWay) {
            uint64_t in[kWay];
            uint64_t out[kWay];
            for (size_t i = 0; i < kWay; ++i) {
                in[i] = Load(input.subspan(offset + 8 * i).first<8>());
                out[i] = in[i];
            }
            Transform(out, keys, parts, decrypt);
            for (size_t i = 0; i < kWay; ++i) {
                if (cbc) {
                    out[i] ^= i == 0 ? v : in[i - 1];
                }
                Store(out[i], output.subspan(offset + 8 * i).first<8>());
            }
            v = in[kWay - 1];
        }
    }
    for (; offset < input.size(); offset += 8) {
        // Read the whole block before writing, so that output may be the input buffer.
        const uint64_t in = Load(input.subspan(offset).first<8>());
        uint64_t out[1] = {cbc && !decrypt ? in ^ v : in};
        Transform(out, keys, parts, decrypt);
        if (cbc && decrypt) {
            out[0] ^= v;
            v = in;
        } else if (cbc) {
            v = out[0];
        }
        Store(out[0], output.subspan(offset).first<8>());
    }
    if (cbc) {
        Store(v, chain);
    }
    return true;
}

#include "crypto/sm4.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <limits>

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
        w.x[i] = uint32_t{bytes[4 * i]} << 24 | uint32_t{bytes[4 * i + 1]} << 16 |
                 uint32_t{bytes[4 * i + 2]} << 8 | uint32_t{bytes[4 * i + 3]};
    }
    return w;
}

void Store(const Words& w, uint8_t* bytes) {
    for (int i = 0; i < 4; ++i) {
        bytes[4 * i] = static_cast<uint8_t>(w.x[i] >> 24);
        bytes[4 * i + 1] = static_cast<uint8_t>(w.x[i] >> 16);
        bytes[4 * i + 2] = static_cast<uint8_t>(w.x[i] >> 8);
        bytes[4 * i + 3] = static_cast<uint8_t>(w.x[i]);
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
    for (size_t offset = 0; offset < in.size(); offset += 16) {
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
    for (size_t offset = 0; offset < in.size(); offset += 16) {
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
    auto go_on = [&] { return ++done % kStepEvery != 0 || StepOrContinue(progress, done, total); };

    if (!cbc) {
        // ECB blocks are independent: take each through all its passes while it sits in
        // registers.
        for (size_t offset = 0; offset < data.size(); offset += 16) {
            Words x = Load(&data[offset]);
            for (uint64_t pass = 0; pass < passes; ++pass) {
                x = Transform(rk, x);
                if (!go_on()) {
                    Store(x, &data[offset]);
                    return false;
                }
            }
            Store(x, &data[offset]);
        }
    } else {
        Words v = Load(chain.data());
        for (uint64_t pass = 0; pass < passes; ++pass) {
            for (size_t offset = 0; offset < data.size(); offset += 16) {
                v = CbcBlock(rk, encrypt, v, &data[offset], &data[offset]);
                if (!go_on()) {
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

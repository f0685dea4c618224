#include "crypto/aes.h"

#include <algorithm>
#include <cstddef>

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
    ByteTable box{};
    for (int x = 0; x < 256; ++x) {
        // x^254 is the inverse of x in GF(2^8), and 0 for x = 0: 254 = 2 + 4 + ... + 128, so
        // seven squarings and products (few enough for every compiler's constexpr step limit).
        uint8_t inverse = 1;
        uint8_t power = static_cast<uint8_t>(x);
        for (int i = 1; i < 8; ++i) {
            power = GfMul(power, power);
            inverse = GfMul(inverse, power);
        }
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

constexpr ByteTable MakeMulTable(uint8_t factor) {
    ByteTable table{};
    for (int x = 0; x < 256; ++x) {
        table[x] = GfMul(static_cast<uint8_t>(x), factor);
    }
    return table;
}

constexpr ByteTable kSBox = MakeSBox();
constexpr ByteTable kInvSBox = MakeInverse(kSBox);
// Entries of FIPS 197 Figure 7, including the worked example S(53) = ED.
static_assert(kSBox[0x00] == 0x63 && kSBox[0x53] == 0xED && kSBox[0xFF] == 0x16);
static_assert(kInvSBox[0x63] == 0x00 && kInvSBox[0xED] == 0x53);

constexpr ByteTable kMul2 = MakeMulTable(0x02);
constexpr ByteTable kMul3 = MakeMulTable(0x03);
constexpr ByteTable kMul9 = MakeMulTable(0x09);
constexpr ByteTable kMul11 = MakeMulTable(0x0B);
constexpr ByteTable kMul13 = MakeMulTable(0x0D);
constexpr ByteTable kMul14 = MakeMulTable(0x0E);

using State = std::array<uint8_t, 16>;

void SubBytes(State& s, const ByteTable& box) {
    for (uint8_t& b : s) {
        b = box[b];
    }
}

// FIPS 197 5.1.2: row r moves r columns to the left; byte (r, c) is s[r + 4c].
void ShiftRows(State& s) {
    const State t = s;
    for (int r = 1; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            s[r + 4 * c] = t[r + 4 * ((c + r) % 4)];
        }
    }
}

// FIPS 197 5.3.1: row r moves r columns to the right.
void InvShiftRows(State& s) {
    const State t = s;
    for (int r = 1; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            s[r + 4 * ((c + r) % 4)] = t[r + 4 * c];
        }
    }
}

// FIPS 197 5.1.3: each column times {03}x^3 + {01}x^2 + {01}x + {02}.
void MixColumns(State& s) {
    for (int c = 0; c < 4; ++c) {
        uint8_t* col = &s[4 * c];
        const uint8_t a0 = col[0], a1 = col[1], a2 = col[2], a3 = col[3];
        col[0] = static_cast<uint8_t>(kMul2[a0] ^ kMul3[a1] ^ a2 ^ a3);
        col[1] = static_cast<uint8_t>(a0 ^ kMul2[a1] ^ kMul3[a2] ^ a3);
        col[2] = static_cast<uint8_t>(a0 ^ a1 ^ kMul2[a2] ^ kMul3[a3]);
        col[3] = static_cast<uint8_t>(kMul3[a0] ^ a1 ^ a2 ^ kMul2[a3]);
    }
}

// FIPS 197 5.3.3: each column times {0b}x^3 + {0d}x^2 + {09}x + {0e}.
void InvMixColumns(State& s) {
    for (int c = 0; c < 4; ++c) {
        uint8_t* col = &s[4 * c];
        const uint8_t a0 = col[0], a1 = col[1], a2 = col[2], a3 = col[3];
        col[0] = static_cast<uint8_t>(kMul14[a0] ^ kMul11[a1] ^ kMul13[a2] ^ kMul9[a3]);
        col[1] = static_cast<uint8_t>(kMul9[a0] ^ kMul14[a1] ^ kMul11[a2] ^ kMul13[a3]);
        col[2] = static_cast<uint8_t>(kMul13[a0] ^ kMul9[a1] ^ kMul14[a2] ^ kMul11[a3]);
        col[3] = static_cast<uint8_t>(kMul11[a0] ^ kMul13[a1] ^ kMul9[a2] ^ kMul14[a3]);
    }
}

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
    m_key.fill(0);
    std::copy(key.begin(), key.end(), m_key.begin());

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
    return true;
}

// The round key of round r is w[r * Nb .. (r + 1) * Nb - 1], whose byte k lines up with state
// byte k (FIPS 197 5.1.4).
void CAesCipher::AddRoundKey(int round) {
    const uint8_t* w = &m_roundKeys[static_cast<size_t>(16 * round)];
    for (int k = 0; k < 16; ++k) {
        m_state[k] ^= w[k];
    }
}

void CAesCipher::EncryptBlock(std::span<const uint8_t, 16> in, std::span<uint8_t, 16> out) {
    std::copy(in.begin(), in.end(), m_state.begin());
    AddRoundKey(0);
    for (int round = 1; round < m_nr; ++round) {
        SubBytes(m_state, kSBox);
        ShiftRows(m_state);
        MixColumns(m_state);
        AddRoundKey(round);
    }
    SubBytes(m_state, kSBox);
    ShiftRows(m_state);
    AddRoundKey(m_nr);
    std::copy(m_state.begin(), m_state.end(), out.begin());
}

void CAesCipher::DecryptBlock(std::span<const uint8_t, 16> in, std::span<uint8_t, 16> out) {
    std::copy(in.begin(), in.end(), m_state.begin());
    AddRoundKey(m_nr);
    for (int round = m_nr - 1; round > 0; --round) {
        InvShiftRows(m_state);
        SubBytes(m_state, kInvSBox);
        AddRoundKey(round);
        InvMixColumns(m_state);
    }
    InvShiftRows(m_state);
    SubBytes(m_state, kInvSBox);
    AddRoundKey(0);
    std::copy(m_state.begin(), m_state.end(), out.begin());
}

bool AesCrypt(bool decrypt, bool cbc, std::span<const uint8_t> input, std::span<uint8_t> output,
              std::span<uint8_t, 16> chain, std::span<const uint8_t> key) {
    CAesCipher cipher;
    if (input.empty() || input.size() % 16 != 0 || output.size() != input.size() ||
        !cipher.SetKey(key)) {
        return false;
    }
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

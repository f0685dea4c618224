#include "crypto/block/cmac.h"

#include <algorithm>
#include <array>

namespace {

using Block = std::array<uint8_t, CBlockCipher::kMaxBlock>;

// Doubling in GF(2^b) (SP 800-38B 6.1 step 2-3): shift left one bit, and if the bit shifted out
// was 1, XOR R_b into the last byte. The XOR is masked so that the time does not depend on the key.
void Double(uint8_t* v, size_t b) {
    const uint8_t r = b == 8 ? 0x1B : 0x87;
    const uint8_t carry_mask = static_cast<uint8_t>(0 - (v[0] >> 7));
    for (size_t i = 0; i + 1 < b; ++i) {
        v[i] = static_cast<uint8_t>(v[i] << 1 | v[i + 1] >> 7);
    }
    v[b - 1] = static_cast<uint8_t>(v[b - 1] << 1 ^ (r & carry_mask));
}

}  // namespace

bool CmacSubkeys(CBlockCipher& cipher, std::span<uint8_t> k1, std::span<uint8_t> k2) {
    const size_t b = cipher.BlockSize();
    if (k1.size() != b || k2.size() != b) {
        return false;
    }
    Block l{};
    cipher.EncryptBlock(l.data(), l.data());
    Double(l.data(), b);
    std::copy_n(l.begin(), b, k1.begin());
    Double(l.data(), b);
    std::copy_n(l.begin(), b, k2.begin());
    return true;
}

bool Cmac(CBlockCipher& cipher, std::span<uint8_t> mac, std::span<const uint8_t> message) {
    const size_t b = cipher.BlockSize();
    Block k1{}, k2{};
    if (mac.size() != b || !CmacSubkeys(cipher, std::span(k1).first(b), std::span(k2).first(b))) {
        return false;
    }
    // SP 800-38B 6.2: n = ceil(Mlen / b), at least 1. A complete last block is XORed with K1;
    // otherwise it is padded with 10^j and XORed with K2.
    const size_t n = message.empty() ? 1 : (message.size() + b - 1) / b;
    const size_t head = (n - 1) * b;
    const size_t tail = message.size() - head;
    Block last{};
    std::copy(message.begin() + static_cast<std::ptrdiff_t>(head), message.end(), last.begin());
    const Block& subkey = tail == b ? k1 : k2;
    if (tail != b) {
        last[tail] = 0x80;
    }
    Block chain{};
    // C_i = E(C_{i-1} XOR M_i) for the first n - 1 blocks, then T = E(C_{n-1} XOR M_n*).
    if (!cipher.CbcMacChain(std::span(chain).first(b), message.first(head))) {
        return false;
    }
    for (size_t i = 0; i < b; ++i) {
        chain[i] = static_cast<uint8_t>(chain[i] ^ last[i] ^ subkey[i]);
    }
    cipher.EncryptBlock(chain.data(), chain.data());
    std::copy_n(chain.begin(), b, mac.begin());
    return true;
}

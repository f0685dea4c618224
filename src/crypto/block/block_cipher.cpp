#include "crypto/block/block_cipher.h"

#include <algorithm>
#include <vector>

namespace {

uint64_t LoadBigEndian64(const uint8_t* p) {
    uint64_t v = 0;
    for (int i = 0; i < 8; ++i) {
        v = v << 8 | p[i];
    }
    return v;
}

void StoreBigEndian64(uint64_t v, uint8_t* p) {
    for (int i = 7; i >= 0; --i) {
        p[i] = static_cast<uint8_t>(v);
        v >>= 8;
    }
}

// The bulk calls expand their key on each call: chunks this large keep that cost small without
// holding much memory.
constexpr size_t kChunkBytes = 16384;

}  // namespace

bool CBlockCipher::SetKey(BlockAlgorithm algorithm, std::span<const uint8_t> key) {
    switch (algorithm) {
        case BlockAlgorithm::kDes: {
            if (key.size() != 8 && key.size() != 16 && key.size() != 24) {
                return false;
            }
            // SP 800-67: keying option 2 (K1, K2, K1) for 16 bytes, option 1 for 24.
            const size_t parts = key.size() / 8;
            for (size_t part = 0; part < 3; ++part) {
                const size_t source = parts == 3 ? part : (parts == 2 && part == 1 ? 1 : 0);
                m_des[part] = DesPrepare(DesKeySchedule(key.subspan(8 * source).first<8>()));
            }
            break;
        }
        case BlockAlgorithm::kAes:
            if (!m_aes.SetKey(key)) {
                return false;
            }
            break;
        case BlockAlgorithm::kSm4:
            if (key.size() != 16) {
                return false;
            }
            Sm4SetEncryptKey(m_sm4Encrypt, key.first<16>());
            Sm4SetDecryptKey(m_sm4Decrypt, key.first<16>());
            break;
    }
    m_algorithm = algorithm;
    m_keySize = key.size();
    std::copy(key.begin(), key.end(), m_key.begin());
    return true;
}

void CBlockCipher::EncryptBlock(const uint8_t* in, uint8_t* out) {
    switch (m_algorithm) {
        case BlockAlgorithm::kDes: {
            // TDES encryption is E(K3, D(K2, E(K1, P))) (SP 800-67 3.1); single DES has
            // K1 = K2 = K3, which collapses to E(K1, P).
            uint64_t v = DesBlock(LoadBigEndian64(in), m_des[0], false);
            if (m_keySize > 8) {
                v = DesBlock(DesBlock(v, m_des[1], true), m_des[2], false);
            }
            StoreBigEndian64(v, out);
            break;
        }
        case BlockAlgorithm::kAes:
            m_aes.EncryptBlock(std::span<const uint8_t, 16>(in, 16),
                               std::span<uint8_t, 16>(out, 16));
            break;
        case BlockAlgorithm::kSm4:
            Sm4CryptBlock(m_sm4Encrypt.rk, std::span<const uint8_t, 16>(in, 16),
                          std::span<uint8_t, 16>(out, 16));
            break;
    }
}

void CBlockCipher::DecryptBlock(const uint8_t* in, uint8_t* out) {
    switch (m_algorithm) {
        case BlockAlgorithm::kDes: {
            // TDES decryption is D(K1, E(K2, D(K3, C))).
            uint64_t v = LoadBigEndian64(in);
            if (m_keySize > 8) {
                v = DesBlock(DesBlock(v, m_des[2], true), m_des[1], false);
            }
            StoreBigEndian64(DesBlock(v, m_des[0], true), out);
            break;
        }
        case BlockAlgorithm::kAes:
            m_aes.DecryptBlock(std::span<const uint8_t, 16>(in, 16),
                               std::span<uint8_t, 16>(out, 16));
            break;
        case BlockAlgorithm::kSm4:
            Sm4CryptBlock(m_sm4Decrypt.rk, std::span<const uint8_t, 16>(in, 16),
                          std::span<uint8_t, 16>(out, 16));
            break;
    }
}

bool CBlockCipher::Ecb(bool decrypt, std::span<const uint8_t> in, std::span<uint8_t> out) {
    if (in.size() % BlockSize() != 0 || out.size() != in.size()) {
        return false;
    }
    if (in.empty()) {
        return true;
    }
    const std::span<const uint8_t> key(m_key.data(), m_keySize);
    std::array<uint8_t, 16> unused_chain{};
    switch (m_algorithm) {
        case BlockAlgorithm::kDes:
            return DesCrypt(decrypt, false, in, out, std::span(unused_chain).first<8>(), key);
        case BlockAlgorithm::kAes:
            return AesCrypt(decrypt, false, in, out, unused_chain, key);
        case BlockAlgorithm::kSm4:
            return Sm4CryptEcb(decrypt ? m_sm4Decrypt : m_sm4Encrypt, in, out);
    }
    return false;
}

bool CBlockCipher::EncryptBlocks(std::span<const uint8_t> in, std::span<uint8_t> out) {
    return Ecb(false, in, out);
}

bool CBlockCipher::DecryptBlocks(std::span<const uint8_t> in, std::span<uint8_t> out) {
    return Ecb(true, in, out);
}

bool CBlockCipher::CbcMacChain(std::span<uint8_t> chain, std::span<const uint8_t> data) {
    if (chain.size() != BlockSize() || data.size() % BlockSize() != 0) {
        return false;
    }
    if (data.empty()) {
        return true;
    }
    const std::span<const uint8_t> key(m_key.data(), m_keySize);
    if (m_algorithm == BlockAlgorithm::kSm4) {
        return Sm4CbcMac(key.first<16>(), chain.first<16>(), data);
    }
    // CBC encryption into a scratch buffer leaves the CBC-MAC value as the chain; the chunks
    // continue one chain.
    std::vector<uint8_t> scratch(std::min(data.size(), kChunkBytes));
    for (size_t offset = 0; offset < data.size(); offset += scratch.size()) {
        const size_t bytes = std::min(scratch.size(), data.size() - offset);
        const std::span<const uint8_t> in = data.subspan(offset, bytes);
        const std::span<uint8_t> out(scratch.data(), bytes);
        const bool done = m_algorithm == BlockAlgorithm::kDes
                              ? DesCrypt(false, true, in, out, chain.first<8>(), key)
                              : AesCrypt(false, true, in, out, chain.first<16>(), key);
        if (!done) {
            return false;
        }
    }
    return true;
}

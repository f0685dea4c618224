// One interface over the block ciphers the workbench offers: DES and two-/three-key TDES (8-byte
// block), AES-128/192/256 and SM4 (16-byte block). The modes, GCM and CMAC run on it; multi-block
// ECB takes each cipher's fast path (AES-NI, SM4 AVX2/GFNI, the interleaved DES rounds).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "crypto/block/aes.h"
#include "crypto/block/des.h"
#include "crypto/block/sm4.h"

enum class BlockAlgorithm { kDes, kAes, kSm4 };

class CBlockCipher {
public:
    // The largest block of any algorithm here, in bytes.
    static constexpr size_t kMaxBlock = 16;

    // SetKey keys the cipher: DES takes 8 bytes (single DES), 16 (two-key TDES, K3 = K1) or 24
    // (three-key TDES, EDE); AES 16, 24 or 32; SM4 16. Any other length returns false and leaves
    // the cipher as it was.
    [[nodiscard]] bool SetKey(BlockAlgorithm algorithm, std::span<const uint8_t> key);

    BlockAlgorithm Algorithm() const { return m_algorithm; }
    // BlockSize gives the block length in bytes: 8 for DES/TDES, 16 for AES and SM4.
    size_t BlockSize() const { return m_algorithm == BlockAlgorithm::kDes ? 8 : 16; }

    // EncryptBlock and DecryptBlock transform one block of BlockSize() bytes from `in` to `out`;
    // both must hold at least one block, and they may be the same buffer.
    void EncryptBlock(const uint8_t* in, uint8_t* out);
    void DecryptBlock(const uint8_t* in, uint8_t* out);

    // EncryptBlocks and DecryptBlocks run ECB over every whole block of `in` into `out` (same
    // size, a multiple of BlockSize(), 0 included; `out` may be `in`), many blocks at a time on
    // the processor's fast path. A size that is not whole blocks, or sizes that differ, return
    // false and write nothing.
    [[nodiscard]] bool EncryptBlocks(std::span<const uint8_t> in, std::span<uint8_t> out);
    [[nodiscard]] bool DecryptBlocks(std::span<const uint8_t> in, std::span<uint8_t> out);

    // CbcMacChain folds whole blocks of `data` into `chain` (BlockSize() bytes: the chaining
    // value on entry and on return): chain := E(block XOR chain) for each block, the CBC-MAC
    // chain. A size that is not whole blocks returns false and leaves `chain` alone.
    [[nodiscard]] bool CbcMacChain(std::span<uint8_t> chain, std::span<const uint8_t> data);

private:
    [[nodiscard]] bool Ecb(bool decrypt, std::span<const uint8_t> in, std::span<uint8_t> out);

    BlockAlgorithm m_algorithm = BlockAlgorithm::kAes;
    std::array<uint8_t, 32> m_key{};
    size_t m_keySize = 16;
    CAesCipher m_aes;
    Sm4Context m_sm4Encrypt;
    Sm4Context m_sm4Decrypt;
    // DES: K1, K2, K3 packed for DesBlock (K3 = K1 for two keys, all three K1 for single DES).
    std::array<DesCipherKeys, 3> m_des{};
};

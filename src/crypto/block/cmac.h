// CMAC (NIST SP 800-38B; RFC 4493 for AES-128) over CBlockCipher: DES/TDES with the 64-bit block
// (R64 = 0x1B) and AES and SM4 with the 128-bit block (R128 = 0x87).
#pragma once

#include <cstdint>
#include <span>

#include "crypto/block/block_cipher.h"

// CmacSubkeys derives the subkeys of SP 800-38B 6.1 into `k1` and `k2` (one block each):
// L = E(0^b), K1 = L doubled in GF(2^b), K2 = K1 doubled. Returns false when either span is not
// one block.
[[nodiscard]] bool CmacSubkeys(CBlockCipher& cipher, std::span<uint8_t> k1, std::span<uint8_t> k2);

// Cmac computes the full-block CMAC of `message` (any length, 0 included) into `mac` (one
// block); a truncated MAC is its leading bytes. Returns false when `mac` is not one block.
[[nodiscard]] bool Cmac(CBlockCipher& cipher, std::span<uint8_t> mac,
                        std::span<const uint8_t> message);

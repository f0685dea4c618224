// The confidentiality modes of NIST SP 800-38A over CBlockCipher: ECB, CBC, CFB with full-block
// feedback (CFB64 for DES/TDES, CFB128 for AES and SM4), OFB and CTR.
#pragma once

#include <cstdint>
#include <span>

#include "crypto/block/block_cipher.h"

enum class CipherMode { kEcb, kCbc, kCfb, kOfb, kCtr };

// How CtrXor steps the counter block: kWholeBlock adds one to the whole block as a big-endian
// integer, wrapping to zero (SP 800-38A B.1, as OpenSSL's CTR does); kLow32Bits adds one to the
// last 32 bits alone, modulo 2^32 (SP 800-38D inc32, for GCM).
enum class CounterIncrement { kWholeBlock, kLow32Bits };

// IsStreamMode tells whether `mode` takes data of any length (CFB, OFB, CTR) rather than whole
// blocks (ECB, CBC).
bool IsStreamMode(CipherMode mode);

// CtrXor XORs the keystream E(counter), E(counter + 1), .. into `in`, giving `out` (same size,
// any length; `out` may be `in`). `counter` (one block) is advanced past every block used, a
// final partial block included; its unused keystream bytes are dropped. Runs many blocks through
// the cipher at a time. Returns false and writes nothing when `counter` is not one block or the
// sizes differ.
[[nodiscard]] bool CtrXor(CBlockCipher& cipher, std::span<uint8_t> counter,
                          CounterIncrement increment, std::span<uint8_t> out,
                          std::span<const uint8_t> in);

// CipherModeCrypt encrypts or decrypts `input` into `output` (same size; `output` may be `input`,
// no other overlap) in `mode` with the initial vector `iv` (one block: the IV of CBC, CFB and OFB,
// the initial counter block of CTR; ignored by ECB). ECB and CBC take whole blocks only; CFB, OFB
// and CTR take any length, 0 included, and end with a partial block as OpenSSL does. Returns false
// and writes nothing when the length does not suit the mode, the sizes differ or the IV is not one
// block.
[[nodiscard]] bool CipherModeCrypt(CBlockCipher& cipher, CipherMode mode, bool decrypt,
                                   std::span<uint8_t> output, std::span<const uint8_t> iv,
                                   std::span<const uint8_t> input);

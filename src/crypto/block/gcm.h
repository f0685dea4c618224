// Galois/Counter Mode and GMAC (NIST SP 800-38D) over a 128-bit block cipher (AES or SM4): GHASH
// through PCLMULQDQ where the processor has it (and KEYWRIGHT_PORTABLE is not 1), portable
// otherwise; the keystream through the cipher's multi-block path.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "crypto/block/block_cipher.h"

// The tag lengths GCM takes, in bytes (SP 800-38D 5.2.1.2 allows 4 and 8 for special uses).
constexpr size_t kGcmMinTagBytes = 4;
constexpr size_t kGcmMaxTagBytes = 16;

// GcmEncrypt encrypts `plaintext` into `ciphertext` (same size; may be the same buffer) and
// writes the tag into `tag` (4 to 16 bytes: its length is the tag length), authenticating `aad`
// as well. `iv` is 1 byte or more: 12 bytes take the fast path, other lengths are hashed into the
// pre-counter block (SP 800-38D 7.1 step 2). Returns false and writes nothing when the cipher's
// block is not 16 bytes, `iv` is empty, the tag length or the sizes are off, or the plaintext is
// over 2^36 - 32 bytes.
[[nodiscard]] bool GcmEncrypt(CBlockCipher& cipher, std::span<uint8_t> ciphertext,
                              std::span<uint8_t> tag, std::span<const uint8_t> iv,
                              std::span<const uint8_t> aad, std::span<const uint8_t> plaintext);

// GcmDecrypt checks `tag` (4 to 16 bytes) over `aad` and `ciphertext` in constant time and, only
// when it matches, decrypts `ciphertext` into `plaintext` (same size; may be the same buffer).
// Returns false and writes nothing on a wrong tag and on any refusal of GcmEncrypt.
[[nodiscard]] bool GcmDecrypt(CBlockCipher& cipher, std::span<uint8_t> plaintext,
                              std::span<const uint8_t> iv, std::span<const uint8_t> aad,
                              std::span<const uint8_t> ciphertext, std::span<const uint8_t> tag);

// Gmac writes the GMAC of `aad` into `tag`: the GCM tag with no plaintext (SP 800-38D 3).
// Refuses as GcmEncrypt does.
[[nodiscard]] bool Gmac(CBlockCipher& cipher, std::span<uint8_t> tag, std::span<const uint8_t> iv,
                        std::span<const uint8_t> aad);

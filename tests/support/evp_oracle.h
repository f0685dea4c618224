// OpenSSL's EVP ciphers as the independent answer for the block-cipher engines, and the random
// inputs the comparisons draw.
#pragma once

#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <cstdint>
#include <optional>
#include <random>
#include <span>
#include <vector>

#include "support/evp_cipher_pass.h"

// EvpCrypt runs one pass of `cipher` over `input` without padding; `iv` is ignored by ECB
// ciphers. A failure inside OpenSSL fails the test.
inline std::vector<uint8_t> EvpCrypt(const EVP_CIPHER* cipher, bool encrypt,
                                     std::span<const uint8_t> input, std::span<const uint8_t> iv,
                                     std::span<const uint8_t> key) {
    std::optional<std::vector<uint8_t>> out = EvpCipherPass(cipher, encrypt, key, iv, input);
    EXPECT_TRUE(out.has_value());
    return out.value_or(std::vector<uint8_t>{});
}

inline std::vector<uint8_t> RandomBytes(std::mt19937& rng, size_t n) {
    std::vector<uint8_t> bytes(n);
    for (uint8_t& b : bytes) {
        b = static_cast<uint8_t>(rng());
    }
    return bytes;
}

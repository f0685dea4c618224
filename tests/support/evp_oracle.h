// OpenSSL's EVP ciphers as the independent answer for the block-cipher engines, and the random
// inputs the comparisons draw.
#pragma once

#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <cstdint>
#include <random>
#include <span>
#include <vector>

// EvpCrypt runs one pass of `cipher` over `input` without padding; `iv` is ignored by ECB
// ciphers. A failure inside OpenSSL fails the test.
inline std::vector<uint8_t> EvpCrypt(const EVP_CIPHER* cipher, bool encrypt,
                                     std::span<const uint8_t> input, std::span<const uint8_t> iv,
                                     std::span<const uint8_t> key) {
    EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
    std::vector<uint8_t> out(input.size() + 32);
    int written = 0, final_written = 0;
    const bool ok =
        EVP_CipherInit_ex(ctx, cipher, nullptr, key.data(), iv.data(), encrypt ? 1 : 0) == 1 &&
        EVP_CIPHER_CTX_set_padding(ctx, 0) == 1 &&
        EVP_CipherUpdate(ctx, out.data(), &written, input.data(), static_cast<int>(input.size())) ==
            1 &&
        EVP_CipherFinal_ex(ctx, out.data() + written, &final_written) == 1;
    EVP_CIPHER_CTX_free(ctx);
    EXPECT_TRUE(ok);
    out.resize(static_cast<size_t>(written + final_written));
    return out;
}

inline std::vector<uint8_t> RandomBytes(std::mt19937& rng, size_t n) {
    std::vector<uint8_t> bytes(n);
    for (uint8_t& b : bytes) {
        b = static_cast<uint8_t>(rng());
    }
    return bytes;
}

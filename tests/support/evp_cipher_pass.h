// One pass of an OpenSSL EVP cipher, the independent answer for the block-cipher engines in the
// tests and the differential fuzz targets (each reports a failure its own way).
#pragma once

#include <openssl/evp.h>

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// EvpCipherPass runs `cipher` over `input` without padding; `iv` is ignored by ECB ciphers.
// Gives nothing when OpenSSL refuses (a partial block, a key it does not take).
inline std::optional<std::vector<uint8_t>> EvpCipherPass(const EVP_CIPHER* cipher, bool encrypt,
                                                         std::span<const uint8_t> key,
                                                         std::span<const uint8_t> iv,
                                                         std::span<const uint8_t> input) {
    EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
    std::vector<uint8_t> out(input.size() + 32);
    int written = 0, final_written = 0;
    const bool ok = EVP_CipherInit_ex(ctx, cipher, nullptr, key.data(),
                                      iv.empty() ? nullptr : iv.data(), encrypt ? 1 : 0) == 1 &&
                    EVP_CIPHER_CTX_set_padding(ctx, 0) == 1 &&
                    EVP_CipherUpdate(ctx, out.data(), &written, input.data(),
                                     static_cast<int>(input.size())) == 1 &&
                    EVP_CipherFinal_ex(ctx, out.data() + written, &final_written) == 1;
    EVP_CIPHER_CTX_free(ctx);
    if (!ok) {
        return std::nullopt;
    }
    out.resize(static_cast<size_t>(written + final_written));
    return out;
}

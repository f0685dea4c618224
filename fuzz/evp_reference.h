// OpenSSL EVP as the independent answer of the differential fuzz targets.
#pragma once

#include <openssl/evp.h>

#include <cstdint>
#include <span>
#include <vector>

#include "fuzz_check.h"

// EvpCipher runs one pass of `cipher` without padding over whole blocks; `iv` is ignored by ECB
// ciphers. A failure inside OpenSSL stops the run.
inline std::vector<uint8_t> EvpCipher(const EVP_CIPHER* cipher, bool encrypt,
                                      std::span<const uint8_t> key, std::span<const uint8_t> iv,
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
    FUZZ_CHECK(ok, "OpenSSL cipher failed");
    out.resize(static_cast<size_t>(written + final_written));
    return out;
}

// EvpDigest gives the digest of `data` with `md`.
inline std::vector<uint8_t> EvpDigest(const EVP_MD* md, std::span<const uint8_t> data) {
    std::vector<uint8_t> digest(EVP_MAX_MD_SIZE);
    unsigned int size = 0;
    FUZZ_CHECK(EVP_Digest(data.data(), data.size(), digest.data(), &size, md, nullptr) == 1,
               "OpenSSL digest failed");
    digest.resize(size);
    return digest;
}

// Splits cuts `size` bytes into pieces at the offsets the fuzzer chose (each a multiple of
// `unit`), for feeding an engine in several calls.
template <typename Provider>
std::vector<size_t> Splits(Provider& in, size_t size, size_t unit) {
    std::vector<size_t> pieces;
    const int count = in.template ConsumeIntegralInRange<int>(0, 6);
    size_t left = size;
    for (int i = 0; i < count && left > 0; ++i) {
        const size_t piece = in.template ConsumeIntegralInRange<size_t>(0, left / unit) * unit;
        pieces.push_back(piece);
        left -= piece;
    }
    pieces.push_back(left);
    return pieces;
}

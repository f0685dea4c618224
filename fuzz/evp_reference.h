// OpenSSL EVP as the independent answer of the differential fuzz targets.
#pragma once

#include <openssl/evp.h>

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "fuzz_check.h"
#include "support/evp_cipher_pass.h"

// EvpCipher runs one pass of `cipher` without padding over whole blocks; `iv` is ignored by ECB
// ciphers. A failure inside OpenSSL stops the run.
inline std::vector<uint8_t> EvpCipher(const EVP_CIPHER* cipher, bool encrypt,
                                      std::span<const uint8_t> key, std::span<const uint8_t> iv,
                                      std::span<const uint8_t> input) {
    std::optional<std::vector<uint8_t>> out = EvpCipherPass(cipher, encrypt, key, iv, input);
    FUZZ_CHECK(out.has_value(), "OpenSSL cipher failed");
    return *out;
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

// ConsumeCipherText draws up to 512 bytes of data, cut to whole blocks of `block` bytes when the
// fuzzer chooses (otherwise the engine's refusal of a partial block is what gets checked).
template <typename Provider>
std::vector<uint8_t> ConsumeCipherText(Provider& in, size_t block) {
    const bool whole = in.ConsumeBool();
    std::vector<uint8_t> text =
        in.template ConsumeBytes<uint8_t>(in.template ConsumeIntegralInRange<size_t>(0, 512));
    if (whole) {
        text.resize(text.size() / block * block);
    }
    return text;
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

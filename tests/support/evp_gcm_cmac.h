// OpenSSL's AES-GCM and CMAC as the independent answer for the GCM and CMAC engines in the tests
// and the differential fuzz targets (each reports a failure its own way).
#pragma once

#include <openssl/core_names.h>
#include <openssl/evp.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

struct EvpGcmResult {
    std::vector<uint8_t> ciphertext;
    std::vector<uint8_t> tag;
};

// EvpGcmEncrypt runs `cipher` (EVP_aes_*_gcm) over `plaintext` with an IV of any length and
// `aad`, giving the ciphertext and a tag of `tag_bytes`. Gives nothing when OpenSSL refuses.
inline std::optional<EvpGcmResult> EvpGcmEncrypt(
    const EVP_CIPHER* cipher, std::span<const uint8_t> key, std::span<const uint8_t> iv,
    std::span<const uint8_t> aad, std::span<const uint8_t> plaintext, size_t tag_bytes) {
    EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
    EvpGcmResult result{std::vector<uint8_t>(plaintext.size() + 16), std::vector<uint8_t>(16)};
    int written = 0, aad_written = 0, final_written = 0;
    const bool ok =
        EVP_EncryptInit_ex(ctx, cipher, nullptr, nullptr, nullptr) == 1 &&
        EVP_CIPHER_CTX_ctrl(ctx, EVP_CTRL_GCM_SET_IVLEN, static_cast<int>(iv.size()), nullptr) ==
            1 &&
        EVP_EncryptInit_ex(ctx, nullptr, nullptr, key.data(), iv.data()) == 1 &&
        (aad.empty() || EVP_EncryptUpdate(ctx, nullptr, &aad_written, aad.data(),
                                          static_cast<int>(aad.size())) == 1) &&
        EVP_EncryptUpdate(ctx, result.ciphertext.data(), &written, plaintext.data(),
                          static_cast<int>(plaintext.size())) == 1 &&
        EVP_EncryptFinal_ex(ctx, result.ciphertext.data() + written, &final_written) == 1 &&
        EVP_CIPHER_CTX_ctrl(ctx, EVP_CTRL_GCM_GET_TAG, static_cast<int>(tag_bytes),
                            result.tag.data()) == 1;
    EVP_CIPHER_CTX_free(ctx);
    if (!ok) {
        return std::nullopt;
    }
    result.ciphertext.resize(static_cast<size_t>(written + final_written));
    result.tag.resize(tag_bytes);
    return result;
}

// EvpCmac gives the full CMAC of `message` under `key` with the CBC cipher named `cipher_name`
// ("AES-128-CBC", "DES-EDE3-CBC", "SM4-CBC" ...). Gives nothing when OpenSSL refuses.
inline std::optional<std::vector<uint8_t>> EvpCmac(const char* cipher_name,
                                                   std::span<const uint8_t> key,
                                                   std::span<const uint8_t> message) {
    EVP_MAC* mac = EVP_MAC_fetch(nullptr, "CMAC", nullptr);
    EVP_MAC_CTX* ctx = mac == nullptr ? nullptr : EVP_MAC_CTX_new(mac);
    std::string name = cipher_name;
    const OSSL_PARAM params[] = {
        OSSL_PARAM_construct_utf8_string(OSSL_MAC_PARAM_CIPHER, name.data(), 0),
        OSSL_PARAM_construct_end()};
    std::vector<uint8_t> out(16);
    size_t written = 0;
    const bool ok = ctx != nullptr && EVP_MAC_init(ctx, key.data(), key.size(), params) == 1 &&
                    EVP_MAC_update(ctx, message.data(), message.size()) == 1 &&
                    EVP_MAC_final(ctx, out.data(), &written, out.size()) == 1;
    EVP_MAC_CTX_free(ctx);
    EVP_MAC_free(mac);
    if (!ok) {
        return std::nullopt;
    }
    out.resize(written);
    return out;
}

// The block ciphers over 16 KiB beside OpenSSL's EVP ciphers on the same key and data, and the
// million-fold SM4 encryption of GB/T 32907's second example. Our calls are the ones the pages
// make, key expansion included; OpenSSL's context is keyed once and only its IV is reset per run.
#include <openssl/evp.h>
#include <openssl/provider.h>

#include <array>
#include <cstdint>
#include <vector>

#include "bench_support.h"
#include "crypto/block/aes.h"
#include "crypto/block/des.h"
#include "crypto/block/sm4.h"

namespace {

constexpr std::array<uint8_t, 32> kKey = {
    0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF, 0xFE, 0xDC, 0xBA, 0x98, 0x76, 0x54, 0x32, 0x10,
    0x0F, 0x1E, 0x2D, 0x3C, 0x4B, 0x5A, 0x69, 0x78, 0x87, 0x96, 0xA5, 0xB4, 0xC3, 0xD2, 0xE1, 0xF0};
constexpr int kMillion = 1000000;

// Single DES is only in OpenSSL's legacy provider; loading it by name also needs the default one.
bool LoadLegacyProvider() {
    static const bool loaded = OSSL_PROVIDER_load(nullptr, "default") != nullptr &&
                               OSSL_PROVIDER_load(nullptr, "legacy") != nullptr;
    return loaded;
}

// One OpenSSL row: `name` fetched once, keyed once, then one update over the input per run.
void OpenSslCipher(benchmark::State& state, const char* name, bool encrypt, size_t key_bytes) {
    if (!LoadLegacyProvider()) {
        state.SkipWithError("OpenSSL's legacy provider did not load");
        return;
    }
    EVP_CIPHER* cipher = EVP_CIPHER_fetch(nullptr, name, nullptr);
    EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
    const std::array<uint8_t, 16> iv{};
    if (cipher == nullptr || static_cast<size_t>(EVP_CIPHER_get_key_length(cipher)) != key_bytes ||
        EVP_CipherInit_ex(ctx, cipher, nullptr, kKey.data(), iv.data(), encrypt ? 1 : 0) != 1) {
        state.SkipWithError("OpenSSL has no such cipher");
    } else {
        EVP_CIPHER_CTX_set_padding(ctx, 0);
        std::vector<uint8_t> data = ThroughputInput();
        MeasureBytes(state, [&] {
            int written = 0;
            EVP_CipherInit_ex(ctx, nullptr, nullptr, nullptr, iv.data(), -1);
            EVP_CipherUpdate(ctx, data.data(), &written, data.data(),
                             static_cast<int>(data.size()));
            benchmark::DoNotOptimize(data.data());
        });
    }
    EVP_CIPHER_CTX_free(ctx);
    EVP_CIPHER_free(cipher);
}

template <typename Crypt>
void OursCipher(benchmark::State& state, Crypt crypt) {
    std::vector<uint8_t> data = ThroughputInput();
    MeasureBytes(state, [&] {
        if (!crypt(std::span<uint8_t>(data))) {
            state.SkipWithError("the engine refused");
        }
        benchmark::DoNotOptimize(data.data());
    });
}

void OursDes(benchmark::State& state, bool cbc, size_t key_bytes) {
    OursCipher(state, [&](std::span<uint8_t> data) {
        std::array<uint8_t, 8> chain{};
        return DesCrypt(false, cbc, data, data, chain, std::span(kKey).first(key_bytes));
    });
}

void OursAes(benchmark::State& state, bool decrypt, bool cbc, size_t key_bytes) {
    OursCipher(state, [&](std::span<uint8_t> data) {
        std::array<uint8_t, 16> chain{};
        return AesCrypt(decrypt, cbc, data, data, chain, std::span(kKey).first(key_bytes));
    });
}

void OursSm4(benchmark::State& state, bool encrypt, bool cbc) {
    OursCipher(state, [&](std::span<uint8_t> data) {
        std::array<uint8_t, 16> chain{};
        return Sm4Crypt(std::span(kKey).first<16>(), encrypt, cbc, 1, data, chain);
    });
}

// GB/T 32907 example 2: the example block encrypted 1 000 000 times under the example key, the
// SM4 page's defaults.
void OursSm4Million(benchmark::State& state) {
    MeasureOps(state, [&] {
        std::array<uint8_t, 16> block;
        std::copy_n(kKey.begin(), 16, block.begin());
        std::array<uint8_t, 16> chain{};
        if (!Sm4Crypt(std::span(kKey).first<16>(), true, false, kMillion, block, chain)) {
            state.SkipWithError("Sm4Crypt refused");
        }
        benchmark::DoNotOptimize(block);
    });
}

// One EVP update per block, each fed the previous output.
void OpenSslSm4Million(benchmark::State& state) {
    EVP_CIPHER* cipher = EVP_CIPHER_fetch(nullptr, "SM4-ECB", nullptr);
    EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
    EVP_EncryptInit_ex(ctx, cipher, nullptr, kKey.data(), nullptr);
    EVP_CIPHER_CTX_set_padding(ctx, 0);
    MeasureOps(state, [&] {
        std::array<uint8_t, 16> block;
        std::copy_n(kKey.begin(), 16, block.begin());
        int written = 0;
        for (int i = 0; i < kMillion; ++i) {
            EVP_EncryptUpdate(ctx, block.data(), &written, block.data(), 16);
        }
        benchmark::DoNotOptimize(block);
    });
    EVP_CIPHER_CTX_free(ctx);
    EVP_CIPHER_free(cipher);
}

const bool kRegistered = [] {
    Register("ours", "des-ecb", [](benchmark::State& s) { OursDes(s, false, 8); });
    Register("openssl", "des-ecb",
             [](benchmark::State& s) { OpenSslCipher(s, "DES-ECB", true, 8); });
    Register("ours", "3des-ecb", [](benchmark::State& s) { OursDes(s, false, 24); });
    Register("openssl", "3des-ecb",
             [](benchmark::State& s) { OpenSslCipher(s, "DES-EDE3-ECB", true, 24); });
    Register("ours", "3des-cbc-enc", [](benchmark::State& s) { OursDes(s, true, 24); });
    Register("openssl", "3des-cbc-enc",
             [](benchmark::State& s) { OpenSslCipher(s, "DES-EDE3-CBC", true, 24); });

    Register("ours", "aes128-ecb-enc", [](benchmark::State& s) { OursAes(s, false, false, 16); });
    Register("openssl", "aes128-ecb-enc",
             [](benchmark::State& s) { OpenSslCipher(s, "AES-128-ECB", true, 16); });
    Register("ours", "aes128-cbc-enc", [](benchmark::State& s) { OursAes(s, false, true, 16); });
    Register("openssl", "aes128-cbc-enc",
             [](benchmark::State& s) { OpenSslCipher(s, "AES-128-CBC", true, 16); });
    Register("ours", "aes128-cbc-dec", [](benchmark::State& s) { OursAes(s, true, true, 16); });
    Register("openssl", "aes128-cbc-dec",
             [](benchmark::State& s) { OpenSslCipher(s, "AES-128-CBC", false, 16); });
    Register("ours", "aes256-ecb-enc", [](benchmark::State& s) { OursAes(s, false, false, 32); });
    Register("openssl", "aes256-ecb-enc",
             [](benchmark::State& s) { OpenSslCipher(s, "AES-256-ECB", true, 32); });

    Register("ours", "sm4-ecb", [](benchmark::State& s) { OursSm4(s, true, false); });
    Register("openssl", "sm4-ecb",
             [](benchmark::State& s) { OpenSslCipher(s, "SM4-ECB", true, 16); });
    Register("ours", "sm4-cbc-enc", [](benchmark::State& s) { OursSm4(s, true, true); });
    Register("openssl", "sm4-cbc-enc",
             [](benchmark::State& s) { OpenSslCipher(s, "SM4-CBC", true, 16); });
    Register("ours", "sm4-cbc-dec", [](benchmark::State& s) { OursSm4(s, false, true); });
    Register("openssl", "sm4-cbc-dec",
             [](benchmark::State& s) { OpenSslCipher(s, "SM4-CBC", false, 16); });
    Register("ours", "sm4-million", OursSm4Million)->Unit(benchmark::kMillisecond);
    Register("openssl", "sm4-million", OpenSslSm4Million)->Unit(benchmark::kMillisecond);
    return true;
}();

}  // namespace

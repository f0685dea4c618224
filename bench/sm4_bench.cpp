// The million-fold SM4 encryption of GB/T 32907's second example (one block, ECB, repeat
// 1 000 000) beside OpenSSL encrypting one block a million times, and AES-128 ECB/CBC over 1 KiB
// beside OpenSSL.
#include <benchmark/benchmark.h>
#include <openssl/evp.h>

#include <array>
#include <cstdint>
#include <vector>

#include "crypto/aes.h"
#include "crypto/sm4.h"

namespace {

constexpr std::array<uint8_t, 16> kExampleKey = {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF,
                                                 0xFE, 0xDC, 0xBA, 0x98, 0x76, 0x54, 0x32, 0x10};
constexpr int kMillion = 1000000;

void BM_Sm4MillionFold(benchmark::State& state) {
    for (auto _ : state) {
        std::array<uint8_t, 16> block = kExampleKey;
        std::array<uint8_t, 16> chain{};
        if (!Sm4Crypt(kExampleKey, true, false, kMillion, block, chain)) {
            state.SkipWithError("Sm4Crypt refused");
        }
        benchmark::DoNotOptimize(block);
    }
}
BENCHMARK(BM_Sm4MillionFold)->Unit(benchmark::kMillisecond);

// One EVP update per block, each fed the previous output, as the example prescribes.
void BM_OpenSslSm4MillionFold(benchmark::State& state) {
    EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
    EVP_EncryptInit_ex(ctx, EVP_sm4_ecb(), nullptr, kExampleKey.data(), nullptr);
    EVP_CIPHER_CTX_set_padding(ctx, 0);
    for (auto _ : state) {
        std::array<uint8_t, 16> block = kExampleKey;
        int written = 0;
        for (int i = 0; i < kMillion; ++i) {
            EVP_EncryptUpdate(ctx, block.data(), &written, block.data(), 16);
        }
        benchmark::DoNotOptimize(block);
    }
    EVP_CIPHER_CTX_free(ctx);
}
BENCHMARK(BM_OpenSslSm4MillionFold)->Unit(benchmark::kMillisecond);

constexpr size_t kAesBytes = 1024;

void BM_Aes128(benchmark::State& state) {
    const bool cbc = state.range(0) == 1;
    const std::array<uint8_t, 16> key = kExampleKey;
    std::vector<uint8_t> data(kAesBytes, 0x5A);
    std::array<uint8_t, 16> chain{};
    for (auto _ : state) {
        if (!AesCrypt(false, cbc, data, data, chain, key)) {
            state.SkipWithError("AesCrypt refused");
        }
        benchmark::DoNotOptimize(data);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kAesBytes));
}
BENCHMARK(BM_Aes128)->ArgName("cbc")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_OpenSslAes128(benchmark::State& state) {
    const bool cbc = state.range(0) == 1;
    const std::array<uint8_t, 16> iv{};
    std::vector<uint8_t> data(kAesBytes, 0x5A);
    EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
    for (auto _ : state) {
        // A fresh init per run, as AesCrypt expands its key per call.
        int written = 0;
        EVP_EncryptInit_ex(ctx, cbc ? EVP_aes_128_cbc() : EVP_aes_128_ecb(), nullptr,
                           kExampleKey.data(), iv.data());
        EVP_CIPHER_CTX_set_padding(ctx, 0);
        EVP_EncryptUpdate(ctx, data.data(), &written, data.data(), static_cast<int>(kAesBytes));
        benchmark::DoNotOptimize(data);
    }
    EVP_CIPHER_CTX_free(ctx);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kAesBytes));
}
BENCHMARK(BM_OpenSslAes128)->ArgName("cbc")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

// SM3 over 16 KiB beside OpenSSL's SM3 (EVP), one-shot on the same data.
#include <benchmark/benchmark.h>
#include <openssl/evp.h>

#include <cstdint>
#include <vector>

#include "crypto/sm3.h"

namespace {

constexpr size_t kBytes = 16 * 1024;

void BM_Sm3(benchmark::State& state) {
    const std::vector<uint8_t> data(kBytes, 0x5A);
    for (auto _ : state) {
        benchmark::DoNotOptimize(Sm3Hash(data));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBytes));
}
BENCHMARK(BM_Sm3)->Unit(benchmark::kMicrosecond);

void BM_OpenSslSm3(benchmark::State& state) {
    const std::vector<uint8_t> data(kBytes, 0x5A);
    uint8_t digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    for (auto _ : state) {
        EVP_Digest(data.data(), data.size(), digest, &size, EVP_sm3(), nullptr);
        benchmark::DoNotOptimize(digest);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBytes));
}
BENCHMARK(BM_OpenSslSm3)->Unit(benchmark::kMicrosecond);

}  // namespace

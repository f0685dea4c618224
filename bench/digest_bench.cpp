// SHA-1, SHA-256, SHA-512 and MD5 over 16 KiB, each beside OpenSSL's EVP digest of the same data
// in the same run.
#include <benchmark/benchmark.h>
#include <openssl/evp.h>

#include <cstdint>
#include <vector>

#include "crypto/md5.h"
#include "crypto/sha1.h"
#include "crypto/sha256.h"
#include "crypto/sha512.h"

namespace {

constexpr size_t kBytes = 16 * 1024;

const std::vector<uint8_t>& Data() {
    static const std::vector<uint8_t> data = [] {
        std::vector<uint8_t> bytes(kBytes);
        for (size_t i = 0; i < bytes.size(); ++i) {
            bytes[i] = static_cast<uint8_t>(i * 131 + 7);
        }
        return bytes;
    }();
    return data;
}

template <auto Hash>
void BM_Ours(benchmark::State& state) {
    const std::vector<uint8_t>& data = Data();
    for (auto _ : state) {
        auto digest = Hash(data);
        benchmark::DoNotOptimize(digest);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBytes));
}

template <const EVP_MD* (*Md)()>
void BM_OpenSsl(benchmark::State& state) {
    const std::vector<uint8_t>& data = Data();
    EVP_MD_CTX* ctx = EVP_MD_CTX_new();
    uint8_t digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    for (auto _ : state) {
        EVP_DigestInit_ex(ctx, Md(), nullptr);
        EVP_DigestUpdate(ctx, data.data(), data.size());
        EVP_DigestFinal_ex(ctx, digest, &size);
        benchmark::DoNotOptimize(digest);
    }
    EVP_MD_CTX_free(ctx);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBytes));
}

BENCHMARK(BM_Ours<Sha1Hash>)->Name("Sha1/16KiB");
BENCHMARK(BM_OpenSsl<EVP_sha1>)->Name("OpenSslSha1/16KiB");
BENCHMARK(BM_Ours<Sha256Hash>)->Name("Sha256/16KiB");
BENCHMARK(BM_OpenSsl<EVP_sha256>)->Name("OpenSslSha256/16KiB");
BENCHMARK(BM_Ours<Sha512Hash>)->Name("Sha512/16KiB");
BENCHMARK(BM_OpenSsl<EVP_sha512>)->Name("OpenSslSha512/16KiB");
BENCHMARK(BM_Ours<Md5Hash>)->Name("Md5/16KiB");
BENCHMARK(BM_OpenSsl<EVP_md5>)->Name("OpenSslMd5/16KiB");

}  // namespace

// CBigNumber's modular exponentiation beside OpenSSL's, and the random RSA key of the RSA and CRT
// pages (two 640-bit primes and everything derived from them for a 1280-bit modulus) beside
// OpenSSL's key generation. Compare the two sides of one run only: the machine is shared.
#include "crypto/big_number.h"
#include "pages/rsa_key_generation.h"

#include <benchmark/benchmark.h>
#include <openssl/bn.h>
#include <openssl/evp.h>
#include <openssl/rsa.h>

#include <random>
#include <string>

namespace {

// Fixed operands of `bits` bits: an odd modulus with its top bit set, a base below it and a
// full-size exponent, as in an RSA private-key operation.
struct ModPowOperands {
    std::string modulus;
    std::string base;
    std::string exponent;

    explicit ModPowOperands(size_t bits) {
        std::mt19937_64 rng(bits);
        auto hex = [&rng, bits](bool top, bool odd) {
            std::string text(bits / 4, '0');
            for (char& c : text) {
                c = "0123456789ABCDEF"[rng() % 16];
            }
            if (top) {
                text[0] = 'F';
            }
            if (odd) {
                text.back() = '7';
            }
            return text;
        };
        modulus = hex(true, true);
        base = hex(false, false);
        base[0] = '7';
        exponent = hex(true, false);
    }
};

const ModPowOperands& Operands(size_t bits) {
    static const ModPowOperands operands1024(1024);
    static const ModPowOperands operands2048(2048);
    return bits == 1024 ? operands1024 : operands2048;
}

template <size_t kBits>
void BM_ModPow(benchmark::State& state) {
    CBigNumber m;
    CBigNumber base;
    CBigNumber e;
    m.FromText(Operands(kBits).modulus, 16);
    base.FromText(Operands(kBits).base, 16);
    e.FromText(Operands(kBits).exponent, 16);
    for (auto _ : state) {
        benchmark::DoNotOptimize(base.ModPow(e, m));
    }
}
BENCHMARK(BM_ModPow<1024>)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ModPow<2048>)->Unit(benchmark::kMicrosecond);

template <size_t kBits>
void BM_OpenSslModExp(benchmark::State& state) {
    BIGNUM* m = nullptr;
    BIGNUM* base = nullptr;
    BIGNUM* e = nullptr;
    BN_hex2bn(&m, Operands(kBits).modulus.c_str());
    BN_hex2bn(&base, Operands(kBits).base.c_str());
    BN_hex2bn(&e, Operands(kBits).exponent.c_str());
    BIGNUM* r = BN_new();
    BN_CTX* ctx = BN_CTX_new();
    for (auto _ : state) {
        BN_mod_exp(r, base, e, m, ctx);
        benchmark::DoNotOptimize(r);
    }
    BN_CTX_free(ctx);
    BN_free(r);
    BN_free(e);
    BN_free(base);
    BN_free(m);
}
BENCHMARK(BM_OpenSslModExp<1024>)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OpenSslModExp<2048>)->Unit(benchmark::kMicrosecond);

void BM_GenerateProbablePrime640(benchmark::State& state) {
    for (auto _ : state) {
        CBigNumber p;
        benchmark::DoNotOptimize(p.GenerateProbablePrime(20));
        benchmark::DoNotOptimize(p);
    }
}
BENCHMARK(BM_GenerateProbablePrime640)->Unit(benchmark::kMillisecond)->Repetitions(5);

void BM_RsaKey1280(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(GenerateRsaKey(20));
    }
}
BENCHMARK(BM_RsaKey1280)->Unit(benchmark::kMillisecond)->Repetitions(5);

// The key generation behind RSA_generate_key_ex, reached through EVP because the core is built
// without OpenSSL's deprecated interfaces.
void BM_OpenSslRsaKey1280(benchmark::State& state) {
    EVP_PKEY_CTX* ctx = EVP_PKEY_CTX_new_id(EVP_PKEY_RSA, nullptr);
    EVP_PKEY_keygen_init(ctx);
    EVP_PKEY_CTX_set_rsa_keygen_bits(ctx, 1280);
    for (auto _ : state) {
        EVP_PKEY* key = nullptr;
        EVP_PKEY_keygen(ctx, &key);
        benchmark::DoNotOptimize(key);
        EVP_PKEY_free(key);
    }
    EVP_PKEY_CTX_free(ctx);
}
BENCHMARK(BM_OpenSslRsaKey1280)->Unit(benchmark::kMillisecond)->Repetitions(5);

}  // namespace

// CBigNumber's modular exponentiation beside OpenSSL's, and the random RSA key of the RSA and CRT
// pages: two 640-bit primes, N, phi and D for a 1280-bit modulus.
#include "crypto/big_number.h"

#include <benchmark/benchmark.h>
#include <openssl/bn.h>

#include <random>
#include <string>

namespace {

// Fixed 1024-bit operands: an odd modulus with its top bit set, a base below it and a full-size
// exponent, as in an RSA private-key operation.
struct ModPowOperands {
    std::string modulus;
    std::string base;
    std::string exponent;

    ModPowOperands() {
        std::mt19937_64 rng(1024);
        auto hex = [&rng](bool top, bool odd) {
            std::string text(256, '0');
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

const ModPowOperands& Operands() {
    static const ModPowOperands operands;
    return operands;
}

void BM_ModPow1024(benchmark::State& state) {
    CBigNumber m;
    CBigNumber base;
    CBigNumber e;
    m.FromText(Operands().modulus, 16);
    base.FromText(Operands().base, 16);
    e.FromText(Operands().exponent, 16);
    for (auto _ : state) {
        benchmark::DoNotOptimize(base.ModPow(e, m));
    }
}
BENCHMARK(BM_ModPow1024)->Unit(benchmark::kMicrosecond);

void BM_OpenSslModExp1024(benchmark::State& state) {
    BIGNUM* m = nullptr;
    BIGNUM* base = nullptr;
    BIGNUM* e = nullptr;
    BN_hex2bn(&m, Operands().modulus.c_str());
    BN_hex2bn(&base, Operands().base.c_str());
    BN_hex2bn(&e, Operands().exponent.c_str());
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
BENCHMARK(BM_OpenSslModExp1024)->Unit(benchmark::kMicrosecond);

void BM_GenerateProbablePrime640(benchmark::State& state) {
    for (auto _ : state) {
        CBigNumber p;
        p.GenerateProbablePrime(20);
        benchmark::DoNotOptimize(p);
    }
}
BENCHMARK(BM_GenerateProbablePrime640)->Unit(benchmark::kMillisecond)->Repetitions(5);

void BM_RsaKey1280(benchmark::State& state) {
    CBigNumber one;
    one.SetValue(1);
    CBigNumber e;
    e.SetValue(65537);
    for (auto _ : state) {
        CBigNumber p;
        CBigNumber q;
        p.GenerateProbablePrime(20);
        q.GenerateProbablePrime(20);
        const CBigNumber n = p.Mul(q);
        const CBigNumber phi = p.Sub(one).Mul(q.Sub(one));
        const CBigNumber d = e.ModInverse(phi);
        benchmark::DoNotOptimize(n);
        benchmark::DoNotOptimize(d);
    }
}
BENCHMARK(BM_RsaKey1280)->Unit(benchmark::kMillisecond)->Repetitions(5);

}  // namespace

// CBigNumber's modular exponentiation beside OpenSSL's BN_mod_exp at 1024 and 2048 bits, and the
// random 1280-bit RSA key of the RSA and CRT pages (two 640-bit primes, N, phi and D) beside
// OpenSSL generating an RSA key of the same size.
#include <openssl/bn.h>
#include <openssl/evp.h>
#include <openssl/rsa.h>

#include <random>
#include <string>

#include "bench_support.h"
#include "crypto/pk/big_number.h"
#include "pages/rsa_key_generation.h"

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

void OursModPow(benchmark::State& state, size_t bits) {
    const ModPowOperands operands(bits);
    CBigNumber m;
    CBigNumber base;
    CBigNumber e;
    m.FromText(operands.modulus, 16);
    base.FromText(operands.base, 16);
    e.FromText(operands.exponent, 16);
    MeasureOps(state, [&] { benchmark::DoNotOptimize(base.ModPow(e, m)); });
}

void OpenSslModPow(benchmark::State& state, size_t bits) {
    const ModPowOperands operands(bits);
    BIGNUM* m = nullptr;
    BIGNUM* base = nullptr;
    BIGNUM* e = nullptr;
    BN_hex2bn(&m, operands.modulus.c_str());
    BN_hex2bn(&base, operands.base.c_str());
    BN_hex2bn(&e, operands.exponent.c_str());
    BIGNUM* r = BN_new();
    BN_CTX* ctx = BN_CTX_new();
    MeasureOps(state, [&] {
        BN_mod_exp(r, base, e, m, ctx);
        benchmark::DoNotOptimize(r);
    });
    BN_CTX_free(ctx);
    BN_free(r);
    BN_free(e);
    BN_free(base);
    BN_free(m);
}

// The pages' own key generation: two 640-bit primes, N, D, DP, DQ and QinV.
void OursRsaKey1280(benchmark::State& state) {
    MeasureOps(state, [&] { benchmark::DoNotOptimize(GenerateRsaKey(20)); });
}

// EVP's form of RSA_generate_key_ex (deprecated in OpenSSL 3): 1280 bits, e = 65537.
void OpenSslRsaKey1280(benchmark::State& state) {
    EVP_PKEY_CTX* ctx = EVP_PKEY_CTX_new_from_name(nullptr, "RSA", nullptr);
    if (EVP_PKEY_keygen_init(ctx) != 1 || EVP_PKEY_CTX_set_rsa_keygen_bits(ctx, 1280) != 1) {
        state.SkipWithError("OpenSSL refused the RSA key generation");
    } else {
        MeasureOps(state, [&] {
            EVP_PKEY* key = nullptr;
            EVP_PKEY_generate(ctx, &key);
            benchmark::DoNotOptimize(key);
            EVP_PKEY_free(key);
        });
    }
    EVP_PKEY_CTX_free(ctx);
}

void OursPrime640(benchmark::State& state) {
    MeasureOps(state, [&] {
        CBigNumber p;
        (void)p.GenerateProbablePrime(20);
        benchmark::DoNotOptimize(p);
    });
}

const bool kRegistered = [] {
    Register("ours", "modpow-1024", [](benchmark::State& s) {
        OursModPow(s, 1024);
    })->Unit(benchmark::kMicrosecond);
    Register("openssl", "modpow-1024", [](benchmark::State& s) {
        OpenSslModPow(s, 1024);
    })->Unit(benchmark::kMicrosecond);
    Register("ours", "modpow-2048", [](benchmark::State& s) {
        OursModPow(s, 2048);
    })->Unit(benchmark::kMicrosecond);
    Register("openssl", "modpow-2048", [](benchmark::State& s) {
        OpenSslModPow(s, 2048);
    })->Unit(benchmark::kMicrosecond);
    Register("ours", "rsa-keygen-1280", OursRsaKey1280)->Unit(benchmark::kMillisecond);
    Register("openssl", "rsa-keygen-1280", OpenSslRsaKey1280)->Unit(benchmark::kMillisecond);
    Register("extra", "prime-640", OursPrime640)->Unit(benchmark::kMillisecond);
    return true;
}();

}  // namespace

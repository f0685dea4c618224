// SM2 signature, verification, encryption and decryption of the worked-example inputs beside
// OpenSSL's own SM2 (EVP) on the same key, identity and message. Each of our calls builds its curve
// and reads its key from text, as the page calls it; OpenSSL's key is made once.
#include <openssl/core_names.h>
#include <openssl/evp.h>
#include <openssl/param_build.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "bench_support.h"
#include "common/hex_codec.h"
#include "crypto/pk/sm2.h"

namespace {

const std::string kKey = "1649AB77A00637BD5E2EFE283FBF353534AA7F7CB89463F208DDBC2920BB0DA0";
const std::vector<uint8_t> kId = HexToBytes("414C494345313233405941484F4F2E434F4D");
const std::vector<uint8_t> kMessage = HexToBytes("656E6372797074696F6E207374616E64617264");

Sm2Point PublicKey() {
    Sm2Point key;
    if (!Sm2GeneratePublicKey(kKey, key)) {
        std::abort();
    }
    return key;
}

EVP_PKEY* OpenSslKey() {
    const Sm2Point pub = PublicKey();
    std::vector<uint8_t> encoded{0x04};
    encoded.insert(encoded.end(), pub.x.begin(), pub.x.end());
    encoded.insert(encoded.end(), pub.y.begin(), pub.y.end());
    BIGNUM* d = nullptr;
    BN_hex2bn(&d, kKey.c_str());
    OSSL_PARAM_BLD* build = OSSL_PARAM_BLD_new();
    OSSL_PARAM_BLD_push_utf8_string(build, OSSL_PKEY_PARAM_GROUP_NAME, "SM2", 0);
    OSSL_PARAM_BLD_push_octet_string(build, OSSL_PKEY_PARAM_PUB_KEY, encoded.data(),
                                     encoded.size());
    OSSL_PARAM_BLD_push_BN(build, OSSL_PKEY_PARAM_PRIV_KEY, d);
    OSSL_PARAM* params = OSSL_PARAM_BLD_to_param(build);
    EVP_PKEY_CTX* ctx = EVP_PKEY_CTX_new_from_name(nullptr, "SM2", nullptr);
    EVP_PKEY* key = nullptr;
    if (EVP_PKEY_fromdata_init(ctx) != 1 ||
        EVP_PKEY_fromdata(ctx, &key, EVP_PKEY_KEYPAIR, params) != 1) {
        std::abort();
    }
    EVP_PKEY_CTX_free(ctx);
    OSSL_PARAM_free(params);
    OSSL_PARAM_BLD_free(build);
    BN_free(d);
    return key;
}

// One OpenSSL signature or verification with the identity set; gives the DER signature, or
// (verifying) one byte 1 or 0.
std::vector<uint8_t> OpenSslSignOrVerify(EVP_PKEY* key, const std::vector<uint8_t>& signature) {
    EVP_MD_CTX* md = EVP_MD_CTX_new();
    EVP_PKEY_CTX* ctx = EVP_PKEY_CTX_new_from_pkey(nullptr, key, nullptr);
    EVP_PKEY_CTX_set1_id(ctx, kId.data(), kId.size());
    EVP_MD_CTX_set_pkey_ctx(md, ctx);
    std::vector<uint8_t> out;
    if (signature.empty()) {
        size_t size = 128;
        out.resize(size);
        EVP_DigestSignInit(md, nullptr, EVP_sm3(), nullptr, key);
        EVP_DigestSign(md, out.data(), &size, kMessage.data(), kMessage.size());
        out.resize(size);
    } else {
        EVP_DigestVerifyInit(md, nullptr, EVP_sm3(), nullptr, key);
        out = {static_cast<uint8_t>(EVP_DigestVerify(md, signature.data(), signature.size(),
                                                     kMessage.data(), kMessage.size()) == 1)};
    }
    EVP_MD_CTX_free(md);
    EVP_PKEY_CTX_free(ctx);
    return out;
}

std::vector<uint8_t> OpenSslCrypt(EVP_PKEY* key, bool encrypt, const std::vector<uint8_t>& in) {
    EVP_PKEY_CTX* ctx = EVP_PKEY_CTX_new_from_pkey(nullptr, key, nullptr);
    size_t size = in.size() + 256;
    std::vector<uint8_t> out(size);
    if (encrypt) {
        EVP_PKEY_encrypt_init(ctx);
        EVP_PKEY_encrypt(ctx, out.data(), &size, in.data(), in.size());
    } else {
        EVP_PKEY_decrypt_init(ctx);
        EVP_PKEY_decrypt(ctx, out.data(), &size, in.data(), in.size());
    }
    EVP_PKEY_CTX_free(ctx);
    out.resize(size);
    return out;
}

void BM_Sm2Sign(benchmark::State& state) {
    for (auto _ : state) {
        Sm2Signature signature;
        if (!Sm2Sign(kMessage, kKey, kId, signature)) {
            state.SkipWithError("Sm2Sign refused");
        }
        benchmark::DoNotOptimize(signature);
    }
}

void BM_OpenSslSm2Sign(benchmark::State& state) {
    EVP_PKEY* key = OpenSslKey();
    for (auto _ : state) {
        benchmark::DoNotOptimize(OpenSslSignOrVerify(key, {}));
    }
    EVP_PKEY_free(key);
}

void BM_Sm2Verify(benchmark::State& state) {
    const Sm2Point pub = PublicKey();
    Sm2Signature signature;
    if (!Sm2Sign(kMessage, kKey, kId, signature)) {
        state.SkipWithError("Sm2Sign refused");
    }
    for (auto _ : state) {
        if (!Sm2Verify(kMessage, pub, kId, signature)) {
            state.SkipWithError("Sm2Verify failed");
        }
    }
}

void BM_OpenSslSm2Verify(benchmark::State& state) {
    EVP_PKEY* key = OpenSslKey();
    const std::vector<uint8_t> signature = OpenSslSignOrVerify(key, {});
    for (auto _ : state) {
        if (OpenSslSignOrVerify(key, signature) != std::vector<uint8_t>{1}) {
            state.SkipWithError("EVP_DigestVerify failed");
        }
    }
    EVP_PKEY_free(key);
}

void BM_Sm2Encrypt(benchmark::State& state) {
    const Sm2Point pub = PublicKey();
    for (auto _ : state) {
        std::vector<uint8_t> ciphertext;
        if (!Sm2Encrypt(pub, kMessage, Sm2CipherOrder::C1C2C3, ciphertext)) {
            state.SkipWithError("Sm2Encrypt refused");
        }
        benchmark::DoNotOptimize(ciphertext);
    }
}

void BM_OpenSslSm2Encrypt(benchmark::State& state) {
    EVP_PKEY* key = OpenSslKey();
    for (auto _ : state) {
        benchmark::DoNotOptimize(OpenSslCrypt(key, true, kMessage));
    }
    EVP_PKEY_free(key);
}

void BM_Sm2Decrypt(benchmark::State& state) {
    std::vector<uint8_t> ciphertext, plaintext;
    if (!Sm2Encrypt(PublicKey(), kMessage, Sm2CipherOrder::C1C2C3, ciphertext)) {
        state.SkipWithError("Sm2Encrypt refused");
    }
    for (auto _ : state) {
        if (!Sm2Decrypt(kKey, ciphertext, Sm2CipherOrder::C1C2C3, plaintext)) {
            state.SkipWithError("Sm2Decrypt failed");
        }
        benchmark::DoNotOptimize(plaintext);
    }
}

void BM_OpenSslSm2Decrypt(benchmark::State& state) {
    EVP_PKEY* key = OpenSslKey();
    const std::vector<uint8_t> ciphertext = OpenSslCrypt(key, true, kMessage);
    for (auto _ : state) {
        benchmark::DoNotOptimize(OpenSslCrypt(key, false, ciphertext));
    }
    EVP_PKEY_free(key);
}

const bool kRegistered = [] {
    const std::pair<const char*, void (*)(benchmark::State&)> rows[] = {
        {"ours/sm2-sign", BM_Sm2Sign},       {"openssl/sm2-sign", BM_OpenSslSm2Sign},
        {"ours/sm2-verify", BM_Sm2Verify},   {"openssl/sm2-verify", BM_OpenSslSm2Verify},
        {"ours/sm2-encrypt", BM_Sm2Encrypt}, {"openssl/sm2-encrypt", BM_OpenSslSm2Encrypt},
        {"ours/sm2-decrypt", BM_Sm2Decrypt}, {"openssl/sm2-decrypt", BM_OpenSslSm2Decrypt},
    };
    for (const auto& [name, fn] : rows) {
        benchmark::RegisterBenchmark(name, [fn](benchmark::State& state) {
            fn(state);
            state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
        })->Unit(benchmark::kMicrosecond);
    }
    return true;
}();

}  // namespace

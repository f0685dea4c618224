// The digests, HMAC-SM3 and CRC-32 over 16 KiB, each beside OpenSSL's EVP digest or MAC of the same
// data in the same run (OpenSSL has no CRC-32, so that row has our column only). OpenSSL's
// algorithms are fetched once, outside the timing.
#include <openssl/core_names.h>
#include <openssl/evp.h>

#include <array>
#include <cstdint>
#include <vector>

#include "bench_support.h"
#include "crypto/hash/crc.h"
#include "crypto/hash/md5.h"
#include "crypto/hash/sha1.h"
#include "crypto/hash/sha256.h"
#include "crypto/hash/sha512.h"
#include "crypto/hash/sm3.h"

namespace {

constexpr std::array<uint8_t, 16> kMacKey = {0x4B, 0x65, 0x79, 0x77, 0x72, 0x69, 0x67, 0x68,
                                             0x74, 0x20, 0x48, 0x4D, 0x41, 0x43, 0x21, 0x00};

template <auto Hash>
void Ours(benchmark::State& state) {
    const std::vector<uint8_t>& data = ThroughputInput();
    MeasureBytes(state, [&] {
        auto digest = Hash(data);
        benchmark::DoNotOptimize(digest);
    });
}

void OpenSslDigest(benchmark::State& state, const char* name) {
    const std::vector<uint8_t>& data = ThroughputInput();
    EVP_MD* md = EVP_MD_fetch(nullptr, name, nullptr);
    EVP_MD_CTX* ctx = EVP_MD_CTX_new();
    if (md == nullptr) {
        state.SkipWithError("OpenSSL has no such digest");
    } else {
        std::array<uint8_t, EVP_MAX_MD_SIZE> digest;
        unsigned int size = 0;
        MeasureBytes(state, [&] {
            EVP_DigestInit_ex(ctx, md, nullptr);
            EVP_DigestUpdate(ctx, data.data(), data.size());
            EVP_DigestFinal_ex(ctx, digest.data(), &size);
            benchmark::DoNotOptimize(digest);
        });
    }
    EVP_MD_CTX_free(ctx);
    EVP_MD_free(md);
}

void OursHmacSm3(benchmark::State& state) {
    const std::vector<uint8_t>& data = ThroughputInput();
    MeasureBytes(state, [&] {
        auto mac = Sm3Hmac(kMacKey, data);
        benchmark::DoNotOptimize(mac);
    });
}

void OpenSslHmacSm3(benchmark::State& state) {
    const std::vector<uint8_t>& data = ThroughputInput();
    EVP_MAC* mac = EVP_MAC_fetch(nullptr, "HMAC", nullptr);
    EVP_MAC_CTX* ctx = EVP_MAC_CTX_new(mac);
    char digest_name[] = "SM3";
    const OSSL_PARAM params[] = {
        OSSL_PARAM_construct_utf8_string(OSSL_MAC_PARAM_DIGEST, digest_name, 0),
        OSSL_PARAM_construct_end()};
    if (ctx == nullptr || EVP_MAC_CTX_set_params(ctx, params) != 1) {
        state.SkipWithError("OpenSSL has no HMAC-SM3");
    } else {
        std::array<uint8_t, EVP_MAX_MD_SIZE> out;
        size_t size = 0;
        MeasureBytes(state, [&] {
            EVP_MAC_init(ctx, kMacKey.data(), kMacKey.size(), nullptr);
            EVP_MAC_update(ctx, data.data(), data.size());
            EVP_MAC_final(ctx, out.data(), &size, out.size());
            benchmark::DoNotOptimize(out);
        });
    }
    EVP_MAC_CTX_free(ctx);
    EVP_MAC_free(mac);
}

const bool kRegistered = [] {
    Register("ours", "sha1", Ours<Sha1Hash>);
    Register("openssl", "sha1", [](benchmark::State& s) { OpenSslDigest(s, "SHA1"); });
    Register("ours", "sha256", Ours<Sha256Hash>);
    Register("openssl", "sha256", [](benchmark::State& s) { OpenSslDigest(s, "SHA256"); });
    Register("ours", "sha384", Ours<Sha384Hash>);
    Register("openssl", "sha384", [](benchmark::State& s) { OpenSslDigest(s, "SHA384"); });
    Register("ours", "sha512", Ours<Sha512Hash>);
    Register("openssl", "sha512", [](benchmark::State& s) { OpenSslDigest(s, "SHA512"); });
    Register("ours", "md5", Ours<Md5Hash>);
    Register("openssl", "md5", [](benchmark::State& s) { OpenSslDigest(s, "MD5"); });
    Register("ours", "sm3", Ours<Sm3Hash>);
    Register("openssl", "sm3", [](benchmark::State& s) { OpenSslDigest(s, "SM3"); });
    Register("ours", "hmac-sm3", OursHmacSm3);
    Register("openssl", "hmac-sm3", OpenSslHmacSm3);
    Register("ours", "crc32", Ours<Crc32>);
    return true;
}();

}  // namespace

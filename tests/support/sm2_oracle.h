// OpenSSL's own SM2 as the independent answer for the SM2 engine and page tests: keys, the
// public point of a private key, signing and verifying with a user ID, encryption and key files.
#pragma once

#include <gtest/gtest.h>
#include <openssl/bn.h>
#include <openssl/core_names.h>
#include <openssl/decoder.h>
#include <openssl/ec.h>
#include <openssl/ecdsa.h>
#include <openssl/encoder.h>
#include <openssl/evp.h>
#include <openssl/obj_mac.h>
#include <openssl/param_build.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "common/hex_codec.h"
#include "crypto/pk/sm2.h"

struct PkeyFree {
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
using Pkey = std::unique_ptr<EVP_PKEY, PkeyFree>;

// An OpenSSL SM2 key from the public point and, when given, the private scalar.
inline Pkey OpenSslKey(const Sm2Point& pub, const std::string& private_key = "") {
    std::vector<uint8_t> encoded{0x04};
    encoded.insert(encoded.end(), pub.x.begin(), pub.x.end());
    encoded.insert(encoded.end(), pub.y.begin(), pub.y.end());
    OSSL_PARAM_BLD* build = OSSL_PARAM_BLD_new();
    BIGNUM* d = nullptr;
    OSSL_PARAM_BLD_push_utf8_string(build, OSSL_PKEY_PARAM_GROUP_NAME, "SM2", 0);
    OSSL_PARAM_BLD_push_octet_string(build, OSSL_PKEY_PARAM_PUB_KEY, encoded.data(),
                                     encoded.size());
    if (!private_key.empty()) {
        BN_hex2bn(&d, private_key.c_str());
        OSSL_PARAM_BLD_push_BN(build, OSSL_PKEY_PARAM_PRIV_KEY, d);
    }
    OSSL_PARAM* params = OSSL_PARAM_BLD_to_param(build);
    EVP_PKEY_CTX* ctx = EVP_PKEY_CTX_new_from_name(nullptr, "SM2", nullptr);
    EVP_PKEY* key = nullptr;
    EXPECT_EQ(EVP_PKEY_fromdata_init(ctx), 1);
    EXPECT_EQ(EVP_PKEY_fromdata(
                  ctx, &key, private_key.empty() ? EVP_PKEY_PUBLIC_KEY : EVP_PKEY_KEYPAIR, params),
              1);
    EVP_PKEY_CTX_free(ctx);
    OSSL_PARAM_free(params);
    OSSL_PARAM_BLD_free(build);
    BN_free(d);
    return Pkey(key);
}

// OpenSslSignOrVerify signs (signature empty) or verifies with OpenSSL's SM2 and the user ID
// set; signing gives the DER signature, verifying "1" or "0".
inline std::vector<uint8_t> OpenSslSignOrVerify(EVP_PKEY* key, const std::vector<uint8_t>& id,
                                                const std::vector<uint8_t>& message,
                                                const std::vector<uint8_t>& signature) {
    EVP_MD_CTX* md = EVP_MD_CTX_new();
    EVP_PKEY_CTX* ctx = EVP_PKEY_CTX_new_from_pkey(nullptr, key, nullptr);
    EXPECT_EQ(EVP_PKEY_CTX_set1_id(ctx, id.data(), id.size()), 1);
    EVP_MD_CTX_set_pkey_ctx(md, ctx);
    std::vector<uint8_t> out;
    if (signature.empty()) {
        size_t size = 128;
        out.resize(size);
        EXPECT_EQ(EVP_DigestSignInit(md, nullptr, EVP_sm3(), nullptr, key), 1);
        EXPECT_EQ(EVP_DigestSign(md, out.data(), &size, message.data(), message.size()), 1);
        out.resize(size);
    } else {
        EXPECT_EQ(EVP_DigestVerifyInit(md, nullptr, EVP_sm3(), nullptr, key), 1);
        out = {static_cast<uint8_t>(EVP_DigestVerify(md, signature.data(), signature.size(),
                                                     message.data(), message.size()) == 1)};
    }
    EVP_MD_CTX_free(md);
    EVP_PKEY_CTX_free(ctx);
    return out;
}

inline std::vector<uint8_t> DerSignature(const Sm2Signature& signature) {
    ECDSA_SIG* sig = ECDSA_SIG_new();
    ECDSA_SIG_set0(sig, BN_bin2bn(signature.r.data(), 32, nullptr),
                   BN_bin2bn(signature.s.data(), 32, nullptr));
    uint8_t* der = nullptr;
    const int size = i2d_ECDSA_SIG(sig, &der);
    std::vector<uint8_t> out(der, der + std::max(size, 0));
    OPENSSL_free(der);
    ECDSA_SIG_free(sig);
    return out;
}

inline Sm2Signature FromDerSignature(const std::vector<uint8_t>& der) {
    const uint8_t* p = der.data();
    ECDSA_SIG* sig = d2i_ECDSA_SIG(nullptr, &p, static_cast<long>(der.size()));
    Sm2Signature out;
    EXPECT_NE(sig, nullptr);
    BN_bn2binpad(ECDSA_SIG_get0_r(sig), out.r.data(), 32);
    BN_bn2binpad(ECDSA_SIG_get0_s(sig), out.s.data(), 32);
    ECDSA_SIG_free(sig);
    return out;
}

// OpenSslPublicKey gives d * G on OpenSSL's SM2 group for the private key `d` (hex).
inline Sm2Point OpenSslPublicKey(const std::string& d) {
    EC_GROUP* group = EC_GROUP_new_by_curve_name(NID_sm2);
    EC_POINT* point = EC_POINT_new(group);
    BIGNUM *scalar = nullptr, *x = BN_new(), *y = BN_new();
    Sm2Point out;
    EXPECT_EQ(BN_hex2bn(&scalar, d.c_str()), static_cast<int>(d.size()));
    EXPECT_EQ(EC_POINT_mul(group, point, scalar, nullptr, nullptr, nullptr), 1);
    EXPECT_EQ(EC_POINT_get_affine_coordinates(group, point, x, y, nullptr), 1);
    BN_bn2binpad(x, out.x.data(), 32);
    BN_bn2binpad(y, out.y.data(), 32);
    BN_free(scalar);
    BN_free(x);
    BN_free(y);
    EC_POINT_free(point);
    EC_GROUP_free(group);
    return out;
}

// OpenSslVerifies tells whether OpenSSL accepts the signature of `message` by `pub` for `id`.
inline bool OpenSslVerifies(const Sm2Point& pub, const std::vector<uint8_t>& id,
                            const std::vector<uint8_t>& message, const Sm2Signature& signature) {
    const Pkey key = OpenSslKey(pub);
    return OpenSslSignOrVerify(key.get(), id, message, DerSignature(signature)) ==
           std::vector<uint8_t>{1};
}

// OpenSslCrypt encrypts or decrypts with OpenSSL's EVP SM2; the ciphertext is GM/T 0009 DER.
inline std::vector<uint8_t> OpenSslCrypt(EVP_PKEY* key, bool encrypt,
                                         const std::vector<uint8_t>& input) {
    EVP_PKEY_CTX* ctx = EVP_PKEY_CTX_new_from_pkey(nullptr, key, nullptr);
    size_t size = input.size() + 256;
    std::vector<uint8_t> out(size);
    const bool ok =
        encrypt ? EVP_PKEY_encrypt_init(ctx) == 1 &&
                      EVP_PKEY_encrypt(ctx, out.data(), &size, input.data(), input.size()) == 1
                : EVP_PKEY_decrypt_init(ctx) == 1 &&
                      EVP_PKEY_decrypt(ctx, out.data(), &size, input.data(), input.size()) == 1;
    EVP_PKEY_CTX_free(ctx);
    EXPECT_TRUE(ok);
    out.resize(ok ? size : 0);
    return out;
}

// OpenSslKeyFile gives OpenSSL's PEM, or the hex of its DER, of a key, written by its own encoder
// in the given structure: "PrivateKeyInfo" (PKCS#8), "type-specific" (SEC1 "EC PRIVATE KEY"),
// "SubjectPublicKeyInfo".
inline std::string OpenSslKeyFile(EVP_PKEY* key, const char* output, const char* structure) {
    const int selection =
        std::string(structure) == "SubjectPublicKeyInfo" ? EVP_PKEY_PUBLIC_KEY : EVP_PKEY_KEYPAIR;
    OSSL_ENCODER_CTX* ctx =
        OSSL_ENCODER_CTX_new_for_pkey(key, selection, output, structure, nullptr);
    unsigned char* data = nullptr;
    size_t size = 0;
    EXPECT_EQ(OSSL_ENCODER_to_data(ctx, &data, &size), 1) << structure;
    OSSL_ENCODER_CTX_free(ctx);
    const std::vector<uint8_t> bytes(data, data + size);
    OPENSSL_free(data);
    return std::string(output) == "PEM" ? std::string(bytes.begin(), bytes.end())
                                        : BytesToHex(bytes);
}

// The private scalar (empty for a public key) and public point OpenSSL reads from a PEM.
inline std::pair<std::string, Sm2Point> OpenSslReadPem(const std::string& pem) {
    OSSL_DECODER_CTX* ctx = nullptr;
    EVP_PKEY* key = nullptr;
    ctx = OSSL_DECODER_CTX_new_for_pkey(&key, "PEM", nullptr, nullptr, 0, nullptr, nullptr);
    const unsigned char* data = reinterpret_cast<const unsigned char*>(pem.data());
    size_t size = pem.size();
    EXPECT_EQ(OSSL_DECODER_from_data(ctx, &data, &size), 1);
    OSSL_DECODER_CTX_free(ctx);
    std::pair<std::string, Sm2Point> out;
    if (key == nullptr) {
        return out;
    }
    char group[16] = {};
    EXPECT_EQ(EVP_PKEY_get_utf8_string_param(key, OSSL_PKEY_PARAM_GROUP_NAME, group, sizeof(group),
                                             nullptr),
              1);
    EXPECT_STREQ(group, "SM2");
    BIGNUM *d = nullptr, *x = nullptr, *y = nullptr;
    if (EVP_PKEY_get_bn_param(key, OSSL_PKEY_PARAM_PRIV_KEY, &d) == 1) {
        Sm2Bytes32 bytes;
        BN_bn2binpad(d, bytes.data(), 32);
        out.first = BytesToHex(bytes);
    }
    EXPECT_EQ(EVP_PKEY_get_bn_param(key, OSSL_PKEY_PARAM_EC_PUB_X, &x), 1);
    EXPECT_EQ(EVP_PKEY_get_bn_param(key, OSSL_PKEY_PARAM_EC_PUB_Y, &y), 1);
    BN_bn2binpad(x, out.second.x.data(), 32);
    BN_bn2binpad(y, out.second.y.data(), 32);
    BN_free(d);
    BN_free(x);
    BN_free(y);
    EVP_PKEY_free(key);
    return out;
}

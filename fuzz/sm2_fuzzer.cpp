// SM2 on any input: decryption of any bytes (and of damaged real ciphertexts), verification of any
// r, s, public point, message and identity, signing, and the key checks, each against a reference
// written from GB/T 32918 on OpenSSL's curve arithmetic and SM3; signatures are also checked by
// OpenSSL's own SM2 verification. The DER readers take only what their writers give back byte for
// byte, and a key file that imports exports and imports again to the same key.
#include <fuzzer/FuzzedDataProvider.h>
#include <openssl/bn.h>
#include <openssl/core_names.h>
#include <openssl/ec.h>
#include <openssl/evp.h>
#include <openssl/obj_mac.h>
#include <openssl/param_build.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "crypto/pk/sm2_curve.h"
#include "crypto/pk/sm2_der.h"
#include "evp_reference.h"

namespace {

struct BnFree {
    void operator()(BIGNUM* bn) const { BN_free(bn); }
};
struct PointFree {
    void operator()(EC_POINT* p) const { EC_POINT_free(p); }
};
using Bn = std::unique_ptr<BIGNUM, BnFree>;
using Point = std::unique_ptr<EC_POINT, PointFree>;

// The reference's curve, built once.
struct Curve {
    EC_GROUP* group = EC_GROUP_new_by_curve_name(NID_sm2);
    BN_CTX* ctx = BN_CTX_new();
    BIGNUM* p = BN_new();
    BIGNUM* a = BN_new();
    BIGNUM* b = BN_new();
    const BIGNUM* n = nullptr;
    Curve() {
        EC_GROUP_get_curve(group, p, a, b, ctx);
        n = EC_GROUP_get0_order(group);
    }
};

Curve& TheCurve() {
    static Curve curve;
    return curve;
}

Bn FromBytes(std::span<const uint8_t> bytes) {
    return Bn(BN_bin2bn(bytes.data(), static_cast<int>(bytes.size()), nullptr));
}

std::vector<uint8_t> To32(const BIGNUM* bn) {
    std::vector<uint8_t> out(32);
    BN_bn2binpad(bn, out.data(), 32);
    return out;
}

std::vector<uint8_t> Sm3(std::initializer_list<std::span<const uint8_t>> parts) {
    std::vector<uint8_t> all;
    for (const auto& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return EvpDigest(EVP_sm3(), all);
}

// The curve equation y^2 = x^3 + ax + b (mod p) with plain modular arithmetic, both coordinates
// below p (GB/T 32918.1 6.2.1).
bool RefOnCurve(const Sm2Point& point) {
    Curve& c = TheCurve();
    const Bn x = FromBytes(point.x), y = FromBytes(point.y);
    if (BN_cmp(x.get(), c.p) >= 0 || BN_cmp(y.get(), c.p) >= 0) {
        return false;
    }
    Bn left(BN_new()), right(BN_new()), t(BN_new());
    BN_mod_sqr(left.get(), y.get(), c.p, c.ctx);
    BN_mod_sqr(t.get(), x.get(), c.p, c.ctx);
    BN_mod_add(t.get(), t.get(), c.a, c.p, c.ctx);
    BN_mod_mul(right.get(), t.get(), x.get(), c.p, c.ctx);
    BN_mod_add(right.get(), right.get(), c.b, c.p, c.ctx);
    return BN_cmp(left.get(), right.get()) == 0;
}

Point ToPoint(const Sm2Point& point) {
    Curve& c = TheCurve();
    Point ec(EC_POINT_new(c.group));
    const Bn x = FromBytes(point.x), y = FromBytes(point.y);
    EC_POINT_set_affine_coordinates(c.group, ec.get(), x.get(), y.get(), c.ctx);
    return ec;
}

// RefMul gives g * G + k * point as affine coordinates, nothing for the point at infinity.
std::optional<std::pair<std::vector<uint8_t>, std::vector<uint8_t>>> RefMul(const BIGNUM* g,
                                                                            const EC_POINT* point,
                                                                            const BIGNUM* k) {
    Curve& c = TheCurve();
    Point out(EC_POINT_new(c.group));
    EC_POINT_mul(c.group, out.get(), g, point, k, c.ctx);
    if (EC_POINT_is_at_infinity(c.group, out.get())) {
        return std::nullopt;
    }
    Bn x(BN_new()), y(BN_new());
    EC_POINT_get_affine_coordinates(c.group, out.get(), x.get(), y.get(), c.ctx);
    return std::make_pair(To32(x.get()), To32(y.get()));
}

bool AllHexDigits(const std::string& text) {
    return std::all_of(text.begin(), text.end(),
                       [](char ch) { return std::isxdigit(static_cast<unsigned char>(ch)) != 0; });
}

// RefPrivateKey: the first 64 characters, all hex digits, as d in [1, n-2].
Bn RefPrivateKey(const std::string& text) {
    const std::string digits = text.substr(0, 64);
    if (digits.empty() || !AllHexDigits(digits)) {
        return nullptr;
    }
    BIGNUM* d = nullptr;
    BN_hex2bn(&d, digits.c_str());
    Bn limit(BN_dup(TheCurve().n));
    BN_sub_word(limit.get(), 1);
    if (BN_is_zero(d) || BN_cmp(d, limit.get()) >= 0) {
        BN_free(d);
        return nullptr;
    }
    return Bn(d);
}

std::vector<uint8_t> RefKdf(const std::vector<uint8_t>& z, size_t bytes) {
    std::vector<uint8_t> out;
    for (uint32_t ct = 1; out.size() < bytes; ++ct) {
        const uint8_t counter[4] = {uint8_t(ct >> 24), uint8_t(ct >> 16), uint8_t(ct >> 8),
                                    uint8_t(ct)};
        const auto block = Sm3({z, counter});
        out.insert(out.end(), block.begin(), block.end());
    }
    out.resize(bytes);
    return out;
}

// GB/T 32918.4 7.1.
std::optional<std::vector<uint8_t>> RefDecrypt(const std::string& key,
                                               const std::vector<uint8_t>& ct, bool c1c3c2) {
    const Bn d = RefPrivateKey(key);
    if (!d || ct.size() < 97 || ct[0] != 0x04) {
        return std::nullopt;
    }
    Sm2Point c1;
    std::copy_n(ct.begin() + 1, 32, c1.x.begin());
    std::copy_n(ct.begin() + 33, 32, c1.y.begin());
    if (!RefOnCurve(c1)) {
        return std::nullopt;
    }
    const size_t length = ct.size() - 97;
    const auto shared = RefMul(nullptr, ToPoint(c1).get(), d.get());
    if (!shared) {
        return std::nullopt;
    }
    std::vector<uint8_t> z = shared->first;
    z.insert(z.end(), shared->second.begin(), shared->second.end());
    std::vector<uint8_t> m = RefKdf(z, length);
    if (length > 0 && std::all_of(m.begin(), m.end(), [](uint8_t b) { return b == 0; })) {
        return std::nullopt;
    }
    const size_t c2_at = c1c3c2 ? 97 : 65;
    const size_t c3_at = c1c3c2 ? 65 : 65 + length;
    for (size_t i = 0; i < length; ++i) {
        m[i] ^= ct[c2_at + i];
    }
    const auto u = Sm3({shared->first, m, shared->second});
    if (!std::equal(u.begin(), u.end(), ct.begin() + static_cast<long>(c3_at))) {
        return std::nullopt;
    }
    return m;
}

std::vector<uint8_t> RefUserHash(std::span<const uint8_t> id, const Sm2Point& p) {
    Curve& c = TheCurve();
    const size_t entl = id.size() * 8;
    const uint8_t entl_bytes[2] = {uint8_t(entl >> 8), uint8_t(entl)};
    Bn gx(BN_new()), gy(BN_new());
    EC_POINT_get_affine_coordinates(c.group, EC_GROUP_get0_generator(c.group), gx.get(), gy.get(),
                                    c.ctx);
    return Sm3({entl_bytes, id, To32(c.a), To32(c.b), To32(gx.get()), To32(gy.get()), p.x, p.y});
}

// GB/T 32918.2 7.1.
bool RefVerify(std::span<const uint8_t> message, const Sm2Point& p, std::span<const uint8_t> id,
               const Sm2Signature& sig) {
    Curve& c = TheCurve();
    const Bn r = FromBytes(sig.r), s = FromBytes(sig.s);
    for (const BIGNUM* v : {r.get(), s.get()}) {
        if (BN_is_zero(v) || BN_cmp(v, c.n) >= 0) {
            return false;
        }
    }
    if (!RefOnCurve(p) || id.size() > 0xFFFF / 8) {
        return false;
    }
    const auto e = FromBytes(Sm3({RefUserHash(id, p), message}));
    Bn t(BN_new());
    BN_mod_add(t.get(), r.get(), s.get(), c.n, c.ctx);
    if (BN_is_zero(t.get())) {
        return false;
    }
    const auto sum = RefMul(s.get(), ToPoint(p).get(), t.get());
    if (!sum) {
        return false;
    }
    const Bn x1 = FromBytes(sum->first);
    Bn big_r(BN_new());
    BN_mod_add(big_r.get(), e.get(), x1.get(), c.n, c.ctx);
    return BN_cmp(big_r.get(), r.get()) == 0;
}

// GB/T 32918.2 6.1 with the fixed random number k of the engine.
std::optional<Sm2Signature> RefSign(std::span<const uint8_t> message, const std::string& key,
                                    std::span<const uint8_t> id) {
    Curve& c = TheCurve();
    const Bn d = RefPrivateKey(key);
    if (!d) {
        return std::nullopt;
    }
    const auto pub = RefMul(d.get(), nullptr, nullptr);
    Sm2Point p;
    std::copy(pub->first.begin(), pub->first.end(), p.x.begin());
    std::copy(pub->second.begin(), pub->second.end(), p.y.begin());
    const Bn e = FromBytes(Sm3({RefUserHash(id, p), message}));
    BIGNUM* k_raw = nullptr;
    BN_hex2bn(&k_raw, std::string(kSm2SignRandom).c_str());
    const Bn k(k_raw);
    const auto kg = RefMul(k.get(), nullptr, nullptr);
    const Bn x1 = FromBytes(kg->first);
    Bn r(BN_new()), r_plus_k(BN_new()), s(BN_new()), t(BN_new());
    BN_mod_add(r.get(), e.get(), x1.get(), c.n, c.ctx);
    BN_mod_add(r_plus_k.get(), r.get(), k.get(), c.n, c.ctx);
    if (BN_is_zero(r.get()) || BN_is_zero(r_plus_k.get())) {
        return std::nullopt;
    }
    BN_copy(t.get(), d.get());
    BN_add_word(t.get(), 1);
    BN_mod_inverse(t.get(), t.get(), c.n, c.ctx);
    BN_mod_mul(s.get(), r.get(), d.get(), c.n, c.ctx);
    BN_mod_sub(s.get(), k.get(), s.get(), c.n, c.ctx);
    BN_mod_mul(s.get(), s.get(), t.get(), c.n, c.ctx);
    if (BN_is_zero(s.get())) {
        return std::nullopt;
    }
    Sm2Signature sig;
    BN_bn2binpad(r.get(), sig.r.data(), 32);
    BN_bn2binpad(s.get(), sig.s.data(), 32);
    return sig;
}

// OpenSSL's own SM2 verification of a signature over (id, message).
bool OpenSslVerify(std::span<const uint8_t> message, const Sm2Point& p, std::span<const uint8_t> id,
                   const Sm2Signature& sig) {
    std::vector<uint8_t> pub = {0x04};
    pub.insert(pub.end(), p.x.begin(), p.x.end());
    pub.insert(pub.end(), p.y.begin(), p.y.end());
    OSSL_PARAM_BLD* bld = OSSL_PARAM_BLD_new();
    OSSL_PARAM_BLD_push_utf8_string(bld, OSSL_PKEY_PARAM_GROUP_NAME, "SM2", 0);
    OSSL_PARAM_BLD_push_octet_string(bld, OSSL_PKEY_PARAM_PUB_KEY, pub.data(), pub.size());
    OSSL_PARAM* params = OSSL_PARAM_BLD_to_param(bld);
    EVP_PKEY_CTX* from = EVP_PKEY_CTX_new_from_name(nullptr, "SM2", nullptr);
    EVP_PKEY* pkey = nullptr;
    bool ok = EVP_PKEY_fromdata_init(from) == 1 &&
              EVP_PKEY_fromdata(from, &pkey, EVP_PKEY_PUBLIC_KEY, params) == 1;
    // DER: SEQUENCE { INTEGER r, INTEGER s }.
    ECDSA_SIG* ecdsa = ECDSA_SIG_new();
    ECDSA_SIG_set0(ecdsa, BN_bin2bn(sig.r.data(), 32, nullptr),
                   BN_bin2bn(sig.s.data(), 32, nullptr));
    unsigned char* der = nullptr;
    const int der_size = i2d_ECDSA_SIG(ecdsa, &der);
    EVP_MD_CTX* md = EVP_MD_CTX_new();
    EVP_PKEY_CTX* pctx = nullptr;
    if (ok) {
        ok = EVP_DigestVerifyInit_ex(md, &pctx, "SM3", nullptr, nullptr, pkey, nullptr) == 1 &&
             EVP_PKEY_CTX_set1_id(pctx, id.data(), id.size()) == 1 &&
             EVP_DigestVerify(md, der, static_cast<size_t>(der_size), message.data(),
                              message.size()) == 1;
    }
    EVP_MD_CTX_free(md);
    OPENSSL_free(der);
    ECDSA_SIG_free(ecdsa);
    EVP_PKEY_free(pkey);
    EVP_PKEY_CTX_free(from);
    OSSL_PARAM_free(params);
    OSSL_PARAM_BLD_free(bld);
    return ok;
}

Sm2Point ConsumePoint(FuzzedDataProvider& in) {
    Sm2Point p;
    in.ConsumeData(p.x.data(), 32);
    in.ConsumeData(p.y.data(), 32);
    return p;
}

// A private key text: mostly 64 hex digits taken from the input, sometimes any text.
std::string ConsumeKeyText(FuzzedDataProvider& in) {
    if (in.ConsumeBool()) {
        return in.ConsumeRandomLengthString(80);
    }
    std::array<uint8_t, 32> d{};
    in.ConsumeData(d.data(), d.size());
    return BytesToHex(d);
}

void CheckDecrypt(FuzzedDataProvider& in) {
    const std::string key = ConsumeKeyText(in);
    const bool c1c3c2 = in.ConsumeBool();
    const auto order = c1c3c2 ? Sm2CipherOrder::C1C3C2 : Sm2CipherOrder::C1C2C3;
    std::vector<uint8_t> ct;
    const bool real = in.ConsumeBool();
    std::vector<uint8_t> message;
    if (real) {
        // A ciphertext made for the key's own public point, then perhaps damaged.
        Sm2Point p;
        message = in.ConsumeBytes<uint8_t>(in.ConsumeIntegralInRange<size_t>(0, 100));
        if (!Sm2GeneratePublicKey(key, p) || !Sm2Encrypt(p, message, order, ct)) {
            return;
        }
        FUZZ_CHECK(ct.size() == message.size() + 97, "ciphertext size");
        const int damage = in.ConsumeIntegralInRange(0, 2);
        for (int i = 0; i < damage; ++i) {
            ct[in.ConsumeIntegralInRange<size_t>(0, ct.size() - 1)] ^=
                static_cast<uint8_t>(in.ConsumeIntegralInRange(1, 255));
        }
    } else {
        ct = in.ConsumeBytes<uint8_t>(in.ConsumeIntegralInRange<size_t>(0, 300));
        if (ct.size() >= 65 && in.ConsumeBool()) {
            // C1 a point of the curve, so that the decryption gets past B1.
            Sm2Point p;
            if (Sm2GeneratePublicKey(ConsumeKeyText(in), p)) {
                ct[0] = 0x04;
                std::copy(p.x.begin(), p.x.end(), ct.begin() + 1);
                std::copy(p.y.begin(), p.y.end(), ct.begin() + 33);
            }
        }
    }
    std::vector<uint8_t> plaintext = {0xEE};
    const bool ok = Sm2Decrypt(key, ct, order, plaintext);
    const auto expected = RefDecrypt(key, ct, c1c3c2);
    const std::string what = "key " + key + " ct " + HexOf(ct) + (c1c3c2 ? " C1C3C2" : " C1C2C3");
    FUZZ_CHECK(ok == expected.has_value(), "decrypt result: " + what);
    FUZZ_CHECK(ok ? plaintext == *expected : plaintext.empty(), "plaintext: " + what);
}

void CheckSignAndVerify(FuzzedDataProvider& in) {
    const bool sign = in.ConsumeBool();
    const auto id = in.ConsumeBytes<uint8_t>(in.ConsumeIntegralInRange<size_t>(0, 40));
    const auto message = in.ConsumeBytes<uint8_t>(in.ConsumeIntegralInRange<size_t>(0, 200));
    if (!sign) {
        Sm2Signature sig;
        in.ConsumeData(sig.r.data(), 32);
        in.ConsumeData(sig.s.data(), 32);
        Sm2Point p = ConsumePoint(in);
        if (in.ConsumeBool()) {
            // A public point of the curve, so that the verification gets past B3.
            if (!Sm2GeneratePublicKey(ConsumeKeyText(in), p)) {
                p = Sm2Point{};
            }
        }
        const bool ok = Sm2Verify(message, p, id, sig);
        FUZZ_CHECK(ok == RefVerify(message, p, id, sig),
                   "verify r " + HexOf(sig.r) + " s " + HexOf(sig.s) + " x " + HexOf(p.x) + " y " +
                       HexOf(p.y) + " id " + HexOf(id) + " m " + HexOf(message));
        return;
    }
    const std::string key = ConsumeKeyText(in);
    Sm2Signature sig;
    Sm2Point p;
    const std::optional<Sm2Signature> expected = RefSign(message, key, id);
    if (!Sm2Sign(message, key, id, sig)) {
        FUZZ_CHECK(!expected, "sign refused: key " + key);
        return;
    }
    FUZZ_CHECK(expected && expected->r == sig.r && expected->s == sig.s, "signature: key " + key);
    FUZZ_CHECK(RefPrivateKey(key) != nullptr, "signed with a refused key " + key);
    FUZZ_CHECK(Sm2GeneratePublicKey(key, p), "public key of " + key);
    const std::string what = "key " + key + " id " + HexOf(id) + " m " + HexOf(message);
    FUZZ_CHECK(Sm2Verify(message, p, id, sig), "own signature refused: " + what);
    FUZZ_CHECK(RefVerify(message, p, id, sig), "reference refused: " + what);
    FUZZ_CHECK(OpenSslVerify(message, p, id, sig), "OpenSSL refused: " + what);
    std::vector<uint8_t> other = message;
    other.push_back(0x00);
    FUZZ_CHECK(!Sm2Verify(other, p, id, sig), "longer message accepted: " + what);
}

void CheckKeys(FuzzedDataProvider& in) {
    const Sm2Point p = ConsumePoint(in);
    FUZZ_CHECK(Sm2PublicKeyIsValid(p) == RefOnCurve(p),
               "point x " + HexOf(p.x) + " y " + HexOf(p.y));
    const std::string key = ConsumeKeyText(in);
    const Bn d = RefPrivateKey(key);
    FUZZ_CHECK(Sm2PrivateKeyIsValid(key) == (d != nullptr), "private key " + key);
    Sm2Point public_key;
    const bool derived = Sm2GeneratePublicKey(key, public_key);
    FUZZ_CHECK(derived == (d != nullptr), "derived " + key);
    if (derived) {
        const auto expected = RefMul(d.get(), nullptr, nullptr);
        FUZZ_CHECK(
            expected &&
                std::equal(public_key.x.begin(), public_key.x.end(), expected->first.begin()) &&
                std::equal(public_key.y.begin(), public_key.y.end(), expected->second.begin()),
            "public key of " + key);
        FUZZ_CHECK(RefOnCurve(public_key), "derived point off the curve: " + key);
    }
    // Px, Py, r and s: the first 64 hex digits as a number, zeros on the left.
    const std::string text = in.ConsumeRandomLengthString(100);
    const std::string digits = text.substr(0, 64);
    const Sm2Bytes32 fixed = Sm2FixedBytesFromHex(text);
    std::optional<std::vector<uint8_t>> expected;
    if (AllHexDigits(digits)) {
        BIGNUM* value = nullptr;
        expected = std::vector<uint8_t>(32);
        if (!digits.empty() && BN_hex2bn(&value, digits.c_str()) != 0) {
            expected = To32(value);
        }
        BN_free(value);
    } else if (text.size() >= 64) {
        // Other characters in a full-length text convert as HexToBytes converts them.
        expected = HexToBytes(text);
        expected->resize(32);
    }
    FUZZ_CHECK(!expected || std::equal(fixed.begin(), fixed.end(), expected->begin()),
               "fixed bytes " + text);
}

// Any bytes as a DER signature, a DER ciphertext and a key file (PEM text or DER hex).
void CheckDer(FuzzedDataProvider& in) {
    const std::vector<uint8_t> bytes = in.ConsumeRemainingBytes<uint8_t>();
    Sm2Signature signature;
    if (Sm2SignatureFromDer(bytes, signature)) {
        FUZZ_CHECK(Sm2SignatureToDer(signature) == bytes, "signature DER not canonical");
    }
    std::vector<uint8_t> c1c2c3;
    if (Sm2CiphertextFromDer(bytes, c1c2c3)) {
        FUZZ_CHECK(Sm2CiphertextToDer(c1c2c3) == bytes, "ciphertext DER not canonical");
    } else {
        FUZZ_CHECK(c1c2c3.empty(), "refused ciphertext DER left bytes");
    }
    const std::string text(bytes.begin(), bytes.end());
    std::string private_key;
    Sm2Point public_key;
    for (const std::string& file : {text, BytesToHex(bytes)}) {
        if (!Sm2ImportKey(file, private_key, public_key)) {
            continue;
        }
        std::string pem, again;
        Sm2Point point;
        FUZZ_CHECK(private_key.empty() ? Sm2ExportPublicKey(public_key, pem)
                                       : Sm2ExportPrivateKey(private_key, pem),
                   "imported key not exported");
        FUZZ_CHECK(Sm2ImportKey(pem, again, point) && again == private_key && point == public_key,
                   "exported key reads back otherwise");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    switch (in.ConsumeIntegralInRange(0, 3)) {
        case 0:
            CheckDecrypt(in);
            break;
        case 1:
            CheckSignAndVerify(in);
            break;
        case 2:
            CheckDer(in);
            break;
        default:
            CheckKeys(in);
            break;
    }
    return 0;
}

#include "crypto/pk/sm2_der.h"

#include <openssl/bio.h>
#include <openssl/bn.h>
#include <openssl/core_names.h>
#include <openssl/decoder.h>
#include <openssl/encoder.h>
#include <openssl/evp.h>
#include <openssl/param_build.h>

#include <algorithm>
#include <iterator>
#include <memory>

#include "common/hex_codec.h"

namespace {

using Bytes = std::vector<uint8_t>;

constexpr uint8_t kInteger = 0x02, kOctetString = 0x04, kSequence = 0x30;

void AppendTlv(Bytes& out, uint8_t tag, std::span<const uint8_t> value) {
    out.push_back(tag);
    const size_t n = value.size();
    if (n < 0x80) {
        out.push_back(static_cast<uint8_t>(n));
    } else {
        // X.690 8.1.3.5: the long form with the fewest length bytes.
        int length_bytes = 0;
        for (size_t rest = n; rest != 0; rest >>= 8) {
            ++length_bytes;
        }
        out.push_back(static_cast<uint8_t>(0x80 | length_bytes));
        for (int i = length_bytes - 1; i >= 0; --i) {
            out.push_back(static_cast<uint8_t>(n >> (8 * i)));
        }
    }
    out.insert(out.end(), value.begin(), value.end());
}

// A non-negative INTEGER in its minimal form (X.690 8.3.2): no leading 00 but one before a byte
// of 80 or more.
void AppendInteger(Bytes& out, std::span<const uint8_t> big_endian) {
    auto first =
        std::find_if(big_endian.begin(), big_endian.end(), [](uint8_t b) { return b != 0; });
    Bytes value;
    if (first == big_endian.end() || (*first & 0x80) != 0) {
        value.push_back(0x00);
    }
    value.insert(value.end(), first, big_endian.end());
    AppendTlv(out, kInteger, value);
}

// Reads one TLV of the given tag at the front of `in` into `value` and moves past it; only the
// definite length forms DER allows.
bool ReadTlv(std::span<const uint8_t>& in, uint8_t tag, std::span<const uint8_t>& value) {
    if (in.size() < 2 || in[0] != tag) {
        return false;
    }
    size_t n = in[1];
    size_t header = 2;
    if (n & 0x80) {
        const size_t length_bytes = n & 0x7F;
        if (length_bytes == 0 || length_bytes > 4 || in.size() < 2 + length_bytes || in[2] == 0) {
            return false;
        }
        n = 0;
        for (size_t i = 0; i < length_bytes; ++i) {
            n = n << 8 | in[2 + i];
        }
        if (n < 0x80) {
            return false;
        }
        header += length_bytes;
    }
    if (in.size() - header < n) {
        return false;
    }
    value = in.subspan(header, n);
    in = in.subspan(header + n);
    return true;
}

// Reads a non-negative INTEGER below 2^256 in its minimal form into 32 big-endian bytes; as
// OpenSSL does, a leading 00 that is not needed (X.690 8.3.2) is refused.
bool ReadInteger(std::span<const uint8_t>& in, Sm2Bytes32& out) {
    std::span<const uint8_t> value;
    if (!ReadTlv(in, kInteger, value) || value.empty() || (value[0] & 0x80) != 0) {
        return false;
    }
    if (value.size() > 1 && value[0] == 0x00) {
        if ((value[1] & 0x80) == 0) {
            return false;
        }
        value = value.subspan(1);
    }
    if (value.size() > 32) {
        return false;
    }
    out.fill(0);
    std::copy(value.begin(), value.end(), out.end() - static_cast<std::ptrdiff_t>(value.size()));
    return true;
}

struct PkeyFree {
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
using Pkey = std::unique_ptr<EVP_PKEY, PkeyFree>;
struct BioFree {
    void operator()(BIO* bio) const { BIO_free(bio); }
};
struct DecoderFree {
    void operator()(OSSL_DECODER_CTX* ctx) const { OSSL_DECODER_CTX_free(ctx); }
};
struct EncoderFree {
    void operator()(OSSL_ENCODER_CTX* ctx) const { OSSL_ENCODER_CTX_free(ctx); }
};
struct BnFree {
    void operator()(BIGNUM* bn) const { BN_clear_free(bn); }
};
using Bn = std::unique_ptr<BIGNUM, BnFree>;

// An OpenSSL key of the SM2 group from the public point and, when given, the scalar.
Pkey MakeKey(const Sm2Point& public_key, const Sm2Bytes32* private_key) {
    Bytes encoded{0x04};
    encoded.insert(encoded.end(), public_key.x.begin(), public_key.x.end());
    encoded.insert(encoded.end(), public_key.y.begin(), public_key.y.end());
    const Bn d(private_key != nullptr ? BN_bin2bn(private_key->data(), 32, nullptr) : nullptr);
    OSSL_PARAM_BLD* build = OSSL_PARAM_BLD_new();
    OSSL_PARAM* params = nullptr;
    EVP_PKEY_CTX* ctx = EVP_PKEY_CTX_new_from_name(nullptr, "SM2", nullptr);
    EVP_PKEY* key = nullptr;
    if (build != nullptr && ctx != nullptr && (private_key == nullptr || d) &&
        OSSL_PARAM_BLD_push_utf8_string(build, OSSL_PKEY_PARAM_GROUP_NAME, "SM2", 0) == 1 &&
        OSSL_PARAM_BLD_push_octet_string(build, OSSL_PKEY_PARAM_PUB_KEY, encoded.data(),
                                         encoded.size()) == 1 &&
        (!d || OSSL_PARAM_BLD_push_BN(build, OSSL_PKEY_PARAM_PRIV_KEY, d.get()) == 1) &&
        (params = OSSL_PARAM_BLD_to_param(build)) != nullptr && EVP_PKEY_fromdata_init(ctx) == 1) {
        if (EVP_PKEY_fromdata(ctx, &key, d ? EVP_PKEY_KEYPAIR : EVP_PKEY_PUBLIC_KEY, params) != 1) {
            key = nullptr;
        }
    }
    EVP_PKEY_CTX_free(ctx);
    OSSL_PARAM_free(params);
    OSSL_PARAM_BLD_free(build);
    return Pkey(key);
}

bool WritePem(EVP_PKEY* key, int selection, const char* structure, std::string& pem) {
    const std::unique_ptr<OSSL_ENCODER_CTX, EncoderFree> encoder(
        OSSL_ENCODER_CTX_new_for_pkey(key, selection, "PEM", structure, nullptr));
    const std::unique_ptr<BIO, BioFree> bio(BIO_new(BIO_s_mem()));
    if (!encoder || OSSL_ENCODER_CTX_get_num_encoders(encoder.get()) == 0 || !bio ||
        OSSL_ENCODER_to_bio(encoder.get(), bio.get()) != 1) {
        return false;
    }
    char* data = nullptr;
    const long size = BIO_get_mem_data(bio.get(), &data);
    pem.assign(data, static_cast<size_t>(std::max(size, 0L)));
    return size > 0;
}

// A coordinate or scalar parameter of the key as 32 bytes.
bool GetNumber(const EVP_PKEY* key, const char* name, Sm2Bytes32& out) {
    BIGNUM* raw = nullptr;
    if (EVP_PKEY_get_bn_param(key, name, &raw) != 1) {
        return false;
    }
    const Bn value(raw);
    return BN_bn2binpad(value.get(), out.data(), static_cast<int>(out.size())) == 32;
}

}  // namespace

std::vector<uint8_t> Sm2SignatureToDer(const Sm2Signature& signature) {
    Bytes body;
    AppendInteger(body, signature.r);
    AppendInteger(body, signature.s);
    Bytes der;
    AppendTlv(der, kSequence, body);
    return der;
}

bool Sm2SignatureFromDer(std::span<const uint8_t> der, Sm2Signature& signature) {
    std::span<const uint8_t> body;
    return ReadTlv(der, kSequence, body) && der.empty() && ReadInteger(body, signature.r) &&
           ReadInteger(body, signature.s) && body.empty();
}

std::vector<uint8_t> Sm2CiphertextToDer(std::span<const uint8_t> c1c2c3) {
    if (c1c2c3.size() < kSm2CipherOverhead) {
        return {};
    }
    const size_t length = c1c2c3.size() - kSm2CipherOverhead;
    Bytes body;
    AppendInteger(body, c1c2c3.subspan(1, 32));
    AppendInteger(body, c1c2c3.subspan(33, 32));
    AppendTlv(body, kOctetString, c1c2c3.subspan(65 + length, 32));
    AppendTlv(body, kOctetString, c1c2c3.subspan(65, length));
    Bytes der;
    AppendTlv(der, kSequence, body);
    return der;
}

bool Sm2CiphertextFromDer(std::span<const uint8_t> der, std::vector<uint8_t>& c1c2c3) {
    c1c2c3.clear();
    std::span<const uint8_t> body, hash, c2;
    Sm2Point c1;
    if (!ReadTlv(der, kSequence, body) || !der.empty() || !ReadInteger(body, c1.x) ||
        !ReadInteger(body, c1.y) || !ReadTlv(body, kOctetString, hash) || hash.size() != 32 ||
        !ReadTlv(body, kOctetString, c2) || !body.empty()) {
        return false;
    }
    c1c2c3.reserve(c2.size() + kSm2CipherOverhead);
    c1c2c3.push_back(0x04);
    c1c2c3.insert(c1c2c3.end(), c1.x.begin(), c1.x.end());
    c1c2c3.insert(c1c2c3.end(), c1.y.begin(), c1.y.end());
    c1c2c3.insert(c1c2c3.end(), c2.begin(), c2.end());
    c1c2c3.insert(c1c2c3.end(), hash.begin(), hash.end());
    return true;
}

bool Sm2ImportKey(std::string_view text, std::string& private_key, Sm2Point& public_key) {
    // PEM as it is (a text field holds CR LF line ends, which the PEM reader takes); anything
    // else is the hex of the DER.
    Bytes input;
    const bool pem = text.find("-----BEGIN") != std::string_view::npos;
    if (pem) {
        input.assign(text.begin(), text.end());
    } else {
        std::string hex;
        std::copy_if(text.begin(), text.end(), std::back_inserter(hex),
                     [](char c) { return c != ' ' && c != '\t' && c != '\r' && c != '\n'; });
        if (hex.empty() || hex.size() % 2 != 0 || CheckHexText(hex) != 0) {
            return false;
        }
        input = HexToBytes(hex);
    }
    EVP_PKEY* raw = nullptr;
    const std::unique_ptr<OSSL_DECODER_CTX, DecoderFree> decoder(OSSL_DECODER_CTX_new_for_pkey(
        &raw, pem ? "PEM" : "DER", nullptr, nullptr, 0, nullptr, nullptr));
    const unsigned char* data = input.data();
    size_t size = input.size();
    if (!decoder || OSSL_DECODER_from_data(decoder.get(), &data, &size) != 1 || raw == nullptr) {
        return false;
    }
    const Pkey key(raw);
    char group[32] = {};
    if (EVP_PKEY_get_utf8_string_param(key.get(), OSSL_PKEY_PARAM_GROUP_NAME, group, sizeof(group),
                                       nullptr) != 1 ||
        std::string_view(group) != "SM2") {
        return false;
    }
    Sm2Bytes32 d{};
    if (GetNumber(key.get(), OSSL_PKEY_PARAM_PRIV_KEY, d)) {
        // The public point follows from the scalar, whether or not the file holds it.
        const std::string hex = BytesToHex(d);
        OPENSSL_cleanse(d.data(), d.size());
        if (!Sm2GeneratePublicKey(hex, public_key)) {
            return false;
        }
        private_key = hex;
        return true;
    }
    Sm2Point point;
    if (!GetNumber(key.get(), OSSL_PKEY_PARAM_EC_PUB_X, point.x) ||
        !GetNumber(key.get(), OSSL_PKEY_PARAM_EC_PUB_Y, point.y) || !Sm2PublicKeyIsValid(point)) {
        return false;
    }
    private_key.clear();
    public_key = point;
    return true;
}

bool Sm2ExportPrivateKey(std::string_view private_key, std::string& pem) {
    Sm2Point public_key;
    if (!Sm2GeneratePublicKey(private_key, public_key)) {
        return false;
    }
    Sm2Bytes32 d = Sm2FixedBytesFromHex(private_key);
    const Pkey key = MakeKey(public_key, &d);
    OPENSSL_cleanse(d.data(), d.size());
    return key && WritePem(key.get(), EVP_PKEY_KEYPAIR, "PrivateKeyInfo", pem);
}

bool Sm2ExportPublicKey(const Sm2Point& public_key, std::string& pem) {
    if (!Sm2PublicKeyIsValid(public_key)) {
        return false;
    }
    const Pkey key = MakeKey(public_key, nullptr);
    return key && WritePem(key.get(), EVP_PKEY_PUBLIC_KEY, "SubjectPublicKeyInfo", pem);
}

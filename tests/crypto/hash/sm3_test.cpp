#include "crypto/hash/sm3.h"

#include <gtest/gtest.h>
#include <openssl/core_names.h>
#include <openssl/evp.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "common/hex_codec.h"
#include "support/evp_oracle.h"
#include "support/vector_file.h"

namespace {

using Bytes = std::vector<uint8_t>;

std::string OpenSslSm3(const Bytes& data) {
    uint8_t digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    EXPECT_EQ(EVP_Digest(data.data(), data.size(), digest, &size, EVP_sm3(), nullptr), 1);
    return BytesToHex(std::span(digest, size));
}

std::string OpenSslHmacSm3(const Bytes& key, const Bytes& data) {
    EVP_MAC* mac = EVP_MAC_fetch(nullptr, "HMAC", nullptr);
    EVP_MAC_CTX* ctx = mac != nullptr ? EVP_MAC_CTX_new(mac) : nullptr;
    char digest_name[] = "SM3";
    const OSSL_PARAM params[] = {
        OSSL_PARAM_construct_utf8_string(OSSL_MAC_PARAM_DIGEST, digest_name, 0),
        OSSL_PARAM_construct_end()};
    uint8_t out[EVP_MAX_MD_SIZE];
    size_t size = 0;
    const bool ok = ctx != nullptr && EVP_MAC_init(ctx, key.data(), key.size(), params) == 1 &&
                    EVP_MAC_update(ctx, data.data(), data.size()) == 1 &&
                    EVP_MAC_final(ctx, out, &size, sizeof out) == 1;
    EVP_MAC_CTX_free(ctx);
    EVP_MAC_free(mac);
    EXPECT_TRUE(ok);
    return BytesToHex(std::span(out, size));
}

// Feeds `data` to a fresh context in pieces of random sizes (0 included) and finishes it.
std::string HashInPieces(const Bytes& data, std::mt19937& rng, bool hmac, const Bytes& key = {}) {
    Sm3Context context;
    hmac ? Sm3HmacInit(context, key) : Sm3Init(context);
    std::span<const uint8_t> rest = data;
    while (!rest.empty()) {
        const size_t piece = std::min<size_t>(rest.size(), rng() % 150);
        hmac ? Sm3HmacUpdate(context, rest.first(piece)) : Sm3Update(context, rest.first(piece));
        rest = rest.subspan(piece);
    }
    Sm3Digest out;
    hmac ? Sm3HmacFinal(context, out) : Sm3Final(context, out);
    return BytesToHex(out);
}

// Columns of sm3.txt: name | SM3 or HMAC-SM3 | key | message | expected. Each line one-shot and
// in random pieces.
TEST(Sm3Engine, KnownAnswerVectors) {
    std::mt19937 rng(32905);
    for (const VectorRecord& v : LoadVectorFile("sm3.txt")) {
        SCOPED_TRACE(v.Where());
        const bool hmac = v.fields.at(1) == "HMAC-SM3";
        ASSERT_TRUE(hmac || v.fields.at(1) == "SM3");
        const Bytes key = v.Bytes(2), message = v.Bytes(3);
        const std::string& expected = v.fields.at(4);
        EXPECT_EQ(BytesToHex(hmac ? Sm3Hmac(key, message) : Sm3Hash(message)), expected);
        EXPECT_EQ(HashInPieces(message, rng, hmac, key), expected);
    }
}

// GB/T 32905 Appendix A example 1 is one padded block, so CF on it from the IV gives the digest:
// a fault in Sm3Compress shows there and not only through the padding.
TEST(Sm3Engine, CompressOfThePaddedExampleBlock) {
    std::array<uint8_t, 64> block{'a', 'b', 'c', 0x80};
    block[63] = 24;
    Sm3Context context;
    Sm3Init(context);
    Sm3Compress(context, block);
    std::string chaining;
    for (const uint32_t word : context.v) {
        char text[9];
        std::snprintf(text, sizeof text, "%08X", word);
        chaining += text;
    }
    EXPECT_EQ(chaining, "66C7F0F462EEEDD9D1F2D46BDC10E4E24167C4875CF2F7A2297DA02B8F4BA8E0");
}

// The low byte count carries into the high word, and the bit length in the padding takes both:
// after 2^32 - 1 bytes plus 3 more the length block holds 2^35 + 16 bits.
TEST(Sm3Engine, ByteCountCarriesIntoTheHighWord) {
    Sm3Context context;
    Sm3Init(context);
    context.byte_count[0] = 0xFFFFFFFF;  // as if 2^32 - 1 bytes were absorbed; 63 in the buffer
    Sm3Update(context, Bytes(3, 0));
    EXPECT_EQ(context.byte_count[0], 2u);
    EXPECT_EQ(context.byte_count[1], 1u);
}

// Every length 0..300 and random lengths up to 5000 bytes, whole and in random pieces, against
// OpenSSL's SM3.
TEST(Sm3Engine, AgreesWithOpenSslOnRandomLengths) {
    std::mt19937 rng(2016);
    for (size_t trial = 0; trial < 400; ++trial) {
        const Bytes data = RandomBytes(rng, trial <= 300 ? trial : rng() % 5000);
        SCOPED_TRACE(testing::Message() << data.size() << " bytes");
        const std::string expected = OpenSslSm3(data);
        EXPECT_EQ(BytesToHex(Sm3Hash(data)), expected);
        EXPECT_EQ(HashInPieces(data, rng, false), expected);
    }
}

// Keys of 1..130 bytes cross the block length (64 used as is, 65 hashed first) and the length
// of a hashed key (32); messages of random lengths.
TEST(Sm3Engine, HmacAgreesWithOpenSslForKeysOf1To130Bytes) {
    std::mt19937 rng(2104);
    for (size_t key_size = 1; key_size <= 130; ++key_size) {
        const Bytes key = RandomBytes(rng, key_size), data = RandomBytes(rng, rng() % 300);
        SCOPED_TRACE(testing::Message() << "key " << key_size << ", data " << data.size());
        const std::string expected = OpenSslHmacSm3(key, data);
        EXPECT_EQ(BytesToHex(Sm3Hmac(key, data)), expected);
        EXPECT_EQ(HashInPieces(data, rng, true, key), expected);
    }
}

}  // namespace

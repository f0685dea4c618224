#include "crypto/block/gcm.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/hex_codec.h"
#include "support/evp_gcm_cmac.h"
#include "support/evp_oracle.h"
#include "support/vector_file.h"

namespace {

using Bytes = std::vector<uint8_t>;

// Columns of gcm.txt: name | cipher | key | iv | aad | plaintext | ciphertext | tag. Each line
// encrypts, decrypts in place, and with every tag length from 4 to 16 bytes; a changed tag,
// ciphertext, AAD or IV is refused with the output untouched.
TEST(GcmEngine, PublishedVectorsBothDirections) {
    for (const VectorRecord& v : LoadVectorFile("gcm.txt")) {
        SCOPED_TRACE(v.Where());
        CBlockCipher cipher;
        ASSERT_TRUE(cipher.SetKey(
            v.fields.at(1) == "SM4" ? BlockAlgorithm::kSm4 : BlockAlgorithm::kAes, v.Bytes(2)));
        const Bytes iv = v.Bytes(3), aad = v.Bytes(4), plain = v.Bytes(5);
        Bytes out(plain.size()), tag(16);
        ASSERT_TRUE(GcmEncrypt(cipher, out, tag, iv, aad, plain));
        EXPECT_EQ(BytesToHex(out), BytesToHex(v.Bytes(6)));
        EXPECT_EQ(BytesToHex(tag), v.fields.at(7));
        if (plain.empty()) {
            ASSERT_TRUE(Gmac(cipher, tag, iv, aad));
            EXPECT_EQ(BytesToHex(tag), v.fields.at(7));
        }
        for (size_t tag_bytes = kGcmMinTagBytes; tag_bytes <= kGcmMaxTagBytes; ++tag_bytes) {
            Bytes copy = v.Bytes(6);
            ASSERT_TRUE(GcmDecrypt(cipher, copy, iv, aad, copy, std::span(tag).first(tag_bytes)));
            EXPECT_EQ(BytesToHex(copy), BytesToHex(plain));
        }
        struct Change {
            const char* what;
            Bytes iv, aad, ciphertext, tag;
        };
        auto flipped = [](Bytes bytes, size_t at) {
            if (bytes.empty()) {
                return Bytes{0x00};
            }
            bytes[at % bytes.size()] ^= 0x01;
            return bytes;
        };
        const Change changes[] = {
            {"tag", iv, aad, out, flipped(tag, 15)},
            {"first tag byte", iv, aad, out, flipped(tag, 0)},
            {"ciphertext", iv, aad, flipped(out, 7), tag},
            {"aad", iv, flipped(aad, 3), out, tag},
            {"iv", flipped(iv, 11), aad, out, tag},
        };
        for (const Change& c : changes) {
            SCOPED_TRACE(c.what);
            Bytes plain_out(c.ciphertext.size(), 0xAA);
            EXPECT_FALSE(GcmDecrypt(cipher, plain_out, c.iv, c.aad, c.ciphertext, c.tag));
            EXPECT_EQ(plain_out, Bytes(c.ciphertext.size(), 0xAA));
        }
    }
}

// AES-GCM against OpenSSL on random keys, IVs of 1 to 60 bytes, AAD and plaintext lengths
// around the block boundaries and every tag length. OpenSSL 3.0 has no SM4-GCM: SM4 is checked
// for its keystream, which for a 12-byte IV is SM4-CTR from IV || 00000002, and by RFC 8998
// above; the GHASH is the one AES uses.
TEST(GcmEngine, AgreesWithOpenSsl) {
    const EVP_CIPHER* gcm[] = {EVP_aes_128_gcm(), EVP_aes_192_gcm(), EVP_aes_256_gcm()};
    std::mt19937 rng(20261208);
    const size_t lengths[] = {0, 1, 15, 16, 17, 31, 32, 33, 64, 127, 128, 129, 200, 4111};
    const size_t iv_lengths[] = {1, 8, 12, 13, 16, 17, 32, 60};
    for (int trial = 0; trial < 240; ++trial) {
        const size_t key_index = static_cast<size_t>(trial) % 4;
        const bool sm4 = key_index == 3;
        const Bytes key = RandomBytes(rng, sm4 ? 16 : 16 + 8 * key_index);
        const Bytes iv = RandomBytes(rng, sm4 ? 12 : iv_lengths[rng() % 8]);
        const Bytes aad = RandomBytes(rng, lengths[rng() % 10]);
        const Bytes plain = RandomBytes(rng, lengths[rng() % 14]);
        const size_t tag_bytes = 4 + rng() % 13;
        SCOPED_TRACE(testing::Message()
                     << "trial " << trial << " key " << BytesToHex(key) << " iv " << BytesToHex(iv)
                     << " aad " << aad.size() << " data " << plain.size() << " tag " << tag_bytes);
        CBlockCipher cipher;
        ASSERT_TRUE(cipher.SetKey(sm4 ? BlockAlgorithm::kSm4 : BlockAlgorithm::kAes, key));
        Bytes out(plain.size()), tag(tag_bytes);
        ASSERT_TRUE(GcmEncrypt(cipher, out, tag, iv, aad, plain));
        if (sm4) {
            Bytes counter = iv;
            counter.insert(counter.end(), {0x00, 0x00, 0x00, 0x02});
            EXPECT_EQ(BytesToHex(out),
                      BytesToHex(EvpCrypt(EVP_sm4_ctr(), true, plain, counter, key)));
        } else {
            const std::optional<EvpGcmResult> expected =
                EvpGcmEncrypt(gcm[key_index], key, iv, aad, plain, tag_bytes);
            ASSERT_TRUE(expected.has_value());
            EXPECT_EQ(BytesToHex(out), BytesToHex(expected->ciphertext));
            EXPECT_EQ(BytesToHex(tag), BytesToHex(expected->tag));
        }
        Bytes back(out.size());
        ASSERT_TRUE(GcmDecrypt(cipher, back, iv, aad, out, tag));
        EXPECT_EQ(back, plain);
    }
}

TEST(GcmEngine, RefusesWhatGcmDoesNotDefine) {
    struct Case {
        const char* what;
        BlockAlgorithm algorithm;
        size_t key_bytes, iv_bytes, tag_bytes, input_bytes, output_bytes;
    };
    const Case cases[] = {
        {"TDES", BlockAlgorithm::kDes, 24, 12, 16, 8, 8},
        {"empty IV", BlockAlgorithm::kAes, 16, 0, 16, 8, 8},
        {"tag of 3", BlockAlgorithm::kAes, 16, 12, 3, 8, 8},
        {"tag of 17", BlockAlgorithm::kSm4, 16, 12, 17, 8, 8},
        {"output shorter", BlockAlgorithm::kAes, 16, 12, 16, 8, 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CBlockCipher cipher;
        ASSERT_TRUE(cipher.SetKey(c.algorithm, Bytes(c.key_bytes, 0x01)));
        Bytes out(c.output_bytes, 0xAA), tag(c.tag_bytes, 0xAA);
        EXPECT_FALSE(GcmEncrypt(cipher, out, tag, Bytes(c.iv_bytes), {}, Bytes(c.input_bytes)));
        EXPECT_FALSE(GcmDecrypt(cipher, out, Bytes(c.iv_bytes), {}, Bytes(c.input_bytes), tag));
        EXPECT_EQ(out, Bytes(c.output_bytes, 0xAA));
        EXPECT_EQ(tag, Bytes(c.tag_bytes, 0xAA));
    }
}

}  // namespace

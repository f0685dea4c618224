#include "crypto/block/aes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "common/hex_codec.h"
#include "support/evp_oracle.h"
#include "support/vector_file.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Block = std::array<uint8_t, 16>;

Block BlockFrom(const Bytes& bytes) {
    Block block{};
    std::copy(bytes.begin(), bytes.end(), block.begin());
    return block;
}

// Columns of aes.txt: name | mode | key | iv | plaintext | ciphertext. AesCrypt both ways (the
// decryption in place); ECB lines also block by block in place through CAesCipher.
TEST(AesEngine, KnownAnswerVectorsBothDirections) {
    for (const VectorRecord& v : LoadVectorFile("aes.txt")) {
        SCOPED_TRACE(v.Where());
        const bool cbc = v.fields.at(1) == "CBC";
        const Bytes key = v.Bytes(2), iv = v.Bytes(3), plain = v.Bytes(4), cipher = v.Bytes(5);
        // CBC leaves the last ciphertext block in the chaining value; ECB leaves it alone.
        const std::string chain_after =
            cbc ? BytesToHex(std::span(cipher).last(16)) : BytesToHex(BlockFrom(iv));

        Bytes out(plain.size());
        Block chain = BlockFrom(iv);
        ASSERT_TRUE(AesCrypt(false, cbc, plain, out, chain, key));
        EXPECT_EQ(BytesToHex(out), BytesToHex(cipher));
        EXPECT_EQ(BytesToHex(chain), chain_after);

        chain = BlockFrom(iv);
        ASSERT_TRUE(AesCrypt(true, cbc, out, out, chain, key));
        EXPECT_EQ(BytesToHex(out), BytesToHex(plain));
        EXPECT_EQ(BytesToHex(chain), chain_after);

        if (!cbc) {
            CAesCipher aes;
            ASSERT_TRUE(aes.SetKey(key));
            for (size_t offset = 0; offset < out.size(); offset += 16) {
                const std::span<uint8_t, 16> block = std::span(out).subspan(offset).first<16>();
                aes.EncryptBlock(block, block);
                EXPECT_EQ(BytesToHex(block), BytesToHex(std::span(cipher).subspan(offset, 16)));
                aes.DecryptBlock(block, block);
                EXPECT_EQ(BytesToHex(block), BytesToHex(std::span(plain).subspan(offset, 16)));
            }
        }
    }
}

TEST(AesEngine, AgreesWithOpenSslOnRandomInputs) {
    const EVP_CIPHER* ciphers[2][3] = {{EVP_aes_128_ecb(), EVP_aes_192_ecb(), EVP_aes_256_ecb()},
                                       {EVP_aes_128_cbc(), EVP_aes_192_cbc(), EVP_aes_256_cbc()}};
    std::mt19937 rng(20240612);
    for (int trial = 0; trial < 300; ++trial) {
        const size_t key_index = rng() % 3;
        const Bytes key = RandomBytes(rng, 16 + 8 * key_index);
        const Bytes iv = RandomBytes(rng, 16);
        const Bytes input = RandomBytes(rng, 16 * (1 + rng() % 256));
        const bool cbc = rng() % 2 == 1;
        const bool decrypt = rng() % 2 == 1;
        const bool in_place = rng() % 2 == 1;
        SCOPED_TRACE(testing::Message()
                     << "trial " << trial << " key " << BytesToHex(key) << (cbc ? " CBC" : " ECB")
                     << (decrypt ? " dec " : " enc ") << input.size() << " bytes"
                     << (in_place ? " in place" : ""));

        const Bytes expected = EvpCrypt(ciphers[cbc][key_index], !decrypt, input, iv, key);
        Bytes out = in_place ? input : Bytes(input.size());
        Block chain = BlockFrom(iv);
        ASSERT_TRUE(AesCrypt(decrypt, cbc, in_place ? std::span<const uint8_t>(out) : input, out,
                             chain, key));
        EXPECT_EQ(BytesToHex(out), BytesToHex(expected));
        if (cbc) {
            const Bytes& ciphertext = decrypt ? input : expected;
            EXPECT_EQ(BytesToHex(chain), BytesToHex(std::span(ciphertext).last(16)));
        }
    }
}

// A fresh cipher holds the all-zero 128-bit key, and a refused key keeps the one before it.
TEST(AesEngine, UnsetAndRefusedKeysKeepAUsableSchedule) {
    const Block zero{};
    Block out{};
    CAesCipher cipher;
    cipher.EncryptBlock(zero, out);
    EXPECT_EQ(BytesToHex(out), BytesToHex(EvpCrypt(EVP_aes_128_ecb(), true, zero, {}, zero)));

    const VectorRecord c3 = LoadVectors("aes.txt", 0, "FIPS197 C.3 AES-256").at(0);
    ASSERT_TRUE(cipher.SetKey(c3.Bytes(2)));
    for (const size_t bad_size : {0, 8, 15, 17, 20, 31, 33}) {
        EXPECT_FALSE(cipher.SetKey(Bytes(bad_size, 0x5A))) << bad_size << " bytes";
    }
    cipher.EncryptBlock(BlockFrom(c3.Bytes(4)), out);
    EXPECT_EQ(BytesToHex(out), c3.fields.at(5));
}

TEST(AesEngine, RefusalsWriteNothing) {
    struct Case {
        const char* what;
        size_t input_size;
        size_t output_size;
        size_t key_size;
    };
    const Case cases[] = {
        {"length 0", 0, 0, 16},         {"length 8", 8, 8, 16},          {"length 24", 24, 24, 16},
        {"length 33", 33, 33, 32},      {"key of 20 bytes", 16, 16, 20}, {"empty key", 16, 16, 0},
        {"output shorter", 32, 16, 16}, {"output longer", 16, 32, 24},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (const bool cbc : {false, true}) {
            for (const bool decrypt : {false, true}) {
                Bytes output(c.output_size, 0xAA);
                Block chain;
                chain.fill(0x33);
                EXPECT_FALSE(AesCrypt(decrypt, cbc, Bytes(c.input_size, 0x11), output, chain,
                                      Bytes(c.key_size, 0x22)));
                EXPECT_EQ(output, Bytes(c.output_size, 0xAA));
                EXPECT_EQ(BytesToHex(chain), std::string(32, '3'));
            }
        }
    }
}

}  // namespace

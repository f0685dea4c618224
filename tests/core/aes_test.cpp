#include "crypto/aes.h"

#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <algorithm>
#include <array>
#include <random>
#include <vector>

#include "common/hex_codec.h"
#include "support/vector_file.h"

namespace {

using Bytes = std::vector<uint8_t>;

std::array<uint8_t, 16> ChainFrom(const Bytes& iv) {
    std::array<uint8_t, 16> chain{};
    std::copy(iv.begin(), iv.end(), chain.begin());
    return chain;
}

// Columns of aes.txt: name | mode | key | iv | plaintext | ciphertext.
TEST(AesEngine, KnownAnswerVectorsBothDirections) {
    for (const VectorRecord& v : LoadVectorFile("aes.txt")) {
        SCOPED_TRACE(v.Where());
        const bool cbc = v.fields.at(1) == "CBC";
        const Bytes key = v.Bytes(2), iv = v.Bytes(3), plain = v.Bytes(4), cipher = v.Bytes(5);
        // CBC leaves the last ciphertext block in the chaining value; ECB leaves it alone.
        const std::string chain_after =
            cbc ? BytesToHex(Bytes(cipher.end() - 16, cipher.end())) : BytesToHex(ChainFrom(iv));

        Bytes out(plain.size());
        auto chain = ChainFrom(iv);
        ASSERT_TRUE(AesCrypt(false, cbc, plain, out, chain, key));
        EXPECT_EQ(BytesToHex(out), BytesToHex(cipher));
        EXPECT_EQ(BytesToHex(chain), chain_after);

        chain = ChainFrom(iv);
        Bytes in_place = cipher;
        ASSERT_TRUE(AesCrypt(true, cbc, in_place, in_place, chain, key));
        EXPECT_EQ(BytesToHex(in_place), BytesToHex(plain));
        EXPECT_EQ(BytesToHex(chain), chain_after);

        chain = ChainFrom(iv);
        in_place = plain;
        ASSERT_TRUE(AesCrypt(false, cbc, in_place, in_place, chain, key));
        EXPECT_EQ(BytesToHex(in_place), BytesToHex(cipher));
    }
}

// The single-block calls the page and key check values use, in place, on every ECB vector.
TEST(AesEngine, SingleBlocksInPlace) {
    for (const VectorRecord& v : LoadVectors("aes.txt", 1, "ECB")) {
        SCOPED_TRACE(v.Where());
        CAesCipher cipher;
        ASSERT_TRUE(cipher.SetKey(v.Bytes(2)));
        Bytes data = v.Bytes(4);
        for (size_t offset = 0; offset < data.size(); offset += 16) {
            const std::span<uint8_t, 16> block = std::span(data).subspan(offset).first<16>();
            cipher.EncryptBlock(block, block);
        }
        EXPECT_EQ(BytesToHex(data), v.fields.at(5));
        for (size_t offset = 0; offset < data.size(); offset += 16) {
            const std::span<uint8_t, 16> block = std::span(data).subspan(offset).first<16>();
            cipher.DecryptBlock(block, block);
        }
        EXPECT_EQ(BytesToHex(data), v.fields.at(4));
    }
}

// OpenSSL as the oracle for every key size, both modes and both directions, without padding.
Bytes OpenSslCrypt(bool decrypt, bool cbc, const Bytes& input, const Bytes& iv, const Bytes& key) {
    const EVP_CIPHER* ciphers[2][3] = {{EVP_aes_128_ecb(), EVP_aes_192_ecb(), EVP_aes_256_ecb()},
                                       {EVP_aes_128_cbc(), EVP_aes_192_cbc(), EVP_aes_256_cbc()}};
    const EVP_CIPHER* cipher = ciphers[cbc ? 1 : 0][(key.size() - 16) / 8];
    EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
    Bytes out(input.size() + 16);
    int written = 0, final_written = 0;
    const bool ok = EVP_CipherInit_ex(ctx, cipher, nullptr, key.data(), cbc ? iv.data() : nullptr,
                                      decrypt ? 0 : 1) == 1 &&
                    EVP_CIPHER_CTX_set_padding(ctx, 0) == 1 &&
                    EVP_CipherUpdate(ctx, out.data(), &written, input.data(),
                                     static_cast<int>(input.size())) == 1 &&
                    EVP_CipherFinal_ex(ctx, out.data() + written, &final_written) == 1;
    EVP_CIPHER_CTX_free(ctx);
    EXPECT_TRUE(ok);
    out.resize(static_cast<size_t>(written + final_written));
    return out;
}

TEST(AesEngine, AgreesWithOpenSslOnRandomInputs) {
    std::mt19937 rng(20240612);
    auto random_bytes = [&](size_t n) {
        Bytes bytes(n);
        for (uint8_t& b : bytes) {
            b = static_cast<uint8_t>(rng());
        }
        return bytes;
    };
    for (int trial = 0; trial < 300; ++trial) {
        const Bytes key = random_bytes(16 + 8 * (rng() % 3));
        const Bytes iv = random_bytes(16);
        const Bytes input = random_bytes(16 * (1 + rng() % 256));
        const bool cbc = rng() % 2 == 1;
        const bool decrypt = rng() % 2 == 1;
        const bool in_place = rng() % 2 == 1;
        SCOPED_TRACE(testing::Message()
                     << "trial " << trial << " key " << BytesToHex(key) << (cbc ? " CBC" : " ECB")
                     << (decrypt ? " dec " : " enc ") << input.size() << " bytes"
                     << (in_place ? " in place" : ""));

        const Bytes expected = OpenSslCrypt(decrypt, cbc, input, iv, key);
        Bytes buffer = input;
        Bytes separate(input.size());
        auto chain = ChainFrom(iv);
        ASSERT_TRUE(AesCrypt(decrypt, cbc, in_place ? std::span<const uint8_t>(buffer) : input,
                             in_place ? std::span<uint8_t>(buffer) : std::span<uint8_t>(separate),
                             chain, key));
        EXPECT_EQ(BytesToHex(in_place ? buffer : separate), BytesToHex(expected));
        if (cbc) {
            const Bytes& ciphertext = decrypt ? input : expected;
            EXPECT_EQ(BytesToHex(chain),
                      BytesToHex(Bytes(ciphertext.end() - 16, ciphertext.end())));
        }
    }
}

// A fresh cipher holds the all-zero 128-bit key, and a refused key keeps the one before it.
TEST(AesEngine, UnsetAndRefusedKeysKeepAUsableSchedule) {
    const Bytes zero_block(16, 0);
    std::array<uint8_t, 16> out{};
    CAesCipher cipher;
    cipher.EncryptBlock(std::span<const uint8_t, 16>(zero_block), out);
    EXPECT_EQ(BytesToHex(out), BytesToHex(OpenSslCrypt(false, false, zero_block, {}, Bytes(16))));

    const VectorRecord c3 = LoadVectors("aes.txt", 0, "FIPS197 C.3 AES-256").at(0);
    ASSERT_TRUE(cipher.SetKey(c3.Bytes(2)));
    for (const size_t bad_size : {0, 8, 15, 17, 20, 31, 33}) {
        EXPECT_FALSE(cipher.SetKey(Bytes(bad_size, 0x5A))) << bad_size << " bytes";
    }
    const Bytes plain = c3.Bytes(4);
    cipher.EncryptBlock(std::span<const uint8_t, 16>(plain), out);
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
        {"length 0", 0, 0, 16},
        {"length 8", 8, 8, 16},
        {"length 24", 24, 24, 16},
        {"length 33", 33, 33, 32},
        {"key of 20 bytes", 16, 16, 20},
        {"key of 8 bytes", 16, 16, 8},
        {"empty key", 16, 16, 0},
        {"output shorter than input", 32, 16, 16},
        {"output longer than input", 16, 32, 24},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (const bool cbc : {false, true}) {
            for (const bool decrypt : {false, true}) {
                const Bytes input(c.input_size, 0x11);
                const Bytes key(c.key_size, 0x22);
                Bytes output(c.output_size, 0xAA);
                std::array<uint8_t, 16> chain;
                chain.fill(0x33);
                EXPECT_FALSE(AesCrypt(decrypt, cbc, input, output, chain, key));
                EXPECT_EQ(output, Bytes(c.output_size, 0xAA));
                EXPECT_EQ(BytesToHex(chain), std::string(32, '3'));
            }
        }
    }
}

}  // namespace

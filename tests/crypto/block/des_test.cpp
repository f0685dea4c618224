#include "crypto/block/des.h"

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

std::array<uint8_t, 8> ChainFrom(const Bytes& iv) {
    std::array<uint8_t, 8> chain{};
    std::copy(iv.begin(), iv.end(), chain.begin());
    return chain;
}

// Columns of des.txt: name | alg | mode | key | iv | plaintext | ciphertext.
TEST(DesEngine, KnownAnswerVectorsBothDirections) {
    for (const VectorRecord& v : LoadVectorFile("des.txt")) {
        SCOPED_TRACE(v.Where());
        const bool cbc = v.fields.at(2) == "CBC";
        const Bytes key = v.Bytes(3), iv = v.Bytes(4), plain = v.Bytes(5), cipher = v.Bytes(6);

        Bytes out(plain.size());
        auto chain = ChainFrom(iv);
        ASSERT_TRUE(DesCrypt(false, cbc, plain, out, chain, key));
        EXPECT_EQ(BytesToHex(out), BytesToHex(cipher));
        // CBC leaves the last ciphertext block in the chaining value; ECB leaves it alone.
        const Bytes last(cipher.end() - 8, cipher.end());
        EXPECT_EQ(BytesToHex(chain), cbc                     ? BytesToHex(last)
                                     : v.fields.at(4) == "-" ? "0000000000000000"
                                                             : v.fields.at(4));

        chain = ChainFrom(iv);
        Bytes in_place = cipher;
        ASSERT_TRUE(DesCrypt(true, cbc, in_place, in_place, chain, key));
        EXPECT_EQ(BytesToHex(in_place), BytesToHex(plain));
        EXPECT_EQ(BytesToHex(chain), cbc                     ? BytesToHex(last)
                                     : v.fields.at(4) == "-" ? "0000000000000000"
                                                             : v.fields.at(4));
    }
}

TEST(DesEngine, SingleBlockEntriesMatchSingleDesVectors) {
    for (const VectorRecord& v : LoadVectors("des.txt", 1, "DES")) {
        SCOPED_TRACE(v.Where());
        if (v.fields.at(2) != "ECB" || v.Bytes(5).size() != 8) {
            continue;
        }
        const Bytes key = v.Bytes(3), plain = v.Bytes(5), cipher = v.Bytes(6);
        std::array<uint8_t, 8> block{};
        DesEncryptBlock(std::span<const uint8_t, 8>(key), std::span<const uint8_t, 8>(plain),
                        block);
        EXPECT_EQ(BytesToHex(block), BytesToHex(cipher));
        DesDecryptBlock(std::span<const uint8_t, 8>(key), block, block);
        EXPECT_EQ(BytesToHex(block), BytesToHex(plain));
    }
}

// The worked example with key 133457799BBCDFF1: the first and last round keys, as six-bit groups,
// so that a fault in PC-1, the shifts or PC-2 shows here rather than only as a wrong ciphertext.
TEST(DesEngine, KeyScheduleRoundKeys) {
    const Bytes key = HexToBytes("133457799BBCDFF1");
    const DesRoundKeys keys = DesKeySchedule(std::span<const uint8_t, 8>(key));
    const std::array<uint8_t, 8> k1 = {0b000110, 0b110000, 0b001011, 0b101111,
                                       0b111111, 0b000111, 0b000001, 0b110010};
    const std::array<uint8_t, 8> k16 = {0b110010, 0b110011, 0b110110, 0b001011,
                                        0b000011, 0b100001, 0b011111, 0b110101};
    EXPECT_EQ(keys[0], k1);
    EXPECT_EQ(keys[15], k16);
    EXPECT_EQ(DesBlock(0x0123456789ABCDEF, keys, false), 0x85E813540F0AB405u);
    EXPECT_EQ(DesBlock(0x85E813540F0AB405, keys, true), 0x0123456789ABCDEFu);
}

TEST(DesEngine, RefusalsWriteNothing) {
    struct Case {
        const char* what;
        size_t input_size;
        size_t output_size;
        size_t key_size;
    };
    const Case cases[] = {
        {"length 0", 0, 0, 8},    {"length 12", 12, 12, 8},
        {"length 7", 7, 7, 16},   {"key of 7 bytes", 16, 16, 7},
        {"empty key", 16, 16, 0}, {"output shorter than input", 16, 8, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (const bool cbc : {false, true}) {
            const Bytes input(c.input_size, 0x11);
            const Bytes key(c.key_size, 0x22);
            Bytes output(c.output_size, 0xAA);
            std::array<uint8_t, 8> chain;
            chain.fill(0x33);
            EXPECT_FALSE(DesCrypt(false, cbc, input, output, chain, key));
            EXPECT_FALSE(DesCrypt(true, cbc, input, output, chain, key));
            EXPECT_EQ(output, Bytes(c.output_size, 0xAA));
            EXPECT_EQ(BytesToHex(chain), "3333333333333333");
        }
    }
}

// OpenSSL as the oracle. Single DES lives only in OpenSSL's legacy provider, so it is checked as
// DES-EDE with K1 = K2, which is the same cipher.
Bytes OpenSslCrypt(bool decrypt, bool cbc, const Bytes& input, const Bytes& iv, const Bytes& key) {
    const size_t parts = std::min<size_t>(key.size() / 8, 3);
    Bytes ede_key(key.begin(), key.begin() + static_cast<long>(8 * parts));
    if (parts == 1) {
        ede_key.insert(ede_key.end(), key.begin(), key.begin() + 8);
    }
    const EVP_CIPHER* cipher = parts == 3 ? (cbc ? EVP_des_ede3_cbc() : EVP_des_ede3())
                                          : (cbc ? EVP_des_ede_cbc() : EVP_des_ede());
    EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
    Bytes out(input.size() + 8);
    int written = 0, final_written = 0;
    const bool ok = EVP_CipherInit_ex(ctx, cipher, nullptr, ede_key.data(),
                                      cbc ? iv.data() : nullptr, decrypt ? 0 : 1) == 1 &&
                    EVP_CIPHER_CTX_set_padding(ctx, 0) == 1 &&
                    EVP_CipherUpdate(ctx, out.data(), &written, input.data(),
                                     static_cast<int>(input.size())) == 1 &&
                    EVP_CipherFinal_ex(ctx, out.data() + written, &final_written) == 1;
    EVP_CIPHER_CTX_free(ctx);
    EXPECT_TRUE(ok);
    out.resize(static_cast<size_t>(written + final_written));
    return out;
}

TEST(DesEngine, AgreesWithOpenSslOnRandomInputs) {
    std::mt19937 rng(20240611);
    auto random_bytes = [&](size_t n) {
        Bytes bytes(n);
        for (uint8_t& b : bytes) {
            b = static_cast<uint8_t>(rng());
        }
        return bytes;
    };
    for (int trial = 0; trial < 400; ++trial) {
        // Key lengths 8..32 cover every branch of the key-part rule, bytes past a part ignored.
        const Bytes key = random_bytes(8 + rng() % 25);
        const Bytes iv = random_bytes(8);
        const Bytes input = random_bytes(8 * (1 + rng() % 12));
        const bool cbc = rng() % 2 == 1;
        const bool decrypt = rng() % 2 == 1;
        const bool in_place = rng() % 2 == 1;
        SCOPED_TRACE(testing::Message()
                     << "trial " << trial << " key " << BytesToHex(key) << (cbc ? " CBC" : " ECB")
                     << (decrypt ? " dec" : " enc") << (in_place ? " in place" : ""));

        const Bytes expected = OpenSslCrypt(decrypt, cbc, input, iv, key);
        Bytes buffer = input;
        Bytes separate(input.size());
        auto chain = ChainFrom(iv);
        ASSERT_TRUE(DesCrypt(decrypt, cbc, input,
                             in_place ? std::span<uint8_t>(buffer) : std::span<uint8_t>(separate),
                             chain, key));
        EXPECT_EQ(BytesToHex(in_place ? buffer : separate), BytesToHex(expected));
        if (cbc) {
            const Bytes& ciphertext = decrypt ? input : expected;
            EXPECT_EQ(BytesToHex(chain), BytesToHex(Bytes(ciphertext.end() - 8, ciphertext.end())));
        }
    }
}

}  // namespace

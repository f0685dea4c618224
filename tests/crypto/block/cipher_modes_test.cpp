#include "crypto/block/cipher_modes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/hex_codec.h"
#include "crypto/block/block_padding.h"
#include "support/evp_oracle.h"
#include "support/vector_file.h"

namespace {

using Bytes = std::vector<uint8_t>;

// Columns of cipher_modes.txt: name | mode | key | iv | plaintext | ciphertext (AES). Both
// directions, the decryption in place.
TEST(CipherModesEngine, Sp80038aVectorsBothDirections) {
    for (const VectorRecord& v : LoadVectorFile("cipher_modes.txt")) {
        SCOPED_TRACE(v.Where());
        const std::string& name = v.fields.at(1);
        const CipherMode mode = name == "CFB"   ? CipherMode::kCfb
                                : name == "OFB" ? CipherMode::kOfb
                                                : CipherMode::kCtr;
        CBlockCipher cipher;
        ASSERT_TRUE(cipher.SetKey(BlockAlgorithm::kAes, v.Bytes(2)));
        const Bytes iv = v.Bytes(3), plain = v.Bytes(4);
        Bytes out(plain.size());
        ASSERT_TRUE(CipherModeCrypt(cipher, mode, false, out, iv, plain));
        EXPECT_EQ(BytesToHex(out), v.fields.at(5));
        ASSERT_TRUE(CipherModeCrypt(cipher, mode, true, out, iv, out));
        EXPECT_EQ(BytesToHex(out), BytesToHex(plain));
    }
}

// The test's own padding, written from the definitions: ISO/IEC 9797-1 methods 1 and 2, and
// PKCS #7's n bytes of value n.
Bytes PadForOracle(Bytes data, BlockPadding padding, size_t block) {
    if (padding == BlockPadding::kPkcs7) {
        data.resize((data.size() / block + 1) * block,
                    static_cast<uint8_t>(block - data.size() % block));
        return data;
    }
    if (padding == BlockPadding::kIso9797Method2) {
        data.push_back(0x80);
    }
    if (padding != BlockPadding::kNone) {
        data.resize((data.size() + block - 1) / block * block, 0x00);
    }
    return data;
}

// Every algorithm and mode against OpenSSL on random keys and IVs, lengths around the block
// boundaries and every padding of ECB and CBC. OpenSSL has single DES only in its legacy
// provider, so DES runs as DES-EDE with K1 = K2; it has no DES CTR, so that oracle encrypts the
// counter blocks with DES-EDE3 ECB and XORs them in.
TEST(CipherModesEngine, AgreesWithOpenSslOnEveryAlgorithmModeAndPadding) {
    struct Case {
        BlockAlgorithm algorithm;
        size_t key_bytes;
        CipherMode mode;
        const EVP_CIPHER* evp;
    };
    const Case cases[] = {
        {BlockAlgorithm::kDes, 8, CipherMode::kEcb, EVP_des_ede()},
        {BlockAlgorithm::kDes, 8, CipherMode::kCbc, EVP_des_ede_cbc()},
        {BlockAlgorithm::kDes, 8, CipherMode::kCfb, EVP_des_ede_cfb64()},
        {BlockAlgorithm::kDes, 8, CipherMode::kOfb, EVP_des_ede_ofb()},
        {BlockAlgorithm::kDes, 16, CipherMode::kEcb, EVP_des_ede()},
        {BlockAlgorithm::kDes, 16, CipherMode::kCbc, EVP_des_ede_cbc()},
        {BlockAlgorithm::kDes, 16, CipherMode::kCfb, EVP_des_ede_cfb64()},
        {BlockAlgorithm::kDes, 16, CipherMode::kOfb, EVP_des_ede_ofb()},
        {BlockAlgorithm::kDes, 24, CipherMode::kEcb, EVP_des_ede3()},
        {BlockAlgorithm::kDes, 24, CipherMode::kCbc, EVP_des_ede3_cbc()},
        {BlockAlgorithm::kDes, 24, CipherMode::kCfb, EVP_des_ede3_cfb64()},
        {BlockAlgorithm::kDes, 24, CipherMode::kOfb, EVP_des_ede3_ofb()},
        {BlockAlgorithm::kDes, 24, CipherMode::kCtr, EVP_des_ede3()},
        {BlockAlgorithm::kAes, 16, CipherMode::kEcb, EVP_aes_128_ecb()},
        {BlockAlgorithm::kAes, 16, CipherMode::kCbc, EVP_aes_128_cbc()},
        {BlockAlgorithm::kAes, 16, CipherMode::kCfb, EVP_aes_128_cfb128()},
        {BlockAlgorithm::kAes, 16, CipherMode::kOfb, EVP_aes_128_ofb()},
        {BlockAlgorithm::kAes, 16, CipherMode::kCtr, EVP_aes_128_ctr()},
        {BlockAlgorithm::kAes, 24, CipherMode::kCbc, EVP_aes_192_cbc()},
        {BlockAlgorithm::kAes, 24, CipherMode::kCtr, EVP_aes_192_ctr()},
        {BlockAlgorithm::kAes, 32, CipherMode::kEcb, EVP_aes_256_ecb()},
        {BlockAlgorithm::kAes, 32, CipherMode::kCfb, EVP_aes_256_cfb128()},
        {BlockAlgorithm::kAes, 32, CipherMode::kOfb, EVP_aes_256_ofb()},
        {BlockAlgorithm::kAes, 32, CipherMode::kCtr, EVP_aes_256_ctr()},
        {BlockAlgorithm::kSm4, 16, CipherMode::kEcb, EVP_sm4_ecb()},
        {BlockAlgorithm::kSm4, 16, CipherMode::kCbc, EVP_sm4_cbc()},
        {BlockAlgorithm::kSm4, 16, CipherMode::kCfb, EVP_sm4_cfb128()},
        {BlockAlgorithm::kSm4, 16, CipherMode::kOfb, EVP_sm4_ofb()},
        {BlockAlgorithm::kSm4, 16, CipherMode::kCtr, EVP_sm4_ctr()},
    };
    const BlockPadding paddings[] = {BlockPadding::kNone, BlockPadding::kZero,
                                     BlockPadding::kIso9797Method2, BlockPadding::kPkcs7};
    std::mt19937 rng(20261207);
    for (const Case& c : cases) {
        CBlockCipher cipher;
        const Bytes key = RandomBytes(rng, c.key_bytes);
        ASSERT_TRUE(cipher.SetKey(c.algorithm, key));
        const size_t b = cipher.BlockSize();
        Bytes oracle_key = key;
        if (c.key_bytes == 8) {
            oracle_key.insert(oracle_key.end(), key.begin(), key.end());
        }
        for (const size_t length : {size_t{0}, size_t{1}, b - 1, b, b + 1, 2 * b - 1, 2 * b,
                                    3 * b + 5, 4 * b, 70 * b + 3}) {
            for (const BlockPadding padding : paddings) {
                if (IsStreamMode(c.mode) && padding != BlockPadding::kNone) {
                    continue;
                }
                Bytes iv = RandomBytes(rng, b);
                // Counters that carry across 32 and 64 bits and wrap the whole block.
                if (c.mode == CipherMode::kCtr && length % 3 == 0) {
                    std::fill(iv.begin() + static_cast<long>(b / 2), iv.end(), 0xFF);
                    if (length % 2 == 0) {
                        std::fill(iv.begin(), iv.end(), 0xFF);
                    }
                }
                const Bytes data = RandomBytes(rng, length);
                SCOPED_TRACE(testing::Message()
                             << EVP_CIPHER_get0_name(c.evp) << " key " << BytesToHex(key) << " iv "
                             << BytesToHex(iv) << " length " << length << " padding "
                             << static_cast<int>(padding));

                Bytes padded = data;
                if (!IsStreamMode(c.mode)) {
                    const bool whole = length % b == 0;
                    ASSERT_EQ(PadToBlocks(padded, data, padding, b),
                              padding != BlockPadding::kNone || whole);
                    if (padding == BlockPadding::kNone && !whole) {
                        Bytes out(data.size());
                        EXPECT_FALSE(CipherModeCrypt(cipher, c.mode, false, out, iv, data));
                        continue;
                    }
                }
                Bytes expected;
                if (c.mode == CipherMode::kCtr && c.algorithm == BlockAlgorithm::kDes) {
                    Bytes counters;
                    Bytes counter = iv;
                    for (size_t i = 0; i < (length + b - 1) / b; ++i) {
                        counters.insert(counters.end(), counter.begin(), counter.end());
                        for (size_t k = b; k-- > 0 && ++counter[k] == 0;) {
                        }
                    }
                    expected = EvpCrypt(c.evp, true, counters, {}, oracle_key);
                    expected.resize(length);
                    for (size_t i = 0; i < length; ++i) {
                        expected[i] ^= data[i];
                    }
                } else {
                    expected =
                        EvpCrypt(c.evp, true, PadForOracle(data, padding, b), iv, oracle_key);
                }

                Bytes out(padded.size());
                ASSERT_TRUE(CipherModeCrypt(cipher, c.mode, false, out, iv, padded));
                ASSERT_EQ(BytesToHex(out), BytesToHex(expected));
                ASSERT_TRUE(CipherModeCrypt(cipher, c.mode, true, out, iv, out));
                size_t kept = 0;
                ASSERT_TRUE(StripPadding(kept, out,
                                         IsStreamMode(c.mode) ? BlockPadding::kNone : padding, b));
                out.resize(kept);
                EXPECT_EQ(
                    BytesToHex(out),
                    BytesToHex(PadForOracle(
                        data, padding == BlockPadding::kZero ? padding : BlockPadding::kNone, b)));
            }
        }
    }
}

// CtrXor's two counter steps against the keystream the test builds itself: AES-ECB of each
// counter block. The whole-block step carries through every byte; inc32 wraps the last 32 bits
// alone.
TEST(CipherModesEngine, CounterStepsCarryAsTheyShould) {
    struct Case {
        const char* counter;
        CounterIncrement increment;
        const char* second_counter;
    };
    const Case cases[] = {
        {"000102030405060708090A0BFFFFFFFF", CounterIncrement::kWholeBlock,
         "000102030405060708090A0C00000000"},
        {"0001020304050607FFFFFFFFFFFFFFFF", CounterIncrement::kWholeBlock,
         "00010203040506080000000000000000"},
        {"FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF", CounterIncrement::kWholeBlock,
         "00000000000000000000000000000000"},
        {"000102030405060708090A0BFFFFFFFF", CounterIncrement::kLow32Bits,
         "000102030405060708090A0B00000000"},
        {"FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFE", CounterIncrement::kLow32Bits,
         "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF"},
    };
    const Bytes key = HexToBytes("2B7E151628AED2A6ABF7158809CF4F3C");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.counter);
        CBlockCipher cipher;
        ASSERT_TRUE(cipher.SetKey(BlockAlgorithm::kAes, key));
        Bytes blocks = HexToBytes(c.counter);
        const Bytes second = HexToBytes(c.second_counter);
        blocks.insert(blocks.end(), second.begin(), second.end());
        const Bytes keystream = EvpCrypt(EVP_aes_128_ecb(), true, blocks, {}, key);
        Bytes counter = HexToBytes(c.counter);
        Bytes out(20);
        ASSERT_TRUE(CtrXor(cipher, counter, c.increment, out, Bytes(20, 0)));
        EXPECT_EQ(BytesToHex(out), BytesToHex(std::span(keystream).first(20)));
    }
}

// Padding on its own: what each method adds, and the malformed endings the checked methods
// refuse.
TEST(CipherModesEngine, PaddingAddsAndChecksByTheMethod) {
    struct Case {
        BlockPadding padding;
        const char* data;
        const char* padded;  // nullptr: PadToBlocks refuses
    };
    const Case pads[] = {
        {BlockPadding::kNone, "", ""},
        {BlockPadding::kNone, "0102", nullptr},
        {BlockPadding::kZero, "", ""},
        {BlockPadding::kZero, "0102", "0102000000000000"},
        {BlockPadding::kZero, "0102030405060708", "0102030405060708"},
        {BlockPadding::kIso9797Method2, "", "8000000000000000"},
        {BlockPadding::kIso9797Method2, "01020304050607", "0102030405060780"},
        {BlockPadding::kIso9797Method2, "0102030405060708", "01020304050607088000000000000000"},
        {BlockPadding::kPkcs7, "0102", "0102060606060606"},
        {BlockPadding::kPkcs7, "0102030405060708", "01020304050607080808080808080808"},
    };
    for (const Case& c : pads) {
        SCOPED_TRACE(c.data);
        Bytes padded;
        ASSERT_EQ(PadToBlocks(padded, HexToBytes(c.data), c.padding, 8), c.padded != nullptr);
        if (c.padded != nullptr) {
            EXPECT_EQ(BytesToHex(padded), c.padded);
        }
    }
    struct Strip {
        BlockPadding padding;
        const char* data;
        int length;  // -1: refused
    };
    const Strip strips[] = {
        {BlockPadding::kIso9797Method2, "0102030405060780", 7},
        {BlockPadding::kIso9797Method2, "8000000000000000", 0},
        {BlockPadding::kIso9797Method2, "0102030405060700", -1},
        {BlockPadding::kIso9797Method2, "0000000000000000", -1},
        {BlockPadding::kIso9797Method2, "0102030405068001", -1},
        {BlockPadding::kIso9797Method2, "", -1},
        {BlockPadding::kPkcs7, "0102030405060701", 7},
        {BlockPadding::kPkcs7, "0808080808080808", 0},
        {BlockPadding::kPkcs7, "0102030405060700", -1},
        {BlockPadding::kPkcs7, "0102030405060709", -1},
        {BlockPadding::kPkcs7, "0102030405030203", -1},
        {BlockPadding::kZero, "0102000000000000", 8},
    };
    for (const Strip& s : strips) {
        SCOPED_TRACE(s.data);
        size_t length = 99;
        EXPECT_EQ(StripPadding(length, HexToBytes(s.data), s.padding, 8), s.length >= 0);
        EXPECT_EQ(length, s.length >= 0 ? static_cast<size_t>(s.length) : 99u);
    }
}

// Keys each algorithm takes, and what the modes refuse without writing.
TEST(CipherModesEngine, RefusalsWriteNothing) {
    struct KeyCase {
        BlockAlgorithm algorithm;
        size_t bytes;
        bool taken;
    };
    const KeyCase keys[] = {
        {BlockAlgorithm::kDes, 8, true},   {BlockAlgorithm::kDes, 16, true},
        {BlockAlgorithm::kDes, 24, true},  {BlockAlgorithm::kDes, 12, false},
        {BlockAlgorithm::kDes, 32, false}, {BlockAlgorithm::kAes, 24, true},
        {BlockAlgorithm::kAes, 8, false},  {BlockAlgorithm::kSm4, 16, true},
        {BlockAlgorithm::kSm4, 24, false}, {BlockAlgorithm::kSm4, 0, false},
    };
    for (const KeyCase& k : keys) {
        CBlockCipher cipher;
        EXPECT_EQ(cipher.SetKey(k.algorithm, Bytes(k.bytes, 0x11)), k.taken) << k.bytes;
    }
    struct Case {
        CipherMode mode;
        size_t iv_bytes;
        size_t input_bytes;
        size_t output_bytes;
    };
    const Case cases[] = {
        {CipherMode::kEcb, 0, 15, 15},  {CipherMode::kCbc, 16, 17, 17},
        {CipherMode::kCbc, 8, 16, 16},  {CipherMode::kCfb, 15, 5, 5},
        {CipherMode::kOfb, 17, 5, 5},   {CipherMode::kCtr, 0, 5, 5},
        {CipherMode::kCtr, 16, 16, 15},
    };
    CBlockCipher cipher;
    ASSERT_TRUE(cipher.SetKey(BlockAlgorithm::kSm4, Bytes(16, 0x22)));
    for (const Case& c : cases) {
        Bytes out(c.output_bytes, 0xAA);
        EXPECT_FALSE(
            CipherModeCrypt(cipher, c.mode, false, out, Bytes(c.iv_bytes), Bytes(c.input_bytes)));
        EXPECT_EQ(out, Bytes(c.output_bytes, 0xAA));
    }
}

}  // namespace

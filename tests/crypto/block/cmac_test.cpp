#include "crypto/block/cmac.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/hex_codec.h"
#include "support/evp_gcm_cmac.h"
#include "support/evp_oracle.h"
#include "support/vector_file.h"

namespace {

using Bytes = std::vector<uint8_t>;

BlockAlgorithm AlgorithmNamed(const std::string& name) {
    return name == "TDES" ? BlockAlgorithm::kDes
                          : (name == "SM4" ? BlockAlgorithm::kSm4 : BlockAlgorithm::kAes);
}

// cmac.txt: `name | CMAC | cipher | key | message | mac` and
// `name | SUBKEYS | cipher | key | L | K1 | K2`.
TEST(CmacEngine, VectorFile) {
    for (const VectorRecord& v : LoadVectorFile("cmac.txt")) {
        SCOPED_TRACE(v.Where());
        CBlockCipher cipher;
        ASSERT_TRUE(cipher.SetKey(AlgorithmNamed(v.fields.at(2)), v.Bytes(3)));
        Bytes a(cipher.BlockSize()), b(cipher.BlockSize());
        if (v.fields.at(1) == "SUBKEYS") {
            ASSERT_TRUE(CmacSubkeys(cipher, a, b));
            EXPECT_EQ(BytesToHex(a), v.fields.at(5));
            EXPECT_EQ(BytesToHex(b), v.fields.at(6));
        } else {
            ASSERT_TRUE(Cmac(cipher, a, v.Bytes(4)));
            EXPECT_EQ(BytesToHex(a), v.fields.at(5));
        }
    }
}

// Every cipher against OpenSSL's CMAC on random keys and lengths around the block boundaries,
// long enough to cross the chunks of the bulk chain. Single DES runs as DES-EDE with K1 = K2
// (OpenSSL keeps single DES in its legacy provider).
TEST(CmacEngine, AgreesWithOpenSsl) {
    struct Case {
        BlockAlgorithm algorithm;
        size_t key_bytes;
        const char* openssl;
    };
    const Case cases[] = {
        {BlockAlgorithm::kDes, 8, "DES-EDE-CBC"},   {BlockAlgorithm::kDes, 16, "DES-EDE-CBC"},
        {BlockAlgorithm::kDes, 24, "DES-EDE3-CBC"}, {BlockAlgorithm::kAes, 16, "AES-128-CBC"},
        {BlockAlgorithm::kAes, 24, "AES-192-CBC"},  {BlockAlgorithm::kAes, 32, "AES-256-CBC"},
        {BlockAlgorithm::kSm4, 16, "SM4-CBC"},
    };
    std::mt19937 rng(20261209);
    for (const Case& c : cases) {
        for (const size_t length : {0, 1, 7, 8, 9, 15, 16, 17, 24, 32, 33, 100, 16384, 40000}) {
            const Bytes key = RandomBytes(rng, c.key_bytes);
            const Bytes message = RandomBytes(rng, length);
            SCOPED_TRACE(testing::Message()
                         << c.openssl << " key " << BytesToHex(key) << " length " << length);
            Bytes oracle_key = key;
            if (c.key_bytes == 8) {
                oracle_key.insert(oracle_key.end(), key.begin(), key.end());
            }
            const std::optional<Bytes> expected = EvpCmac(c.openssl, oracle_key, message);
            ASSERT_TRUE(expected.has_value());
            CBlockCipher cipher;
            ASSERT_TRUE(cipher.SetKey(c.algorithm, key));
            Bytes mac(cipher.BlockSize());
            ASSERT_TRUE(Cmac(cipher, mac, message));
            EXPECT_EQ(BytesToHex(mac), BytesToHex(*expected));
        }
    }
}

}  // namespace

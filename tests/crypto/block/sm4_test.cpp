#include "crypto/block/sm4.h"

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
    std::copy_n(bytes.begin(), std::min<size_t>(bytes.size(), 16), block.begin());
    return block;
}

Bytes OpenSslSm4(bool encrypt, bool cbc, const Bytes& input, const Block& iv, const Block& key) {
    return EvpCrypt(cbc ? EVP_sm4_cbc() : EVP_sm4_ecb(), encrypt, input, iv, key);
}

// Columns of sm4.txt: name | mode | key | iv | plaintext | ciphertext. Every ECB and CBC line
// through the context calls (decryption in place) and through Sm4Crypt, both directions.
TEST(Sm4Engine, KnownAnswerVectorsBothDirections) {
    for (const VectorRecord& v : LoadVectorFile("sm4.txt")) {
        SCOPED_TRACE(v.Where());
        const std::string& mode = v.fields.at(1);
        if (mode != "ECB" && mode != "CBC") {
            continue;
        }
        const bool cbc = mode == "CBC";
        const Block key = BlockFrom(v.Bytes(2)), iv = BlockFrom(v.Bytes(3));
        const Bytes plain = v.Bytes(4), cipher = v.Bytes(5);
        // CBC leaves the last ciphertext block in the chaining value; ECB leaves it alone.
        const std::string chain_after =
            cbc ? BytesToHex(std::span(cipher).last(16)) : BytesToHex(iv);

        Sm4Context enc, dec;
        Sm4SetEncryptKey(enc, key);
        Sm4SetDecryptKey(dec, key);
        Bytes data(plain.size());
        Block chain = iv;
        ASSERT_TRUE(cbc ? Sm4CryptCbc(enc, true, chain, plain, data)
                        : Sm4CryptEcb(enc, plain, data));
        EXPECT_EQ(BytesToHex(data), BytesToHex(cipher));
        EXPECT_EQ(BytesToHex(chain), chain_after);
        chain = iv;
        ASSERT_TRUE(cbc ? Sm4CryptCbc(dec, false, chain, data, data)
                        : Sm4CryptEcb(dec, data, data));
        EXPECT_EQ(BytesToHex(data), BytesToHex(plain));
        EXPECT_EQ(BytesToHex(chain), chain_after);

        chain = iv;
        ASSERT_TRUE(Sm4Crypt(key, true, cbc, 0, data, chain));
        EXPECT_EQ(BytesToHex(data), BytesToHex(cipher));
        EXPECT_EQ(BytesToHex(chain), chain_after);
        chain = iv;
        ASSERT_TRUE(Sm4Crypt(key, false, cbc, 1, data, chain));
        EXPECT_EQ(BytesToHex(data), BytesToHex(plain));

        if (!cbc) {
            const std::span<uint8_t, 16> first = std::span(data).first<16>();
            Sm4CryptBlock(enc.rk, first, first);
            EXPECT_EQ(BytesToHex(first), BytesToHex(std::span(cipher).first(16)));
        }
    }
}

// GB/T 32907 Appendix A example 2: the example plaintext encrypted 1 000 000 times.
TEST(Sm4Engine, MillionFoldExample) {
    for (const VectorRecord& v : LoadVectors("sm4.txt", 1, "ECBx1000000")) {
        SCOPED_TRACE(v.Where());
        Bytes data = v.Bytes(4);
        Block chain{};
        ASSERT_TRUE(Sm4Crypt(BlockFrom(v.Bytes(2)), true, false, 1000000, data, chain));
        EXPECT_EQ(BytesToHex(data), v.fields.at(5));
    }
}

// GB/T 32907 Appendix A example 1: the round keys rk0..rk31 of key
// 0123456789ABCDEFFEDCBA9876543210, so that a fault in FK, CK or T' shows in the key schedule
// itself.
TEST(Sm4Engine, ExampleRoundKeys) {
    const Sm4RoundKeys expected = {
        0xF12186F9, 0x41662B61, 0x5A6AB19A, 0x7BA92077, 0x367360F4, 0x776A0C61, 0xB6BB89B3,
        0x24763151, 0xA520307C, 0xB7584DBD, 0xC30753ED, 0x7EE55B57, 0x6988608C, 0x30D895B7,
        0x44BA14AF, 0x104495A1, 0xD120B428, 0x73B55FA3, 0xCC874966, 0x92244439, 0xE89E641F,
        0x98CA015A, 0xC7159060, 0x99E1FD2E, 0xB79BD80C, 0x1D2115B0, 0x0E228AEB, 0xF1780C81,
        0x428D3654, 0x62293496, 0x01CF72E5, 0x9124A012,
    };
    const Block key = BlockFrom(HexToBytes("0123456789ABCDEFFEDCBA9876543210"));
    Sm4Context context;
    Sm4SetEncryptKey(context, key);
    EXPECT_EQ(context.encrypt, 1);
    EXPECT_EQ(context.rk, expected);
    Sm4SetDecryptKey(context, key);
    EXPECT_EQ(context.encrypt, 0);
    EXPECT_TRUE(std::equal(context.rk.begin(), context.rk.end(), expected.rbegin()));
}

// The second CBC pass over one block starts from the first pass's output C as its chain and
// encrypts C XOR C = 0: two passes give E(0) whatever the data and the IV.
TEST(Sm4Engine, TwoCbcPassesOverOneBlockGiveTheEncryptedZeroBlock) {
    std::mt19937 rng(32907);
    for (int trial = 0; trial < 8; ++trial) {
        const Block key = BlockFrom(RandomBytes(rng, 16));
        Block chain = BlockFrom(RandomBytes(rng, 16));
        Bytes data = RandomBytes(rng, 16);
        const Bytes encrypted_zero = OpenSslSm4(true, false, Bytes(16, 0), {}, key);
        ASSERT_TRUE(Sm4Crypt(key, true, true, 2, data, chain));
        EXPECT_EQ(BytesToHex(data), BytesToHex(encrypted_zero));
        EXPECT_EQ(BytesToHex(chain), BytesToHex(encrypted_zero));
    }
}

// N passes in place equal N single OpenSSL passes, each CBC pass starting from the chain the one
// before left (encrypting: its last output block; decrypting: its last input block).
TEST(Sm4Engine, RepeatedPassesEqualChainedSinglePasses) {
    std::mt19937 rng(2016);
    for (const uint64_t repeat : {0, 1, 2, 3, 7}) {
        for (const int variant : {0, 1, 2, 3}) {
            const bool cbc = variant / 2 == 1, encrypt = variant % 2 == 1;
            const Block key = BlockFrom(RandomBytes(rng, 16)), iv = BlockFrom(RandomBytes(rng, 16));
            const Bytes input = RandomBytes(rng, 16 * (1 + rng() % 5));
            SCOPED_TRACE(testing::Message() << "repeat " << repeat << (cbc ? " CBC" : " ECB")
                                            << (encrypt ? " enc " : " dec ") << input.size());

            Bytes expected = input;
            Block expected_chain = iv;
            for (uint64_t pass = 0; pass < std::max<uint64_t>(repeat, 1); ++pass) {
                const Bytes before = expected;
                expected = OpenSslSm4(encrypt, cbc, before, expected_chain, key);
                if (cbc) {
                    const Bytes& ciphertext = encrypt ? expected : before;
                    std::copy(ciphertext.end() - 16, ciphertext.end(), expected_chain.begin());
                }
            }
            Bytes data = input;
            Block chain = iv;
            ASSERT_TRUE(Sm4Crypt(key, encrypt, cbc, repeat, data, chain));
            EXPECT_EQ(BytesToHex(data), BytesToHex(expected));
            EXPECT_EQ(BytesToHex(chain), BytesToHex(expected_chain));
        }
    }
}

// The context calls and the CBC-MAC chain against OpenSSL, 16 bytes to 4 KiB.
TEST(Sm4Engine, AgreesWithOpenSslOnRandomInputs) {
    std::mt19937 rng(20240613);
    for (int trial = 0; trial < 300; ++trial) {
        const Block key = BlockFrom(RandomBytes(rng, 16)), iv = BlockFrom(RandomBytes(rng, 16));
        const Bytes input = RandomBytes(rng, 16 * (1 + rng() % 256));
        const bool cbc = rng() % 2 == 1;
        const bool encrypt = rng() % 2 == 1;
        const bool in_place = rng() % 2 == 1;
        SCOPED_TRACE(testing::Message()
                     << "trial " << trial << " key " << BytesToHex(key) << (cbc ? " CBC" : " ECB")
                     << (encrypt ? " enc " : " dec ") << input.size() << " bytes"
                     << (in_place ? " in place" : ""));

        const Bytes expected = OpenSslSm4(encrypt, cbc, input, iv, key);
        Sm4Context context;
        encrypt ? Sm4SetEncryptKey(context, key) : Sm4SetDecryptKey(context, key);
        Bytes out = in_place ? input : Bytes(input.size());
        const std::span<const uint8_t> in = in_place ? std::span<const uint8_t>(out) : input;
        Block chain = iv;
        ASSERT_TRUE(cbc ? Sm4CryptCbc(context, encrypt, chain, in, out)
                        : Sm4CryptEcb(context, in, out));
        EXPECT_EQ(BytesToHex(out), BytesToHex(expected));
        if (cbc) {
            const Bytes& ciphertext = encrypt ? expected : input;
            EXPECT_EQ(BytesToHex(chain), BytesToHex(std::span(ciphertext).last(16)));
        }
        if (encrypt && cbc) {
            Block mac_chain = iv;
            ASSERT_TRUE(Sm4CbcMac(key, mac_chain, input));
            EXPECT_EQ(BytesToHex(mac_chain), BytesToHex(std::span(expected).last(16)));
        }
    }
}

TEST(Sm4Engine, RefusalsWriteNothing) {
    struct Case {
        const char* what;
        size_t input_size;
        size_t output_size;
    };
    const Case cases[] = {
        {"length 0", 0, 0},    {"length 15", 15, 15},      {"length 17", 17, 17},
        {"length 40", 40, 40}, {"output shorter", 32, 16}, {"output longer", 16, 32},
    };
    const Block key{};
    Sm4Context context;
    Sm4SetEncryptKey(context, key);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Bytes input(c.input_size, 0x11);
        Bytes output(c.output_size, 0xAA);
        Block chain;
        chain.fill(0x33);
        EXPECT_FALSE(Sm4CryptEcb(context, input, output));
        EXPECT_FALSE(Sm4CryptCbc(context, true, chain, input, output));
        EXPECT_FALSE(Sm4CryptCbc(context, false, chain, input, output));
        if (c.input_size == c.output_size) {
            EXPECT_FALSE(Sm4CbcMac(key, chain, input));
            EXPECT_FALSE(Sm4Crypt(key, true, false, 3, output, chain));
            EXPECT_FALSE(Sm4Crypt(key, true, true, 3, output, chain));
        }
        EXPECT_EQ(output, Bytes(c.output_size, 0xAA));
        EXPECT_EQ(BytesToHex(chain), std::string(32, '3'));
    }
}

// Passes over eight blocks and more, which a processor with AVX2 and GFNI takes eight at a time
// (groups and a remainder), against chained single OpenSSL passes; the progress still counts
// every block transform.
TEST(Sm4Engine, RepeatedPassesOverManyBlocks) {
    struct Case {
        bool cbc;
        bool encrypt;
        size_t blocks;
        uint64_t repeat;
    };
    const Case cases[] = {
        {false, true, 8, 3},  {false, false, 17, 2}, {false, true, 40, 1}, {true, false, 8, 3},
        {true, false, 25, 2}, {true, false, 40, 1},  {true, true, 16, 2},
    };
    std::mt19937 rng(32907);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "repeat " << c.repeat << (c.cbc ? " CBC" : " ECB")
                     << (c.encrypt ? " enc " : " dec ") << c.blocks << " blocks");
        const Block key = BlockFrom(RandomBytes(rng, 16)), iv = BlockFrom(RandomBytes(rng, 16));
        const Bytes input = RandomBytes(rng, 16 * c.blocks);
        Bytes expected = input;
        Block expected_chain = iv;
        for (uint64_t pass = 0; pass < c.repeat; ++pass) {
            const Bytes before = expected;
            expected = OpenSslSm4(c.encrypt, c.cbc, before, expected_chain, key);
            if (c.cbc) {
                const Bytes& ciphertext = c.encrypt ? expected : before;
                std::copy(ciphertext.end() - 16, ciphertext.end(), expected_chain.begin());
            }
        }
        Bytes data = input;
        Block chain = iv;
        CProgress progress;
        ASSERT_TRUE(Sm4Crypt(key, c.encrypt, c.cbc, c.repeat, data, chain, &progress));
        EXPECT_EQ(BytesToHex(data), BytesToHex(expected));
        EXPECT_EQ(BytesToHex(chain), BytesToHex(expected_chain));
        EXPECT_EQ(progress.Done(), c.blocks * c.repeat);
    }
}

// A run counts block transforms in its progress and stops at the first look once cancelled.
TEST(Sm4Engine, ProgressAndCancellation) {
    const Block key{};
    for (const bool cbc : {false, true}) {
        SCOPED_TRACE(cbc ? "CBC" : "ECB");
        Bytes data(48, 0x5C);
        Block chain{};
        CProgress progress;
        ASSERT_TRUE(Sm4Crypt(key, true, cbc, 5000, data, chain, &progress));
        EXPECT_EQ(progress.Total(), 15000u);
        EXPECT_EQ(progress.Done(), 15000u);

        CProgress cancelled;
        cancelled.Cancel();
        EXPECT_FALSE(Sm4Crypt(key, true, cbc, 1000000, data, chain, &cancelled));
        EXPECT_LT(cancelled.Done(), 10000u);
    }
    // Decrypting sixteen blocks, the groups of eight blocks count as eight transforms each.
    for (const bool cbc : {false, true}) {
        SCOPED_TRACE(cbc ? "CBC, 16 blocks" : "ECB, 16 blocks");
        Bytes data(256, 0x5C);
        Block chain{};
        CProgress progress;
        ASSERT_TRUE(Sm4Crypt(key, false, cbc, 1000, data, chain, &progress));
        EXPECT_EQ(progress.Total(), 16000u);
        EXPECT_EQ(progress.Done(), 16000u);

        CProgress cancelled;
        cancelled.Cancel();
        EXPECT_FALSE(Sm4Crypt(key, false, cbc, 1000000, data, chain, &cancelled));
        EXPECT_LT(cancelled.Done(), 10000u);
    }
}

}  // namespace

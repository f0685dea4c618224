#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "common/hex_codec.h"
#include "crypto/hash/crc.h"
#include "crypto/hash/lrc.h"
#include "crypto/hash/md5.h"
#include "crypto/hash/sha1.h"
#include "crypto/hash/sha256.h"
#include "crypto/hash/sha512.h"
#include "support/evp_digest.h"
#include "support/evp_oracle.h"
#include "support/vector_file.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Pieces = std::vector<std::span<const uint8_t>>;

template <size_t N>
Bytes ToBytes(const std::array<uint8_t, N>& digest) {
    return Bytes(digest.begin(), digest.end());
}

// Every engine through its one-shot helper and through init, one update per piece, final.
struct DigestEngine {
    const char* name;  // as in column 1 of hash.txt
    const EVP_MD* (*evp)();
    Bytes (*whole)(std::span<const uint8_t>);
    Bytes (*pieces)(const Pieces&);
};

template <typename Context, size_t N, auto Init, auto Update, auto Final>
Bytes Streamed(const Pieces& pieces) {
    Context context;
    Init(context);
    for (const std::span<const uint8_t> piece : pieces) {
        Update(context, piece);
    }
    std::array<uint8_t, N> digest{};
    Final(context, digest);
    return ToBytes(digest);
}

Bytes Sha1Streamed(const Pieces& pieces) {
    Sha1Context context;
    EXPECT_EQ(Sha1Init(&context), kSha1Success);
    for (const std::span<const uint8_t> piece : pieces) {
        EXPECT_EQ(Sha1Update(&context, piece), kSha1Success);
    }
    Sha1Digest digest{};
    EXPECT_EQ(Sha1Final(&context, digest), kSha1Success);
    return ToBytes(digest);
}

const DigestEngine kEngines[] = {
    {"SHA-1", EVP_sha1, [](std::span<const uint8_t> d) { return ToBytes(Sha1Hash(d)); },
     Sha1Streamed},
    {"SHA-256", EVP_sha256, [](std::span<const uint8_t> d) { return ToBytes(Sha256Hash(d)); },
     Streamed<Sha256Context, 32, Sha256Init, Sha256Update, Sha256Final>},
    {"SHA-384", EVP_sha384, [](std::span<const uint8_t> d) { return ToBytes(Sha384Hash(d)); },
     Streamed<Sha512Context, 48, Sha384Init, Sha384Update, Sha384Final>},
    {"SHA-512", EVP_sha512, [](std::span<const uint8_t> d) { return ToBytes(Sha512Hash(d)); },
     Streamed<Sha512Context, 64, Sha512Init, Sha512Update, Sha512Final>},
    {"MD5", EVP_md5, [](std::span<const uint8_t> d) { return ToBytes(Md5Hash(d)); },
     Streamed<Md5Context, 16, Md5Init, Md5Update, Md5Final>},
};

const DigestEngine& EngineNamed(const std::string& name) {
    for (const DigestEngine& engine : kEngines) {
        if (name == engine.name) {
            return engine;
        }
    }
    ADD_FAILURE() << "no engine " << name;
    return kEngines[0];
}

// RandomPieces cuts `data` into pieces of 0 bytes, 1 byte, under a block and over a block, so
// that updates start and end everywhere inside the block buffer.
Pieces RandomPieces(std::mt19937& rng, std::span<const uint8_t> data) {
    Pieces pieces;
    while (!data.empty()) {
        const size_t limits[] = {0, 1, 64, 200};
        const size_t size = std::min<size_t>(data.size(), rng() % (limits[rng() % 4] + 1));
        pieces.push_back(data.first(size));
        data = data.subspan(size);
    }
    return pieces;
}

// Columns of hash.txt: name | algorithm | message | digest. Whole, byte by byte, and in two
// halves.
TEST(DigestEngine, KnownAnswerVectors) {
    for (const VectorRecord& v : LoadVectorFile("hash.txt")) {
        SCOPED_TRACE(v.Where());
        const DigestEngine& engine = EngineNamed(v.fields.at(1));
        const Bytes message = v.Bytes(2);
        EXPECT_EQ(BytesToHex(engine.whole(message)), v.fields.at(3));
        Pieces bytes, halves;
        for (size_t i = 0; i < message.size(); ++i) {
            bytes.push_back(std::span(message).subspan(i, 1));
        }
        halves = {std::span(message).first(message.size() / 2),
                  std::span(message).subspan(message.size() / 2)};
        EXPECT_EQ(BytesToHex(engine.pieces(bytes)), v.fields.at(3));
        EXPECT_EQ(BytesToHex(engine.pieces(halves)), v.fields.at(3));
    }
}

// Every length 0..300 (the padding boundaries 55, 56, 63, 64 of the 64-byte blocks and 111, 112,
// 127, 128 of the 128-byte blocks among them) and some longer ones, fed whole and in random
// pieces, against OpenSSL.
TEST(DigestEngine, AgreesWithOpenSslWholeAndInPieces) {
    std::vector<size_t> lengths;
    for (size_t n = 0; n <= 300; ++n) {
        lengths.push_back(n);
    }
    lengths.insert(lengths.end(), {447, 448, 511, 512, 513, 1023, 1024, 1025, 4103});
    std::mt19937 rng(180);
    for (const DigestEngine& engine : kEngines) {
        for (const size_t n : lengths) {
            SCOPED_TRACE(testing::Message() << engine.name << " " << n << " bytes");
            const Bytes data = RandomBytes(rng, n);
            const std::string expected = BytesToHex(EvpDigest(engine.evp(), data));
            EXPECT_EQ(BytesToHex(engine.whole(data)), expected);
            EXPECT_EQ(BytesToHex(engine.pieces(RandomPieces(rng, data))), expected);
        }
    }
}

// The error states of the SHA-1 engine: no context, an update after the final, a message past
// 2^64 - 1 bits; an empty update and a repeated final change nothing.
TEST(Sha1Engine, ErrorStates) {
    const Bytes abc = {'a', 'b', 'c'};
    const std::string abc_digest = "A9993E364706816ABA3E25717850C26C9CD0D89D";
    Sha1Digest digest{};
    EXPECT_EQ(Sha1Init(nullptr), kSha1Null);
    EXPECT_EQ(Sha1Update(nullptr, abc), kSha1Null);
    EXPECT_EQ(Sha1Final(nullptr, digest), kSha1Null);

    Sha1Context context;
    ASSERT_EQ(Sha1Init(&context), kSha1Success);
    ASSERT_EQ(Sha1Update(&context, abc), kSha1Success);
    ASSERT_EQ(Sha1Final(&context, digest), kSha1Success);
    EXPECT_EQ(BytesToHex(digest), abc_digest);
    EXPECT_EQ(Sha1Update(&context, {}), kSha1Success);
    digest.fill(0);
    EXPECT_EQ(Sha1Final(&context, digest), kSha1Success);
    EXPECT_EQ(BytesToHex(digest), abc_digest);

    EXPECT_EQ(Sha1Update(&context, abc), kSha1StateError);
    EXPECT_EQ(context.error, kSha1StateError);
    EXPECT_EQ(Sha1Update(&context, abc), kSha1StateError);
    Sha1Digest untouched{};
    untouched.fill(0x5A);
    digest = untouched;
    EXPECT_EQ(Sha1Final(&context, digest), kSha1StateError);
    EXPECT_EQ(digest, untouched);

    // 2^64 - 16 bits absorbed: one more byte fits (2^64 - 8 bits), the next does not.
    ASSERT_EQ(Sha1Init(&context), kSha1Success);
    context.length_bits = std::numeric_limits<uint64_t>::max() - 15;
    EXPECT_EQ(Sha1Update(&context, std::span(abc).first(1)), kSha1Success);
    EXPECT_EQ(Sha1Update(&context, std::span(abc).first(1)), kSha1InputTooLong);
    EXPECT_EQ(context.error, kSha1InputTooLong);
    EXPECT_EQ(Sha1Update(&context, {}), kSha1Success);
    EXPECT_EQ(Sha1Update(&context, abc), kSha1InputTooLong);
    EXPECT_EQ(Sha1Final(&context, digest), kSha1InputTooLong);

    // Init clears every error.
    ASSERT_EQ(Sha1Init(&context), kSha1Success);
    EXPECT_EQ(Sha1Update(&context, abc), kSha1Success);
    EXPECT_EQ(Sha1Final(&context, digest), kSha1Success);
    EXPECT_EQ(BytesToHex(digest), abc_digest);
}

// Columns of crc.txt: name | algorithm | message | crc (the register, most significant byte
// first).
TEST(Checksums, CrcKnownAnswerVectors) {
    for (const VectorRecord& v : LoadVectorFile("crc.txt")) {
        SCOPED_TRACE(v.Where());
        const Bytes message = v.Bytes(2);
        const std::string& algorithm = v.fields.at(1);
        if (algorithm == "CRC-16") {
            EXPECT_EQ(Crc16(message), std::stoul(v.fields.at(3), nullptr, 16));
        } else if (algorithm == "CRC-32") {
            EXPECT_EQ(Crc32(message), std::stoul(v.fields.at(3), nullptr, 16));
        } else {
            ADD_FAILURE() << "unknown algorithm " << algorithm;
        }
    }
}

TEST(Checksums, LrcIsTheXorOfAllBytes) {
    const struct {
        const char* data;
        uint8_t lrc;
    } cases[] = {
        {"", 0x00},   {"01", 0x01},       {"0102", 0x03},   {"FFFF", 0x00},
        {"FF", 0xFF}, {"80402010", 0xF0}, {"A5A5A5", 0xA5},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Lrc(HexToBytes(c.data)), c.lrc) << c.data;
    }
}

}  // namespace

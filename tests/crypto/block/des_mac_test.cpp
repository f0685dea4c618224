#include "crypto/block/des_mac.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "common/hex_codec.h"
#include "support/vector_file.h"

namespace {

using Bytes = std::vector<uint8_t>;

std::string Mac(bool double_key, MacPadType pad, const Bytes& iv, const Bytes& key,
                const Bytes& data) {
    std::array<uint8_t, 8> mac{};
    const bool ok =
        double_key ? MacDoubleKey(pad, iv, key, data, mac) : MacSingleKey(pad, iv, key, data, mac);
    EXPECT_TRUE(ok);
    return BytesToHex(mac);
}

// Columns of mac.txt: name | ALG1/ALG3 | M1/M2 | key | iv | data | mac. Padding method 2 is what
// both the PBOC and the CBC-MAC choices select.
TEST(DesMac, KnownAnswerVectors) {
    for (const VectorRecord& v : LoadVectorFile("mac.txt")) {
        SCOPED_TRACE(v.Where());
        const bool double_key = v.fields.at(1) == "ALG3";
        const std::vector<MacPadType> pads =
            v.fields.at(2) == "M1" ? std::vector{MacPadType::AnsiX919}
                                   : std::vector{MacPadType::Pboc, MacPadType::CbcMac};
        for (const MacPadType pad : pads) {
            EXPECT_EQ(Mac(double_key, pad, v.Bytes(4), v.Bytes(3), v.Bytes(5)), v.fields.at(6));
        }
    }
}

TEST(DesMac, Padding) {
    struct Case {
        MacPadType pad;
        const char* data;
        const char* padded;
    };
    const Case cases[] = {
        {MacPadType::Pboc, "112233", "1122338000000000"},
        {MacPadType::Pboc, "11223344556677", "1122334455667780"},
        {MacPadType::Pboc, "1122334455667788", "11223344556677888000000000000000"},
        {MacPadType::CbcMac, "1122334455667788", "11223344556677888000000000000000"},
        {MacPadType::AnsiX919, "112233", "1122330000000000"},
        {MacPadType::AnsiX919, "11223344556677", "1122334455667700"},
        {MacPadType::AnsiX919, "1122334455667788", "1122334455667788"},
        {MacPadType::AnsiX919, "112233445566778899", "11223344556677889900000000000000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.data);
        EXPECT_EQ(BytesToHex(MacPad(c.pad, HexToBytes(c.data))), c.padded);
    }
}

// An IV under 8 bytes is completed with zero bytes, and bytes past the eighth are ignored, in both
// algorithms alike.
TEST(DesMac, InitialValueIsZeroCompletedAndTruncated) {
    const Bytes data = HexToBytes("48656C6C6F2C20776F726C6421");
    for (const bool double_key : {false, true}) {
        SCOPED_TRACE(double_key ? "MacDoubleKey" : "MacSingleKey");
        const Bytes key = HexToBytes("0123456789ABCDEFFEDCBA9876543210");
        const MacPadType pad = MacPadType::Pboc;
        EXPECT_EQ(Mac(double_key, pad, HexToBytes("123456"), key, data),
                  Mac(double_key, pad, HexToBytes("1234560000000000"), key, data));
        EXPECT_EQ(Mac(double_key, pad, {}, key, data),
                  Mac(double_key, pad, HexToBytes("0000000000000000"), key, data));
        EXPECT_EQ(Mac(double_key, pad, HexToBytes("1234567890ABCDEFAABB"), key, data),
                  Mac(double_key, pad, HexToBytes("1234567890ABCDEF"), key, data));
    }
}

TEST(DesMac, ShortKeysAreRefused) {
    std::array<uint8_t, 8> mac;
    mac.fill(0x5A);
    const Bytes data = HexToBytes("1122");
    EXPECT_FALSE(MacSingleKey(MacPadType::Pboc, {}, HexToBytes("01234567890ABC"), data, mac));
    EXPECT_FALSE(MacDoubleKey(MacPadType::Pboc, {}, HexToBytes("0123456789ABCDEF"), data, mac));
    EXPECT_EQ(BytesToHex(mac), "5A5A5A5A5A5A5A5A");
}

}  // namespace

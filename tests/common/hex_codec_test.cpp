#include "common/hex_codec.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct HexToBytesCase {
    std::string text;
    std::string bytes;  // expected, as hex
};

TEST(HexCodec, HexToBytesConvertsPairsAndPlacesAnOddDigit) {
    const std::vector<HexToBytesCase> cases = {
        {"", ""},
        {"0a1B", "0A1B"},
        {"00ff", "00FF"},
        {"ABC", "ABC0"},      // the last of three or more digits is a high nibble
        {"12345", "123450"},  //
        {"D", "0D"},          // a lone digit is a low nibble
        {"GG", "10"},         // unguarded: (16 * 16 + 16) mod 256
        {"Z9", "09"},         // 'Z' has no value
        {" 1", "01"},         // nor has a blank
        {"yY", "42"},         // (34 * 16 + 34) mod 256
    };
    for (const auto& c : cases) {
        EXPECT_EQ(BytesToHex(HexToBytes(c.text)), c.bytes) << "text \"" << c.text << "\"";
        EXPECT_EQ(HexBufToBytes(std::span<const char>(c.text.data(), c.text.size())),
                  HexToBytes(c.text))
            << c.text;
    }
}

TEST(HexCodec, HexDigitValueCoversTheLetterRangesBelowZ) {
    const std::vector<std::pair<char, int>> cases = {
        {'0', 0},  {'9', 9}, {'A', 10}, {'F', 15}, {'a', 10}, {'f', 15}, {'G', 16}, {'Y', 34},
        {'y', 34}, {'Z', 0}, {'z', 0},  {' ', 0},  {'\0', 0}, {'@', 0},  {'`', 0},  {'\xB0', 0},
    };
    for (const auto& [ch, value] : cases) {
        EXPECT_EQ(HexDigitValue(ch), value) << "character " << static_cast<int>(ch);
    }
}

TEST(HexCodec, BytesToHexIsUpperCaseWithoutSeparators) {
    EXPECT_EQ(BytesToHex({}), "");
    const std::vector<uint8_t> bytes = {0x00, 0xFF, 0x0a, 0xb1};
    EXPECT_EQ(BytesToHex(bytes), "00FF0AB1");
}

TEST(HexCodec, CheckHexTextGivesTheBytePositionOfTheFirstBadCharacter) {
    const std::vector<std::pair<std::string, int>> cases = {
        {"", 0},         {"0123", 0},  {"abcdefABCDEF", 0},
        {"12G4", 2},     {"G234", 1},  {"123G", 2},
        {"12345G7", 4},  // odd length: one more than the byte that holds it
        {"1G2", 2},      {"1G", 1},    {"G", 2},
        {"12\r\n34", 2}, {"12 34", 3}, {"0x12", 1},
        {"12\t4", 2},
    };
    for (const auto& [text, position] : cases) {
        EXPECT_EQ(CheckHexText(text), position) << "text \"" << text << "\"";
    }
}

TEST(HexCodec, RemoveBlanksRemovesOnlySpaces) {
    EXPECT_EQ(RemoveBlanks(" 11 22\t33\r\n "), "1122\t33\r\n");
    EXPECT_EQ(RemoveBlanks("   "), "");
}

TEST(HexCodec, LongTextsConvertWithoutLimit) {
    std::string text;
    for (int i = 0; i < 5000; ++i) {
        text += "A5";
    }
    const auto bytes = HexToBytes(text + "7");
    ASSERT_EQ(bytes.size(), 5001u);
    EXPECT_EQ(bytes.back(), 0x70);
    EXPECT_EQ(BytesToHex(bytes).substr(0, 4), "A5A5");
    EXPECT_EQ(CheckHexText(text + "x"), 5001 + 1);
}

}  // namespace

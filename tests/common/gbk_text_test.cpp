#include "common/gbk_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/hex_codec.h"

namespace {

constexpr const char* kReplacement = "\xEF\xBF\xBD";

std::string Repeat(const char* text, int times) {
    std::string repeated;
    for (int i = 0; i < times; ++i) {
        repeated += text;
    }
    return repeated;
}

std::string GbkHex(std::string_view gbk) {
    return BytesToHex({reinterpret_cast<const uint8_t*>(gbk.data()), gbk.size()});
}

TEST(GbkText, EncodesGbkCharacters) {
    // GB 2312 / GBK code points: 中 D6D0, 文 CEC4, 丂 8140 (a GBK extension), € 80.
    const struct {
        const char* utf8;
        const char* gbk_hex;
    } cases[] = {
        {"", ""},       {"AB", "4142"}, {"中文", "D6D0CEC4"}, {"A中\r\n", "41D6D00D0A"},
        {"丂", "8140"}, {"€", "80"},
    };
    for (const auto& c : cases) {
        std::string gbk = "junk";
        ASSERT_TRUE(EncodeGbk(c.utf8, gbk)) << c.utf8;
        EXPECT_EQ(GbkHex(gbk), c.gbk_hex) << c.utf8;
        EXPECT_EQ(GbkHex(EncodeGbkLossy(c.utf8)), c.gbk_hex) << c.utf8;
        EXPECT_EQ(DecodeGbk(HexToBytes(c.gbk_hex)), c.utf8) << c.gbk_hex;
    }
}

TEST(GbkText, RefusesWhatGbkCannotEncode) {
    const struct {
        const char* what;
        std::string utf8;
        const char* lossy_hex;
    } cases[] = {
        {"an emoji",
         "A\xF0\x9F\x98\x80"
         "B",
         "413F42"},
        {"U+FFFD itself", std::string("中") + kReplacement, "D6D03F"},
        {"a stray continuation byte", "A\x80", "413F"},
        {"a truncated sequence at the end", "A\xE4\xB8", "413F3F"},
        {"an encoded surrogate", "\xED\xA0\x80", "3F3F3F"},
        {"an overlong slash", "\xC0\xAF", "3F3F"},
    };
    for (const auto& c : cases) {
        std::string gbk = "junk";
        EXPECT_FALSE(EncodeGbk(c.utf8, gbk)) << c.what;
        EXPECT_EQ(gbk, "") << c.what;
        EXPECT_EQ(GbkHex(EncodeGbkLossy(c.utf8)), c.lossy_hex) << c.what;
    }
}

TEST(GbkText, DecodesEachUndecodableByteAsOneReplacementCharacter) {
    const struct {
        const char* gbk_hex;
        std::string utf8;
    } cases[] = {
        {"81FF", Repeat(kReplacement, 2)},
        {"FF41", std::string(kReplacement) + "A"},
        {"8130", std::string(kReplacement) + "0"},  // lead byte with a trail GBK does not allow
        {"41D6", std::string("A") + kReplacement},  // lead byte cut off at the end
        {"D6D081FFCEC4", std::string("中") + Repeat(kReplacement, 2) + "文"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DecodeGbk(HexToBytes(c.gbk_hex)), c.utf8) << c.gbk_hex;
    }
}

TEST(GbkText, ConvertsLongTexts) {
    // Longer than one pass of the conversion buffer.
    const std::string text = Repeat("中文AB", 1000);
    std::string gbk;
    ASSERT_TRUE(EncodeGbk(text, gbk));
    EXPECT_EQ(gbk.size(), 6000u);
    EXPECT_EQ(DecodeGbk({reinterpret_cast<const uint8_t*>(gbk.data()), gbk.size()}), text);
    const std::vector<uint8_t> bad(1000, 0xFF);
    EXPECT_EQ(DecodeGbk(bad), Repeat(kReplacement, 1000));
}

}  // namespace

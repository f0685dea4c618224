#include "common/file_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(FileText, HexDumpsLoadAsTextOtherFilesAsTheHexOfTheirBytes) {
    const struct {
        std::string content;
        std::string typed;
    } cases[] = {
        {"11 22\r\n33\tab\n", "11 22\r\n33\tab\n"},
        {"", ""},
        {std::string("\x00\xFF\x11", 3), "00FF11"},
        {"11 22 GG", "3131203232204747"},
        {"  \n", "20200A"},
        {"0x11", "30783131"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FileTextForField(c.content), c.typed) << c.typed;
    }
}

TEST(FileText, FieldBytesNeedsWholeHexBytes) {
    EXPECT_EQ(FieldBytes("00 ff\r\n11"), (std::vector<uint8_t>{0x00, 0xFF, 0x11}));
    EXPECT_EQ(FieldBytes(""), std::vector<uint8_t>{});
    EXPECT_EQ(FieldBytes("123"), std::nullopt);
    EXPECT_EQ(FieldBytes("12G4"), std::nullopt);
}

}  // namespace

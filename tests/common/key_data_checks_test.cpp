// The shared checks of keyed actions: the data checks in their order and the chaining value.
#include "common/key_data_checks.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "common/hex_codec.h"

namespace {

TEST(KeyDataChecks, DataChecksRunParityThenWholeBlocksThenHex) {
    const struct {
        const char* data;
        size_t block_digits;
        const char* refusal;  // "" when the data passes
    } cases[] = {
        {"", 32, ""},
        {"00112233445566778899AABBCCDDEEFF", 32, ""},
        {"0011223344556677", 0, ""},
        {"0011223344556677", 32, "whole"},
        {"001", 32, "odd"},  // parity comes before the block check
        {"0G112233445566778899AABBCCDDEEFF", 32, "The 1 byte of it"},
        {"0G11", 32, "whole"},  // the block check comes before the hex check
    };
    for (const auto& c : cases) {
        const ActionResult result =
            CheckHexData(c.data, "odd", " byte of it", c.block_digits, "whole");
        EXPECT_EQ(result ? result->text : "", c.refusal) << c.data;
    }
}

TEST(KeyDataChecks, ChainingValueIsZeroCompletedAndCut) {
    const struct {
        const char* iv;
        size_t size;
        const char* chain;    // the chaining value read, or what stays when refused
        const char* refusal;  // "" when accepted
    } cases[] = {
        {"", 8, "0000000000000000", ""},
        {"12 34", 8, "1234000000000000", ""},
        {"1234000000000000FFFF", 8, "1234000000000000", ""},
        {"00112233445566778899AABBCCDDEEFF1122", 16, "00112233445566778899AABBCCDDEEFF", ""},
        {"ab", 16, "AB000000000000000000000000000000", ""},
        {"12 3X", 8, "5555555555555555", "The 2 byte of the IV is the illegal, Pls Check !!!"},
        {"1\t2", 8, "5555555555555555", "The 2 byte of the IV is the illegal, Pls Check !!!"},
    };
    for (const auto& c : cases) {
        std::array<uint8_t, 16> buffer;
        buffer.fill(0x55);
        const std::span<uint8_t> chain(buffer.data(), c.size);
        const ActionResult result = ReadChainingValue(c.iv, chain);
        EXPECT_EQ(result ? result->text : "", c.refusal) << c.iv;
        EXPECT_EQ(BytesToHex(chain), c.chain) << c.iv;
    }
}

}  // namespace

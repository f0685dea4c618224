#include "crypto/random_bytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

// Every byte of every length is drawn: two draws differ, and no tail is left as it was (a stuck
// or partial generator leaves zeros; the chance that 16 random bytes match is 2^-128).
TEST(RandomBytes, FillsTheWholeBuffer) {
    for (const size_t length : {0, 1, 16, 255, 4096}) {
        std::vector<uint8_t> a(length), b(length);
        ASSERT_TRUE(RandomBytes(a)) << length;
        ASSERT_TRUE(RandomBytes(b)) << length;
        if (length >= 16) {
            EXPECT_NE(a, b) << length;
            EXPECT_FALSE(std::all_of(a.end() - 16, a.end(), [](uint8_t x) { return x == 0; }))
                << length;
        }
    }
}

}  // namespace

#include "common/hex_codec.h"

#include <gtest/gtest.h>

TEST(HexCodec, Placeholder) {
    EXPECT_EQ(BytesToHex(HexToBytes("0a1B")), "0A1B");
}

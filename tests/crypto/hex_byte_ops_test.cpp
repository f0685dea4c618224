#include "crypto/hex_byte_ops.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

using Engine = std::function<std::string(std::string_view, std::string_view)>;

struct EngineCase {
    const char* what;
    Engine engine;
    const char* src1;
    const char* src2;
    const char* expected;
};

Engine Bitwise(BitwiseOp op) {
    return [op](std::string_view a, std::string_view b) { return HexBitwise(a, b, op); };
}
Engine ByteSum(ByteSumOp op) {
    return [op](std::string_view a, std::string_view) { return HexByteSum(a, op); };
}
const Engine kAdd = HexAdd;
const Engine kSub = HexSubtract;
const Engine kNot = [](std::string_view a, std::string_view) { return HexNot(a); };

TEST(HexByteOps, GiveTheResultOverTheLengthOfSource1) {
    const EngineCase cases[] = {
        {"AND", Bitwise(BitwiseOp::And), "0F0F", "FF", "0F00"},
        {"OR", Bitwise(BitwiseOp::Or), "0F0F", "FF", "FF0F"},
        {"XOR", Bitwise(BitwiseOp::Xor), "0F0F", "FF", "F00F"},
        {"XOR cuts a longer source 2", Bitwise(BitwiseOp::Xor), "0F", "FFFF", "F0"},
        {"XOR of lower-case digits", Bitwise(BitwiseOp::Xor), "a5", "0f", "AA"},
        {"AND of empty source 1", Bitwise(BitwiseOp::And), "", "FF", ""},
        {"XOR-sum", ByteSum(ByteSumOp::Xor), "010203", "", "00"},
        {"XOR-sum of one byte", ByteSum(ByteSumOp::Xor), "5A", "", "5A"},
        {"add-sum drops the carry", ByteSum(ByteSumOp::Add), "FF01", "", "00"},
        {"add-sum 8080", ByteSum(ByteSumOp::Add), "8080", "", "00"},
        {"add-sum", ByteSum(ByteSumOp::Add), "0102", "", "03"},
        {"add-sum of empty source 1", ByteSum(ByteSumOp::Add), "", "", "00"},
        {"XOR-sum of empty source 1", ByteSum(ByteSumOp::Xor), "", "", "00"},
        {"add carries", kAdd, "00FF", "0001", "0100"},
        {"add aligns at the first byte", kAdd, "0100", "01", "0200"},
        {"add carries through several bytes", kAdd, "00FFFF", "000001", "010000"},
        {"add overflow is empty", kAdd, "FF", "01", ""},
        {"add overflow through a carry chain", kAdd, "FFFF", "0001", ""},
        {"add of empty source 1", kAdd, "", "01", ""},
        {"sub borrows", kSub, "0100", "0001", "00FF"},
        {"sub borrows through several bytes", kSub, "010000", "000001", "00FFFF"},
        {"sub negative is empty", kSub, "01", "02", ""},
        {"sub negative through a borrow chain", kSub, "0100", "0101", ""},
        {"sub ignores source 2 past source 1", kSub, "05", "0501", "00"},
        {"sub of equal numbers", kSub, "ABCD", "ABCD", "0000"},
        {"NOT", kNot, "00FF5A", "", "FF00A5"},
        {"NOT of empty source 1", kNot, "", "", ""},
    };
    for (const EngineCase& c : cases) {
        EXPECT_EQ(c.engine(c.src1, c.src2), c.expected) << c.what;
    }
}

TEST(HexByteOps, TakeAnyLength) {
    // Longer than any fixed work buffer would hold: 4096 bytes.
    const std::string ones(8192, 'F');
    const std::string zeros(8192, '0');
    std::string one = zeros;
    one.back() = '1';
    EXPECT_EQ(HexNot(ones), zeros);
    EXPECT_EQ(HexBitwise(ones, one, BitwiseOp::And), one);
    EXPECT_EQ(HexAdd(ones, one), "");
    EXPECT_EQ(HexSubtract(zeros, one), "");
    std::string ones_minus_one = ones;
    ones_minus_one.back() = 'E';
    EXPECT_EQ(HexSubtract(ones, one), ones_minus_one);
    // 4096 bytes of FF: their sum is 4096 x 255 = 0 modulo 256, their XOR is 0.
    EXPECT_EQ(HexByteSum(ones, ByteSumOp::Add), "00");
    EXPECT_EQ(HexByteSum(ones + "FF", ByteSumOp::Add), "FF");
    EXPECT_EQ(HexByteSum(ones + "FF", ByteSumOp::Xor), "FF");
}

}  // namespace

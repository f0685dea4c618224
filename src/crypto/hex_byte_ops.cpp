#include "crypto/hex_byte_ops.h"

#include <cstdint>
#include <vector>

#include "common/hex_codec.h"

namespace {

// AlignedSource2 gives source 2 as exactly n bytes: cut after n bytes, or padded with 00 on the
// right, so that byte i of both sources lines up from the first byte.
std::vector<uint8_t> AlignedSource2(std::string_view src2, size_t n) {
    std::vector<uint8_t> bytes = HexToBytes(src2);
    bytes.resize(n, 0x00);
    return bytes;
}

}  // namespace

std::string HexBitwise(std::string_view src1, std::string_view src2, BitwiseOp op) {
    std::vector<uint8_t> bytes = HexToBytes(src1);
    const std::vector<uint8_t> other = AlignedSource2(src2, bytes.size());
    for (size_t i = 0; i < bytes.size(); ++i) {
        switch (op) {
            case BitwiseOp::And:
                bytes[i] &= other[i];
                break;
            case BitwiseOp::Or:
                bytes[i] |= other[i];
                break;
            case BitwiseOp::Xor:
                bytes[i] ^= other[i];
                break;
        }
    }
    return BytesToHex(bytes);
}

std::string HexByteSum(std::string_view src1, ByteSumOp op) {
    uint8_t sum = 0;
    for (const uint8_t byte : HexToBytes(src1)) {
        sum = op == ByteSumOp::Xor ? static_cast<uint8_t>(sum ^ byte)
                                   : static_cast<uint8_t>(sum + byte);
    }
    const uint8_t result[1] = {sum};
    return BytesToHex(result);
}

std::string HexAdd(std::string_view src1, std::string_view src2) {
    std::vector<uint8_t> bytes = HexToBytes(src1);
    const std::vector<uint8_t> other = AlignedSource2(src2, bytes.size());
    unsigned carry = 0;
    for (size_t i = bytes.size(); i-- > 0;) {
        const unsigned sum = bytes[i] + other[i] + carry;
        bytes[i] = static_cast<uint8_t>(sum);
        carry = sum >> 8;
    }
    return carry != 0 ? std::string() : BytesToHex(bytes);
}

std::string HexSubtract(std::string_view src1, std::string_view src2) {
    std::vector<uint8_t> bytes = HexToBytes(src1);
    const std::vector<uint8_t> other = AlignedSource2(src2, bytes.size());
    unsigned borrow = 0;
    for (size_t i = bytes.size(); i-- > 0;) {
        const unsigned subtrahend = other[i] + borrow;
        borrow = bytes[i] < subtrahend ? 1 : 0;
        bytes[i] = static_cast<uint8_t>(bytes[i] + (borrow << 8) - subtrahend);
    }
    return borrow != 0 ? std::string() : BytesToHex(bytes);
}

std::string HexNot(std::string_view src1) {
    std::vector<uint8_t> bytes = HexToBytes(src1);
    for (uint8_t& byte : bytes) {
        byte = static_cast<uint8_t>(~byte);
    }
    return BytesToHex(bytes);
}

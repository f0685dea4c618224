// Byte-wise operations over hex text: AND, OR, XOR, NOT, the XOR and the 8-bit sum of all bytes,
// and the addition and subtraction of two big-endian numbers.
//
// Every engine takes hex text without blanks (converted as HexToBytes does) and gives upper-case
// hex text without blanks. The result has the byte length of source 1; source 2 is aligned with
// source 1 at their first bytes, a missing byte of source 2 counting as 00 and bytes of source 2
// past the length of source 1 being ignored. Any length is accepted.
#pragma once

#include <string>
#include <string_view>

enum class BitwiseOp { And = 1, Or = 2, Xor = 3 };
enum class ByteSumOp { Xor = 4, Add = 5 };

// HexBitwise gives byte i of source 1 combined with byte i of source 2 by `op`, for every byte of
// source 1 (an empty source 1 gives the empty text).
std::string HexBitwise(std::string_view src1, std::string_view src2, BitwiseOp op);

// HexByteSum gives one byte: the XOR of all bytes of source 1, or their sum modulo 256, starting
// from 00 (an empty source 1 gives 00).
std::string HexByteSum(std::string_view src1, ByteSumOp op);

// HexAdd gives source 1 + source 2 as big-endian numbers of source 1's byte length. When a carry
// is left over from the first byte the sum does not fit, and the result is the empty text.
std::string HexAdd(std::string_view src1, std::string_view src2);

// HexSubtract gives source 1 - source 2 as big-endian numbers of source 1's byte length. When the
// first byte still needs a borrow the difference is negative, and the result is the empty text.
std::string HexSubtract(std::string_view src1, std::string_view src2);

// HexNot gives every byte of source 1 complemented.
std::string HexNot(std::string_view src1);

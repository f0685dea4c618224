// Hex text <-> bytes, and the check that tells a page which byte of a field is not hex.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// HexDigitValue gives the value of one hex character: '0'..'9' 0..9, 'A'..'Y' and 'a'..'y' 10..34
// (so 'A'..'F' are 10..15), anything else 0. It never fails; callers guard fields with
// CheckHexText.
uint8_t HexDigitValue(char ch);

// HexToBytes converts hex text to ceil(length / 2) bytes, two characters per byte, high nibble
// first. An odd last character of a text of three or more characters is the high nibble of a last
// byte whose low nibble is 0 (ABC gives AB C0); a text of exactly one character is a low nibble (D
// gives 0D). Characters that are not hex digits convert through HexDigitValue without complaint.
std::vector<uint8_t> HexToBytes(std::string_view text);

// HexBufToBytes is HexToBytes over a plain character array; the result is the same.
std::vector<uint8_t> HexBufToBytes(std::span<const char> chars);

// BytesToHex writes two upper-case hex digits per byte, without separators.
std::string BytesToHex(std::span<const uint8_t> bytes);

// AppendHex appends BytesToHex of the bytes to `out`, without a temporary string.
void AppendHex(std::string& out, std::span<const uint8_t> bytes);

// CheckHexText gives 0 when every character is a hex digit, otherwise the 1-based number of the
// byte that holds the first bad character; for an odd length that number is one more (1G2 gives 2).
int CheckHexText(std::string_view text);

// RemoveBlanks removes every space character (only 0x20; tabs and line breaks stay).
std::string RemoveBlanks(std::string_view text);

// RemoveBlanksAndTabs removes every space and tab character; line breaks stay.
std::string RemoveBlanksAndTabs(std::string_view text);

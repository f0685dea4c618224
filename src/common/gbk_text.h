// UTF-8 <-> GBK, the code page in which the character conversion page reads and writes text.
//
// The conversions go through glibc iconv, which refuses every byte sequence that GBK does not
// define (unlike converters that map some invalid sequences silently).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// EncodeGbk converts UTF-8 text to GBK bytes (one or two per character). It gives false, with
// `gbk` emptied, when a character has no GBK form or the text is not valid UTF-8.
[[nodiscard]] bool EncodeGbk(std::string_view utf8, std::string& gbk);

// EncodeGbkLossy converts UTF-8 text to GBK bytes, writing '?' for each character that has no GBK
// form and for each byte that is not part of valid UTF-8. It never fails.
std::string EncodeGbkLossy(std::string_view utf8);

// DecodeGbk converts GBK bytes to UTF-8 text. Each byte that does not begin a valid GBK character
// (including a lead byte without a valid trail byte) becomes U+FFFD, and decoding goes on with
// the next byte. It never fails.
std::string DecodeGbk(std::span<const uint8_t> gbk);

#include "common/hex_codec.h"

namespace {

bool IsHexDigit(char ch) {
    return (ch >= '0' && ch <= '9') || (ch >= 'A' && ch <= 'F') || (ch >= 'a' && ch <= 'f');
}

}  // namespace

uint8_t HexDigitValue(char ch) {
    const auto c = static_cast<unsigned char>(ch);
    if (c >= 'A' && c < 'Z') {
        return static_cast<uint8_t>(c - 'A' + 10);
    }
    if (c >= '0' && c <= '9') {
        return static_cast<uint8_t>(c - '0');
    }
    if (c >= 'a' && c < 'z') {
        return static_cast<uint8_t>(c - 'a' + 10);
    }
    return 0;
}

std::vector<uint8_t> HexBufToBytes(std::span<const char> chars) {
    const size_t length = chars.size();
    // A read one place past the end yields the zero character, whose digit value is 0.
    auto at = [&](size_t i) { return i < length ? chars[i] : '\0'; };
    std::vector<uint8_t> bytes;
    bytes.reserve((length + 1) / 2);
    for (size_t i = 0; i < length; i += 2) {
        // A lone character is the low nibble of its byte: D gives 0D, not D0.
        const char high = length == 1 ? at(i + 1) : at(i);
        const char low = length == 1 ? at(i) : at(i + 1);
        bytes.push_back(static_cast<uint8_t>(HexDigitValue(high) * 16 + HexDigitValue(low)));
    }
    return bytes;
}

std::vector<uint8_t> HexToBytes(std::string_view text) {
    return HexBufToBytes(std::span<const char>(text.data(), text.size()));
}

std::string BytesToHex(std::span<const uint8_t> bytes) {
    std::string hex;
    AppendHex(hex, bytes);
    return hex;
}

void AppendHex(std::string& out, std::span<const uint8_t> bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    const size_t start = out.size();
    out.resize(start + 2 * bytes.size());
    char* dst = out.data() + start;
    for (const uint8_t b : bytes) {
        *dst++ = kDigits[b >> 4];
        *dst++ = kDigits[b & 0x0F];
    }
}

int CheckHexText(std::string_view text) {
    const size_t length = text.size();
    for (size_t i = 0; i < length; ++i) {
        if (!IsHexDigit(text[i])) {
            // For an odd length the count is shifted by one: the text is read as if a leading
            // nibble were missing, so 1G2 reports byte 2.
            return static_cast<int>(i / 2 + (length % 2 == 0 ? 1 : 2));
        }
    }
    return 0;
}

namespace {

template <typename Drop>
std::string RemoveIf(std::string_view text, Drop drop) {
    std::string out;
    out.reserve(text.size());
    for (const char ch : text) {
        if (!drop(ch)) {
            out.push_back(ch);
        }
    }
    return out;
}

}  // namespace

std::string RemoveBlanks(std::string_view text) {
    return RemoveIf(text, [](char ch) { return ch == ' '; });
}

std::string RemoveBlanksAndTabs(std::string_view text) {
    return RemoveIf(text, [](char ch) { return ch == ' ' || ch == '\t'; });
}

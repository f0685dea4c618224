#include "common/file_text.h"

#include <span>

#include "common/hex_codec.h"

namespace {

bool IsLayout(char ch) {
    return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n';
}

bool IsHexDigit(char ch) {
    return (ch >= '0' && ch <= '9') || (ch >= 'A' && ch <= 'F') || (ch >= 'a' && ch <= 'f');
}

}  // namespace

std::string FileTextForField(std::string_view content) {
    bool has_digit = false;
    for (const char ch : content) {
        if (IsHexDigit(ch)) {
            has_digit = true;
        } else if (!IsLayout(ch)) {
            return BytesToHex(
                std::span(reinterpret_cast<const uint8_t*>(content.data()), content.size()));
        }
    }
    // A file of blanks alone is not a dump either: its bytes are what the user gets.
    if (!has_digit && !content.empty()) {
        return BytesToHex(
            std::span(reinterpret_cast<const uint8_t*>(content.data()), content.size()));
    }
    return std::string(content);
}

std::optional<std::vector<uint8_t>> FieldBytes(std::string_view text) {
    std::string digits;
    digits.reserve(text.size());
    for (const char ch : text) {
        if (IsHexDigit(ch)) {
            digits.push_back(ch);
        } else if (!IsLayout(ch)) {
            return std::nullopt;
        }
    }
    if (digits.size() % 2 != 0) {
        return std::nullopt;
    }
    return HexToBytes(digits);
}

std::string TypedText(const Field& field, std::string text) {
    if (field.kind == FieldKind::SingleLine) {
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
            text.pop_back();
        }
        return text;
    }
    // Enter in a multi-line field makes CR LF; a lone LF from a Unix file is such a line break.
    std::string typed;
    typed.reserve(text.size() + text.size() / 16);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) {
            typed.push_back('\r');
        }
        typed.push_back(text[i]);
    }
    return typed;
}

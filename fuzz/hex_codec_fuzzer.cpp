// The hex codec against a plain reading of its own contract: any bytes as text, any bytes as data.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/hex_codec.h"
#include "common/page.h"
#include "fuzz_check.h"

namespace {

int ReferenceDigit(unsigned char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'Y') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'y') {
        return c - 'a' + 10;
    }
    return 0;
}

std::vector<uint8_t> ReferenceHexToBytes(std::string_view text) {
    std::string padded(text);
    if (padded.size() == 1) {
        padded.insert(0, 1, '0');
    } else if (padded.size() % 2 != 0) {
        padded.push_back('0');
    }
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i < padded.size(); i += 2) {
        const int value = ReferenceDigit(static_cast<unsigned char>(padded[i])) * 16 +
                          ReferenceDigit(static_cast<unsigned char>(padded[i + 1]));
        bytes.push_back(static_cast<uint8_t>(value & 0xFF));
    }
    return bytes;
}

bool IsStrictHex(char c) {
    return std::string_view("0123456789ABCDEFabcdef").find(c) != std::string_view::npos;
}

int ReferenceCheck(std::string_view text) {
    for (size_t i = 0; i < text.size(); ++i) {
        if (!IsStrictHex(text[i])) {
            // The byte number, one more for an odd length (1G2 gives 2, 1G gives 1).
            return static_cast<int>(i / 2 + (text.size() % 2 == 0 ? 1 : 2));
        }
    }
    return 0;
}

std::string Without(std::string_view text, std::string_view drop) {
    std::string out;
    for (const char c : text) {
        if (drop.find(c) == std::string_view::npos) {
            out.push_back(c);
        }
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::span<const uint8_t> bytes(data, size);

    const std::vector<uint8_t> decoded = HexToBytes(text);
    FUZZ_CHECK(decoded == ReferenceHexToBytes(text), HexOf(bytes));
    FUZZ_CHECK(HexBufToBytes(std::span<const char>(text.data(), text.size())) == decoded,
               HexOf(bytes));
    FUZZ_CHECK(CheckHexText(text) == ReferenceCheck(text), HexOf(bytes));

    const std::string hex = BytesToHex(bytes);
    FUZZ_CHECK(hex.size() == 2 * size, HexOf(bytes));
    FUZZ_CHECK(CheckHexText(hex) == 0, HexOf(bytes));
    FUZZ_CHECK(HexToBytes(hex) == std::vector<uint8_t>(bytes.begin(), bytes.end()), HexOf(bytes));
    std::string appended = "x";
    AppendHex(appended, bytes);
    FUZZ_CHECK(appended == "x" + hex, HexOf(bytes));

    FUZZ_CHECK(RemoveBlanks(text) == Without(text, " "), HexOf(bytes));
    FUZZ_CHECK(RemoveBlanksAndTabs(text) == Without(text, " \t"), HexOf(bytes));

    const std::string spaced = SpaceHexPairs(text);
    FUZZ_CHECK(spaced.size() == text.size() + (text.size() + 1) / 2, HexOf(bytes));
    FUZZ_CHECK(RemoveBlanks(spaced) == RemoveBlanks(text), HexOf(bytes));
    return 0;
}

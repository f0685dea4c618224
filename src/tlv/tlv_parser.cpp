#include "tlv/tlv_parser.h"

#include <optional>
#include <vector>

#include "common/hex_codec.h"
#include "tlv/tag_dictionary.h"
#include "tlv/tlv_reader.h"

namespace {

// AppendLength writes the length in the shortest definite form of ISO/IEC 8825-1 8.1.3, whatever
// form the data used: 00..7F, 81 xx, 82 xxxx, 83 xxxxxx.
void AppendLength(std::string& out, size_t length) {
    uint8_t field[4];
    size_t count = 0;
    if (length >= 0x80) {
        const size_t digits = length <= 0xFF ? 1 : length <= 0xFFFF ? 2 : 3;
        field[count++] = static_cast<uint8_t>(0x80 | digits);
        for (size_t i = digits; i > 0; --i) {
            field[count++] = static_cast<uint8_t>(length >> (8 * (i - 1)));
        }
    } else {
        field[count++] = static_cast<uint8_t>(length);
    }
    AppendHex(out, std::span<const uint8_t>(field, count));
}

}  // namespace

bool CTlvParser::FormatTlvLevel(int depth, std::span<const uint8_t> data, std::string& out) const {
    if (depth < 1 || depth > kMaxDepth) {
        return false;
    }
    const std::optional<std::vector<TlvItem>> items = SplitTlvItems(data);
    if (!items) {
        return false;
    }
    const size_t level = static_cast<size_t>(depth);
    for (const TlvItem& item : *items) {
        out.append(level - 1, '\t');
        out.append(level, '[');
        const size_t tag_start = out.size();
        AppendHex(out, item.tag);
        const std::string_view tag_text(out.data() + tag_start, out.size() - tag_start);
        const std::string_view name = LookupTagName(tag_text);
        out.append(level, ']');
        out.push_back('\t');
        AppendLength(out, item.value.size());
        out.push_back('\t');
        AppendHex(out, item.value);
        out.push_back('\t');
        out.append(name);
        out.append("\r\n");

        // Nesting follows the data, not the constructed bit: any value that reads as an exact
        // sequence of objects is listed one depth further in. A deeper listing that fails leaves
        // nothing behind.
        if (depth < kMaxDepth && !item.value.empty()) {
            const size_t mark = out.size();
            if (!FormatTlvLevel(depth + 1, item.value, out)) {
                out.resize(mark);
            }
        }
    }
    return true;
}

std::string_view CTlvParser::LookupTagName(std::string_view tag) const {
    return ::LookupTagName(tag);
}

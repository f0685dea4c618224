// The BER-TLV reader and the indented listing against a reference reading of ISO/IEC 8825-1 as
// cards use it (tags of one to four bytes, definite lengths up to three bytes).
#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "tlv/tag_dictionary.h"
#include "tlv/tlv_parser.h"
#include "tlv/tlv_reader.h"

namespace {

struct RefItem {
    size_t tag_offset = 0, tag_size = 0, value_offset = 0, value_size = 0;
};

// RefReadItem reads the object at `at`; nothing when none ends inside `data`.
std::optional<RefItem> RefReadItem(std::span<const uint8_t> data, size_t at) {
    RefItem item;
    item.tag_offset = at;
    if (at >= data.size()) {
        return std::nullopt;
    }
    const uint8_t first = data[at];
    size_t p = at + 1;
    if ((first & 0x1F) == 0x1F) {
        // Subsequent tag bytes carry bit 8 while more follow; at most three of them.
        for (;;) {
            if (p >= data.size() || p - at >= 4) {
                return std::nullopt;
            }
            const uint8_t b = data[p++];
            if ((b & 0x80) == 0) {
                break;
            }
        }
    } else if ((first & 0x1F) == 0 || first < 0x20) {
        return std::nullopt;
    }
    item.tag_size = p - at;
    if (p >= data.size()) {
        return std::nullopt;
    }
    const uint8_t l = data[p++];
    size_t length = l;
    if (l > 0x83 || l == 0x80) {
        return std::nullopt;
    }
    if (l > 0x80) {
        length = 0;
        for (int i = 0; i < (l & 0x7F); ++i) {
            if (p >= data.size()) {
                return std::nullopt;
            }
            length = length * 256 + data[p++];
        }
    }
    if (length > data.size() - p) {
        return std::nullopt;
    }
    item.value_offset = p;
    item.value_size = length;
    return item;
}

std::optional<std::vector<RefItem>> RefSplit(std::span<const uint8_t> data) {
    std::vector<RefItem> items;
    size_t at = 0;
    while (at < data.size()) {
        const std::optional<RefItem> item = RefReadItem(data, at);
        if (!item) {
            return std::nullopt;
        }
        items.push_back(*item);
        at = item->value_offset + item->value_size;
    }
    return items;
}

std::string RefName(const std::string& tag) {
    for (const TagEntry& entry : TagDictionary()) {
        std::string upper(entry.tag);
        std::transform(upper.begin(), upper.end(), upper.begin(),
                       [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        if (upper == tag) {
            return std::string(entry.description);
        }
    }
    return "";
}

std::string RefLength(size_t length) {
    std::vector<uint8_t> field;
    if (length < 0x80) {
        field.push_back(static_cast<uint8_t>(length));
    } else {
        std::vector<uint8_t> digits;
        for (size_t v = length; v > 0; v >>= 8) {
            digits.insert(digits.begin(), static_cast<uint8_t>(v));
        }
        field.push_back(static_cast<uint8_t>(0x80 | digits.size()));
        field.insert(field.end(), digits.begin(), digits.end());
    }
    return BytesToHex(field);
}

bool RefListing(int depth, std::span<const uint8_t> data, std::string& out) {
    const auto items = RefSplit(data);
    if (!items) {
        return false;
    }
    for (const RefItem& item : *items) {
        const std::string tag = BytesToHex(data.subspan(item.tag_offset, item.tag_size));
        const auto value = data.subspan(item.value_offset, item.value_size);
        out += std::string(static_cast<size_t>(depth - 1), '\t') +
               std::string(static_cast<size_t>(depth), '[') + tag +
               std::string(static_cast<size_t>(depth), ']') + "\t" + RefLength(value.size()) +
               "\t" + BytesToHex(value) + "\t" + RefName(tag) + "\r\n";
        std::string nested;
        if (depth < 5 && !value.empty() && RefListing(depth + 1, value, nested)) {
            out += nested;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> bytes(data, size);

    const auto items = SplitTlvItems(bytes);
    const auto reference = RefSplit(bytes);
    FUZZ_CHECK(items.has_value() == reference.has_value(), HexOf(bytes));
    FUZZ_CHECK(CountTlvItems(bytes) ==
                   (items ? std::optional<size_t>(items->size()) : std::optional<size_t>()),
               HexOf(bytes));
    if (items) {
        FUZZ_CHECK(items->size() == reference->size(), HexOf(bytes));
        for (size_t i = 0; i < items->size(); ++i) {
            const TlvItem& item = (*items)[i];
            const RefItem& ref = (*reference)[i];
            FUZZ_CHECK(item.tag.data() == data + ref.tag_offset &&
                           item.tag.size() == ref.tag_size &&
                           item.value.data() == data + ref.value_offset &&
                           item.value.size() == ref.value_size,
                       "item " + std::to_string(i) + " of " + HexOf(bytes));
        }
    }

    // The first object alone, wherever the data ends.
    TlvItem first;
    const bool parsed = ParseTlvItem(first, bytes);
    const auto ref_first = RefReadItem(bytes, 0);
    FUZZ_CHECK(parsed == ref_first.has_value(), HexOf(bytes));
    if (parsed) {
        FUZZ_CHECK(first.Size() == ref_first->value_offset + ref_first->value_size, HexOf(bytes));
    }

    std::string listing = "kept";
    const bool listed = CTlvParser().FormatTlvLevel(1, bytes, listing);
    std::string ref_listing = "kept";
    const bool ref_listed = RefListing(1, bytes, ref_listing);
    FUZZ_CHECK(listed == ref_listed, HexOf(bytes));
    FUZZ_CHECK(listing == ref_listing, HexOf(bytes) + "\n" + listing.substr(0, 2000));

    std::string unchanged;
    FUZZ_CHECK(!CTlvParser().FormatTlvLevel(0, bytes, unchanged) && unchanged.empty(), "depth 0");
    FUZZ_CHECK(!CTlvParser().FormatTlvLevel(6, bytes, unchanged) && unchanged.empty(), "depth 6");
    return 0;
}

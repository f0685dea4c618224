#include "tlv/tlv_reader.h"

namespace {

constexpr size_t kMaxTagBytes = 4;

// WalkTlvItems calls visit(item) for each object of `data` in order; false when the data is not an
// exact sequence of whole objects.
template <typename Visit>
bool WalkTlvItems(std::span<const uint8_t> data, Visit&& visit) {
    while (!data.empty()) {
        TlvItem item;
        if (!ParseTlvItem(item, data)) {
            return false;
        }
        visit(item);
        data = data.subspan(item.Size());
    }
    return true;
}

}  // namespace

bool ParseTag(TlvItem& item, std::span<const uint8_t> bytes) {
    if (bytes.empty()) {
        return false;
    }
    const uint8_t first = bytes[0];
    if ((first & 0x1F) != 0x1F) {
        // A one-byte tag. Bytes whose class and constructed bits are all zero (0x01..0x1E) and
        // bytes whose tag number is zero (0x00, 0x20 ... 0xE0) start no object in card data.
        if ((first & 0x1F) == 0 || (first & 0xE0) == 0) {
            return false;
        }
        item.tag = bytes.first(1);
        return true;
    }
    // ISO/IEC 8825-1 8.1.2.4: low five bits all ones, the tag number follows in subsequent bytes,
    // each with bit 8 set except the last.
    size_t length = 1;
    do {
        if (length == kMaxTagBytes || length == bytes.size()) {
            return false;
        }
        ++length;
    } while ((bytes[length - 1] & 0x80) != 0);
    item.tag = bytes.first(length);
    return true;
}

bool ParseLength(TlvItem& item, std::span<const uint8_t> bytes) {
    if (bytes.empty()) {
        return false;
    }
    // ISO/IEC 8825-1 8.1.3: short form 00..7F; long form 81..83 with one to three length bytes,
    // most significant first. The indefinite form 80 and longer forms are not used on cards.
    const uint8_t first = bytes[0];
    size_t field = 1;
    size_t length = first;
    if (first >= 0x80) {
        const size_t count = first & 0x7F;
        if (count == 0 || count > 3 || count >= bytes.size()) {
            return false;
        }
        length = 0;
        for (size_t i = 1; i <= count; ++i) {
            length = length << 8 | bytes[i];
        }
        field += count;
    }
    if (length > bytes.size() - field) {
        return false;
    }
    item.value = bytes.subspan(field, length);
    return true;
}

bool ParseTlvItem(TlvItem& item, std::span<const uint8_t> bytes) {
    return ParseTag(item, bytes) && ParseLength(item, bytes.subspan(item.tag.size()));
}

std::optional<size_t> CountTlvItems(std::span<const uint8_t> data) {
    size_t count = 0;
    if (!WalkTlvItems(data, [&count](const TlvItem&) { ++count; })) {
        return std::nullopt;
    }
    return count;
}

std::optional<std::vector<TlvItem>> SplitTlvItems(std::span<const uint8_t> data) {
    const std::optional<size_t> count = CountTlvItems(data);
    if (!count) {
        return std::nullopt;
    }
    std::vector<TlvItem> items;
    items.reserve(*count);
    // The data was read whole once already, so this second walk cannot fail.
    static_cast<void>(WalkTlvItems(data, [&items](const TlvItem& item) { items.push_back(item); }));
    return items;
}

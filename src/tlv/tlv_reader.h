// Reading BER-TLV data objects (ISO/IEC 8825-1) of the kind found on EMV/PBOC cards.
//
// Every function reads only the bytes it is given: a tag, length field or value that would run past
// them makes the object fail; nothing past the end is ever read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// TlvItem is one data object found in a caller's bytes. It refers into those bytes and copies
// nothing, so it is valid only while they are.
struct TlvItem {
    std::span<const uint8_t> tag;    // 1 to 4 tag bytes
    std::span<const uint8_t> value;  // 0 to 16,777,215 value bytes, just after the length field

    // Size is the number of bytes of the whole object: tag, length field and value.
    size_t Size() const { return static_cast<size_t>(value.data() + value.size() - tag.data()); }
};

// ParseTag reads the tag at the start of `bytes` into item.tag. False when the first byte starts no
// tag (0x01..0x1E, or low five bits all zero), when the tag has more than four bytes, or when it
// runs past the end of `bytes`.
[[nodiscard]] bool ParseTag(TlvItem& item, std::span<const uint8_t> bytes);

// ParseLength reads the length field at the start of `bytes` (which run on to the end of the data)
// and points item.value at the value after it. Accepts 00..7F and the 81, 82, 83 forms, minimal or
// not; false for 80, 84..FF, or a field or value that runs past the end of `bytes`.
[[nodiscard]] bool ParseLength(TlvItem& item, std::span<const uint8_t> bytes);

// ParseTlvItem reads the one whole object that starts `bytes` and ends within them; false when
// there is none.
[[nodiscard]] bool ParseTlvItem(TlvItem& item, std::span<const uint8_t> bytes);

// CountTlvItems gives the number of objects when `data` is an exact sequence of whole objects (0
// for no data), or nothing when it is not.
std::optional<size_t> CountTlvItems(std::span<const uint8_t> data);

// SplitTlvItems gives the objects of `data` in order when it is an exact sequence of whole objects
// (an empty list for no data), or nothing when it is not. The list holds exactly that many items;
// the vector owns it, so there is no allocation result to report or list to release.
std::optional<std::vector<TlvItem>> SplitTlvItems(std::span<const uint8_t> data);

// The EMV/PBOC data dictionary that the EMV listing names and decodes tags by.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

// TagFormat is the data element format of EMV Book 3 4.3: binary, numeric (BCD), compressed
// numeric (BCD padded with F), alphanumeric, alphanumeric with symbols, a data object list, or a
// constructed template.
enum class TagFormat { B, N, Cn, An, Ans, Dol, Template };

struct EmvTagEntry {
    std::string_view tag;   // upper-case hex text: two characters per tag byte
    std::string_view name;  // UTF-8
    TagFormat format;
};

inline constexpr size_t kEmvTagCount = 243;

// EmvTagTable gives every entry; the tags are all different. The first 111 are the tags the
// "按数据嵌套" listing names, in its lookup order: its dictionary (tag_dictionary.h) is this head.
std::span<const EmvTagEntry, kEmvTagCount> EmvTagTable();

// TagNumber gives the tag bytes (1 to 4) as one big-endian number, 0x9F02 for 9F 02. Tags of
// different lengths never share a number: a longer tag starts with xx1F and every byte but its
// last has bit 8 set (ISO/IEC 8825-1 8.1.2.4), so each length has its own range of numbers.
uint32_t TagNumber(std::span<const uint8_t> tag);

// FindEmvTag gives the entry of the tag bytes, or nullptr for a tag the dictionary lacks.
const EmvTagEntry* FindEmvTag(std::span<const uint8_t> tag);

// TagFormatText gives the format as EMV writes it: "b", "n", "cn", "an", "ans", "DOL", "模板".
std::string_view TagFormatText(TagFormat format);

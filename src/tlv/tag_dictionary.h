// The PBOC/EMV tag dictionary: the Chinese names of the data elements the TLV listing shows. They
// are the first kTagDictionarySize entries of the EMV tag table (emv_tags.h), which spells them.
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string_view>

struct TagEntry {
    std::string_view tag;          // upper-case hex text: two characters per tag byte
    std::string_view description;  // UTF-8
};

inline constexpr size_t kTagDictionarySize = 111;

// TagDictionary gives every entry in lookup order; the tags are all different.
std::span<const TagEntry, kTagDictionarySize> TagDictionary();

// LookupTagName gives the description of `tag` (hex text, either case) from the first equal entry,
// or the empty text when no entry has that tag. The result refers to static storage.
std::string_view LookupTagName(std::string_view tag);

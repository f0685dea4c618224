#include "tlv/tag_dictionary.h"

#include <algorithm>

#include "tlv/emv_tags.h"

namespace {

// ListedTags are the data elements the listing names: the head of the EMV tag table, whose first
// kTagDictionarySize entries are these tags in lookup order, so each name is written once.
std::span<const EmvTagEntry, kTagDictionarySize> ListedTags() {
    static_assert(kTagDictionarySize <= kEmvTagCount);
    return EmvTagTable().first<kTagDictionarySize>();
}

char UpperAscii(char ch) {
    return ch >= 'a' && ch <= 'z' ? static_cast<char>(ch - 'a' + 'A') : ch;
}

bool EqualsUpper(std::string_view text, std::string_view upper) {
    return text.size() == upper.size() &&
           std::equal(text.begin(), text.end(), upper.begin(),
                      [](char a, char b) { return UpperAscii(a) == b; });
}

}  // namespace

std::span<const TagEntry, kTagDictionarySize> TagDictionary() {
    static const std::array<TagEntry, kTagDictionarySize> entries = [] {
        std::array<TagEntry, kTagDictionarySize> out{};
        std::ranges::transform(ListedTags(), out.begin(), [](const EmvTagEntry& entry) {
            return TagEntry{entry.tag, entry.name};
        });
        return out;
    }();
    return entries;
}

std::string_view LookupTagName(std::string_view tag) {
    for (const EmvTagEntry& entry : ListedTags()) {
        if (EqualsUpper(tag, entry.tag)) {
            return entry.name;
        }
    }
    return {};
}

// CTlvParser: the indented text listing of BER-TLV card data, with the names of the tag dictionary.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

class CTlvParser {
public:
    static constexpr int kMaxDepth = 5;

    // FormatTlvLevel appends to `out` the listing of `data` at `depth` (1 to kMaxDepth): per object
    // one UTF-8 line "indent [tag] TAB length TAB value TAB name CR LF", then, when the value is
    // itself an exact sequence of objects and depth is below kMaxDepth, their listing one depth
    // further in. False, with nothing appended, when `data` is not an exact sequence of objects or
    // `depth` is out of range.
    [[nodiscard]] bool FormatTlvLevel(int depth, std::span<const uint8_t> data,
                                      std::string& out) const;

    // LookupTagName gives the dictionary's description of `tag` (hex text, either case), or the
    // empty text for a tag it does not know.
    std::string_view LookupTagName(std::string_view tag) const;
};

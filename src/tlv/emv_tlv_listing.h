// The "EMV 标准解析" listing: card data read as EMV reads it (emv_tlv_reader.h), named by the EMV
// dictionary (emv_tags.h) and explained (emv_value_decoders.h).
#pragma once

#include <cstdint>
#include <span>
#include <string>

// FormatEmvTlv gives the listing of `data`, UTF-8, one CR LF line per entry:
//   object     indent [tag] TAB length field as written TAB value TAB name
//              (a constructed object's value column is empty: its children follow, one deeper)
//   explained  indent TAB "· " text, under a primitive object, one line per fact
//   padding    indent "填充" TAB n " 字节"
//   trailer    "状态字" TAB SW1SW2 TAB meaning
//   fault      indent "错误：偏移 " offset "，" what is wrong, then indent "未解析" TAB the hex of
//              the bytes that were not read
// The indent is depth - 1 tabs and the brackets are depth deep, up to kMaxShownDepth. Time and
// output are linear in the size of `data`: every byte is shown once.
std::string FormatEmvTlv(std::span<const uint8_t> data);

// Deeper objects are listed with the indent and brackets of this depth.
inline constexpr size_t kMaxShownDepth = 16;

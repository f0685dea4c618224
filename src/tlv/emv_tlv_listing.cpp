#include "tlv/emv_tlv_listing.h"

#include <vector>

#include "common/hex_codec.h"
#include "tlv/emv_tags.h"
#include "tlv/emv_tlv_reader.h"
#include "tlv/emv_value_decoders.h"

namespace {

constexpr char kLineEnd[] = "\r\n";

size_t ShownDepth(size_t depth) {
    return depth < kMaxShownDepth ? depth : kMaxShownDepth;
}

void AppendIndent(std::string& out, size_t depth) {
    out.append(ShownDepth(depth) - 1, '\t');
}

// Where a fault lies: the whole data, or the value of the template that holds it.
std::string Container(const EmvTlvEntry& entry) {
    return entry.container_tag.empty() ? "数据" : "模板 " + BytesToHex(entry.container_tag) + " ";
}

std::string FaultText(const EmvTlvEntry& entry) {
    const std::string tag = "标签 " + BytesToHex(entry.tag);
    switch (entry.fault) {
        case EmvFault::TagCutOff:
            return Container(entry) + "在标签 " + BytesToHex(entry.value) + " 中途结束";
        case EmvFault::TagTooLong:
            return "标签 " + BytesToHex(entry.value.first(4)) + "… 超过 4 字节";
        case EmvFault::LengthCutOff:
            return tag + " 的长度字段不完整";
        case EmvFault::IndefiniteLength:
            return tag + " 使用不定长格式（80），EMV 数据不用此格式";
        case EmvFault::UnknownLengthForm:
            return tag + " 的长度格式 " + BytesToHex(entry.length) + " 无定义";
        case EmvFault::LengthOverrun:
            return tag + " 的长度超出" + Container(entry) + "末尾 " +
                   std::to_string(entry.overrun) + " 字节";
        case EmvFault::None:
            break;
    }
    return {};
}

void AppendObject(std::string& out, const EmvTlvEntry& entry, const EmvContext& context) {
    const size_t depth = ShownDepth(entry.depth);
    AppendIndent(out, entry.depth);
    out.append(depth, '[');
    AppendHex(out, entry.tag);
    out.append(depth, ']');
    out.push_back('\t');
    AppendHex(out, entry.length);
    out.push_back('\t');
    if (!entry.constructed) {
        AppendHex(out, entry.value);
    }
    out.push_back('\t');
    if (const EmvTagEntry* known = FindEmvTag(entry.tag)) {
        out.append(known->name);
    }
    out.append(kLineEnd);
    if (entry.constructed) {
        return;
    }
    for (const std::string& line : ExplainEmvValue(entry.tag, entry.value, context)) {
        out.append(depth, '\t');
        out.append("· ");
        out.append(line);
        out.append(kLineEnd);
    }
}

}  // namespace

std::string FormatEmvTlv(std::span<const uint8_t> data) {
    // Two readings: the context first, then the listing, so that no list of entries is kept.
    EmvContext context;
    VisitEmvTlv(data, [&context](const EmvTlvEntry& entry) { NoteEmvContext(context, entry); });
    std::string out;
    out.reserve(3 * data.size());
    VisitEmvTlv(data, [&out, &context](const EmvTlvEntry& entry) {
        switch (entry.kind) {
            case EmvEntryKind::Object:
                AppendObject(out, entry, context);
                break;
            case EmvEntryKind::Padding:
                AppendIndent(out, entry.depth);
                out.append("填充\t" + std::to_string(entry.value.size()) + " 字节");
                out.append(kLineEnd);
                break;
            case EmvEntryKind::StatusWord:
                out.append("状态字\t");
                AppendHex(out, entry.value);
                out.append("\t" + StatusWordMeaning(entry.value[0], entry.value[1]));
                out.append(kLineEnd);
                break;
            case EmvEntryKind::Fault:
                AppendIndent(out, entry.depth);
                out.append("错误：偏移 " + std::to_string(entry.offset) + "，" + FaultText(entry));
                out.append(kLineEnd);
                AppendIndent(out, entry.depth);
                out.append("未解析\t");
                AppendHex(out, entry.value);
                out.append(kLineEnd);
                break;
        }
    });
    return out;
}

#include "tlv/emv_tlv_reader.h"

namespace {

constexpr size_t kMaxTagBytes = 4;
constexpr size_t kMaxLengthBytes = 4;

bool IsPadding(uint8_t byte) {
    return byte == 0x00 || byte == 0xFF;
}

// One level still to read: the bytes left of a template's value (or of the data).
struct Level {
    std::span<const uint8_t> rest;
    size_t depth;
    std::span<const uint8_t> container_tag;
};

// ReadObject reads the object at the start of `bytes` into `entry`; on a fault it sets
// entry.fault and entry.overrun and keeps whatever tag and length it read.
void ReadObject(std::span<const uint8_t> bytes, EmvTlvEntry& entry) {
    // ISO/IEC 8825-1 8.1.2.4: low five bits all ones, the tag goes on while bit 8 is set. Four
    // bytes are the most read: EMV's own tags have two, the contactless kernels' DF81xx three.
    size_t tag_size = 1;
    if ((bytes[0] & 0x1F) == 0x1F) {
        do {
            if (tag_size == kMaxTagBytes) {
                entry.fault = EmvFault::TagTooLong;
                return;
            }
            if (tag_size == bytes.size()) {
                entry.fault = EmvFault::TagCutOff;
                return;
            }
            ++tag_size;
        } while ((bytes[tag_size - 1] & 0x80) != 0);
    }
    entry.tag = bytes.first(tag_size);
    entry.constructed = (bytes[0] & 0x20) != 0;

    // ISO/IEC 8825-1 8.1.3: short form 00..7F; long form 81..84 with that many length bytes.
    const std::span<const uint8_t> after_tag = bytes.subspan(tag_size);
    if (after_tag.empty()) {
        entry.fault = EmvFault::LengthCutOff;
        return;
    }
    const uint8_t first = after_tag[0];
    size_t field = 1;
    size_t length = first;
    if (first == 0x80) {
        entry.length = after_tag.first(1);
        entry.fault = EmvFault::IndefiniteLength;
        return;
    }
    if (first > 0x80) {
        const size_t count = first & 0x7F;
        if (count > kMaxLengthBytes) {
            entry.length = after_tag.first(1);
            entry.fault = EmvFault::UnknownLengthForm;
            return;
        }
        if (count >= after_tag.size()) {
            entry.length = after_tag;
            entry.fault = EmvFault::LengthCutOff;
            return;
        }
        length = 0;
        for (size_t i = 1; i <= count; ++i) {
            length = length << 8 | after_tag[i];
        }
        field += count;
    }
    entry.length = after_tag.first(field);
    const size_t available = after_tag.size() - field;
    if (length > available) {
        entry.fault = EmvFault::LengthOverrun;
        entry.overrun = length - available;
        return;
    }
    entry.value = after_tag.subspan(field, length);
}

}  // namespace

bool IsStatusWord(uint8_t sw1, uint8_t sw2) {
    if (sw1 == 0x90) {
        return sw2 == 0x00;
    }
    if (sw1 >= 0x61 && sw1 <= 0x6F) {
        return true;
    }
    if (sw1 == 0x93) {
        return sw2 == 0x02 || sw2 == 0x03;
    }
    if (sw1 == 0x94) {
        return sw2 == 0x01 || sw2 == 0x02 || sw2 == 0x03 || sw2 == 0x06;
    }
    return false;
}

void VisitEmvTlv(std::span<const uint8_t> data,
                 const std::function<void(const EmvTlvEntry&)>& visit) {
    std::vector<Level> levels{{data, 1, {}}};
    while (!levels.empty()) {
        Level& level = levels.back();
        if (level.rest.empty()) {
            levels.pop_back();
            continue;
        }
        std::span<const uint8_t>& rest = level.rest;
        EmvTlvEntry entry;
        entry.depth = level.depth;
        entry.offset = static_cast<size_t>(rest.data() - data.data());

        // ISO/IEC 7816-4 (BER-TLV data objects) and EMV Book 3 B1: 00 and FF before, between and
        // after objects are padding, not tags.
        if (IsPadding(rest[0])) {
            size_t count = 1;
            while (count < rest.size() && IsPadding(rest[count])) {
                ++count;
            }
            entry.kind = EmvEntryKind::Padding;
            entry.value = rest.first(count);
            rest = rest.subspan(count);
            visit(entry);
            continue;
        }
        // A response pasted with its trailer: SW1 SW2 end the data, outside every object.
        if (level.depth == 1 && rest.size() == 2 && IsStatusWord(rest[0], rest[1])) {
            entry.kind = EmvEntryKind::StatusWord;
            entry.value = rest;
            rest = {};
            visit(entry);
            continue;
        }

        ReadObject(rest, entry);
        if (entry.fault != EmvFault::None) {
            entry.kind = EmvEntryKind::Fault;
            entry.value = rest;
            entry.container_tag = level.container_tag;
            rest = {};
            visit(entry);
            continue;
        }
        const size_t size = entry.tag.size() + entry.length.size() + entry.value.size();
        rest = rest.subspan(size);
        visit(entry);
        // Only the constructed bit nests (EMV Book 3 B1); a primitive value is never read.
        if (entry.constructed && !entry.value.empty()) {
            levels.push_back({entry.value, entry.depth + 1, entry.tag});
        }
    }
}

std::vector<EmvTlvEntry> ReadEmvTlv(std::span<const uint8_t> data) {
    std::vector<EmvTlvEntry> entries;
    VisitEmvTlv(data, [&entries](const EmvTlvEntry& entry) { entries.push_back(entry); });
    return entries;
}

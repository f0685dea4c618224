// Reading card data the way EMV reads it (EMV Book 3 Annex B, ISO/IEC 8825-1 and ISO/IEC 7816-4):
// nesting by the constructed bit alone, padding between objects, a status word at the end, and a
// fault that stops one level without hiding what came before it.
//
// Unlike tlv_reader.h, which accepts data only when all of it is an exact sequence of objects,
// this reader always gives an account of every byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

enum class EmvEntryKind {
    Object,      // one data object
    Padding,     // a run of 00 and FF bytes between objects
    StatusWord,  // SW1 SW2 as the last two bytes of the data
    Fault,       // what could not be read, and all bytes after it on the same level
};

enum class EmvFault {
    None,
    TagCutOff,          // the data ends inside a tag
    TagTooLong,         // a tag of more than four bytes
    LengthCutOff,       // the data ends before or inside the length field
    IndefiniteLength,   // length byte 80
    UnknownLengthForm,  // length byte 85..FF
    LengthOverrun,      // the value runs past the end of the data or of its template
};

// EmvTlvEntry is one line of the account. It refers into the caller's bytes, so it is valid only
// while they are.
struct EmvTlvEntry {
    EmvEntryKind kind = EmvEntryKind::Object;
    size_t depth = 1;   // 1 at the top level, one more inside each constructed object
    size_t offset = 0;  // of the entry's first byte, counted from the start of the data
    // Object: its tag. Fault: the tag read before the fault (empty when the tag itself failed).
    std::span<const uint8_t> tag{};
    // Object: the length field as the data writes it. Fault: as much of it as there is.
    std::span<const uint8_t> length{};
    // Object: the value. Padding: the padding bytes. StatusWord: SW1 SW2. Fault: every byte of
    // its level from `offset` on, none of them read.
    std::span<const uint8_t> value{};
    bool constructed = false;  // Object: bit 6 of the first tag byte; its children follow it
    EmvFault fault = EmvFault::None;
    size_t overrun = 0;                        // LengthOverrun: bytes missing at the end
    std::span<const uint8_t> container_tag{};  // Fault inside a template: the template's tag
};

// VisitEmvTlv calls visit(entry) for the entries of `data` in listing order: each constructed
// object is followed by the entries of its value, one depth further in, before its next sibling.
// Every first byte but 00 and FF starts a tag; length fields 00..7F and 81..84 are read. A fault
// ends its own level only: the bytes of the enclosing template after the fault stay undecoded,
// and reading goes on after that template. Never reads past `data`; uses no recursion, so any
// depth is safe.
void VisitEmvTlv(std::span<const uint8_t> data,
                 const std::function<void(const EmvTlvEntry&)>& visit);

// ReadEmvTlv gives the entries VisitEmvTlv visits, in a list.
std::vector<EmvTlvEntry> ReadEmvTlv(std::span<const uint8_t> data);

// IsStatusWord tells whether SW1 SW2 is a status word of ISO/IEC 7816-4 5.1.3 (90 00, 61..6F xx)
// or one of the PBOC returns 93 02, 93 03, 94 01, 94 02, 94 03, 94 06.
bool IsStatusWord(uint8_t sw1, uint8_t sw2);

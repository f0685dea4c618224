// The card data the TLV listing benchmarks list: READ RECORD templates built from BER-TLV objects,
// repeated up to about a megabyte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "common/hex_codec.h"

namespace card_data {

using Bytes = std::vector<uint8_t>;

// Wrap gives tag, the shortest definite length field and the value.
inline Bytes Wrap(const char* tag_hex, const Bytes& value) {
    Bytes out = HexToBytes(tag_hex);
    const size_t n = value.size();
    if (n >= 0x10000) {
        out.insert(out.end(), {0x83, static_cast<uint8_t>(n >> 16), static_cast<uint8_t>(n >> 8),
                               static_cast<uint8_t>(n)});
    } else if (n >= 0x100) {
        out.insert(out.end(), {0x82, static_cast<uint8_t>(n >> 8), static_cast<uint8_t>(n)});
    } else if (n >= 0x80) {
        out.insert(out.end(), {0x81, static_cast<uint8_t>(n)});
    } else {
        out.push_back(static_cast<uint8_t>(n));
    }
    out.insert(out.end(), value.begin(), value.end());
    return out;
}

inline Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& part : parts) {
        out.insert(out.end(), part.begin(), part.end());
    }
    return out;
}

// One record: 70 > 73 > 61 > 4F is five depths with the list of its 77 wrapper. The PAN passes
// the Luhn check and the name is text, so that the EMV listing explains every object.
inline Bytes Record() {
    Bytes cert = HexToBytes("6A02");
    cert.resize(127, 0x00);
    cert.push_back(0xBC);
    const Bytes application =
        Join({Wrap("4F", HexToBytes("A000000333010101")),
              Wrap("50", HexToBytes("50424F43204445424954")), Wrap("87", HexToBytes("01"))});
    const Bytes directory = Join({Wrap("9F4D", HexToBytes("0B0A")), Wrap("61", application)});
    return Wrap("70", Join({Wrap("57", HexToBytes("6212345678901232D24122011234567890")),
                            Wrap("5F20", HexToBytes("5A48414E472F53414E20")), Wrap("73", directory),
                            Wrap("90", cert)}));
}

// Repeat gives as many whole copies of `unit` as fit in `total` bytes.
inline Bytes Repeat(const Bytes& unit, size_t total) {
    Bytes data;
    while (data.size() + unit.size() <= total) {
        data.insert(data.end(), unit.begin(), unit.end());
    }
    return data;
}

}  // namespace card_data

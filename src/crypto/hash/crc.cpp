#include "crypto/hash/crc.h"

#include <array>

namespace {

// Entry i is the CRC-16 register after the nibble i has been shifted through it from a zero
// register, that is i times 0x1021 as polynomials over GF(2).
constexpr std::array<uint16_t, 16> MakeCrc16NibbleTable() {
    std::array<uint16_t, 16> table{};
    for (unsigned i = 0; i < 16; ++i) {
        unsigned crc = i << 12;
        for (int bit = 0; bit < 4; ++bit) {
            crc = (crc & 0x8000) != 0 ? (crc << 1) ^ 0x1021 : crc << 1;
        }
        table[i] = static_cast<uint16_t>(crc);
    }
    return table;
}

// Entry i is the reflected CRC-32 register after the byte i has been shifted through it.
constexpr std::array<uint32_t, 256> MakeCrc32Table() {
    std::array<uint32_t, 256> table{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t crc = i;
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 1) != 0 ? (crc >> 1) ^ 0xEDB88320 : crc >> 1;
        }
        table[i] = crc;
    }
    return table;
}

// Built by the compiler, so no first use has to build them and no two threads can race to.
constexpr std::array<uint16_t, 16> kCrc16Table = MakeCrc16NibbleTable();
constexpr std::array<uint32_t, 256> kCrc32Table = MakeCrc32Table();

static_assert(kCrc16Table[1] == 0x1021 && kCrc16Table[15] == 0xF1EF);
static_assert(kCrc32Table[1] == 0x77073096 && kCrc32Table[255] == 0x2D02EF8D);

}  // namespace

uint16_t Crc16(std::span<const uint8_t> data) {
    uint16_t crc = 0;
    for (const uint8_t byte : data) {
        // The high nibble first, then the low one: the top four bits of the register meet the
        // next four message bits.
        crc = static_cast<uint16_t>(crc << 4) ^ kCrc16Table[(crc >> 12) ^ (byte >> 4)];
        crc = static_cast<uint16_t>(crc << 4) ^ kCrc16Table[(crc >> 12) ^ (byte & 0x0F)];
    }
    return crc;
}

uint32_t Crc32(std::span<const uint8_t> data) {
    uint32_t crc = 0xFFFFFFFF;
    for (const uint8_t byte : data) {
        crc = (crc >> 8) ^ kCrc32Table[(crc ^ byte) & 0xFF];
    }
    return crc ^ 0xFFFFFFFF;
}

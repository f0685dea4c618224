// The two CRCs of the checksum page. Both take any number of bytes, none included.
#pragma once

#include <cstdint>
#include <span>

// Crc16 is the 16-bit CRC with polynomial 0x1021, initial value 0, most significant bit first and
// no final XOR (the parameters catalogued as CRC-16/XMODEM): "123456789" gives 0x31C3.
uint16_t Crc16(std::span<const uint8_t> data);

// Crc32 is the 32-bit CRC of ISO/IEC 3309 (HDLC, zip, PNG): polynomial 0x04C11DB7 reflected
// (0xEDB88320), initial value and final XOR 0xFFFFFFFF, least significant bit first: "123456789"
// gives 0xCBF43926.
uint32_t Crc32(std::span<const uint8_t> data);

// The longitudinal redundancy check of the checksum page.
#pragma once

#include <cstdint>
#include <span>

// Lrc is the XOR of all bytes of `data`, starting from 0 (0 for no bytes).
uint8_t Lrc(std::span<const uint8_t> data);

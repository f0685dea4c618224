// DES message authentication codes of ISO/IEC 9797-1: MAC algorithm 1 (CBC-MAC) and MAC algorithm 3
// (the retail MAC of ANSI X9.19), with the paddings the payment-card MACs select.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

// MacPadType selects the padding. Pboc and CbcMac are ISO/IEC 9797-1 padding method 2 (80 then 00
// bytes, always at least one byte); AnsiX919 is padding method 1 (00 bytes, only when needed).
enum class MacPadType : int { Pboc = 0, AnsiX919 = 1, CbcMac = 3 };

// MacPad gives the data padded to a whole number of 8-byte blocks as `pad` says. Empty data under
// padding method 1 becomes one zero block.
std::vector<uint8_t> MacPad(MacPadType pad, std::span<const uint8_t> data);

// MacSingleKey writes the 8-byte CBC-MAC of `data` under the single DES key `key` (bytes 0..7)
// into `mac`. The IV's first 8 bytes start the chain; a shorter IV is completed with zero bytes.
// Returns false and writes nothing when the key has fewer than 8 bytes.
[[nodiscard]] bool MacSingleKey(MacPadType pad, std::span<const uint8_t> iv,
                                std::span<const uint8_t> key, std::span<const uint8_t> data,
                                std::span<uint8_t, 8> mac);

// MacDoubleKey writes the 8-byte retail MAC of `data` under KL = key bytes 0..7 and KR = bytes
// 8..15 into `mac`; the IV as for MacSingleKey. Returns false and writes nothing when the key has
// fewer than 16 bytes.
[[nodiscard]] bool MacDoubleKey(MacPadType pad, std::span<const uint8_t> iv,
                                std::span<const uint8_t> key, std::span<const uint8_t> data,
                                std::span<uint8_t, 8> mac);

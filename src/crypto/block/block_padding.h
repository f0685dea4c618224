// Padding of data to whole cipher blocks for ECB and CBC: none, zero bytes (ISO/IEC 9797-1
// padding method 1), 80 00.. (method 2) and PKCS #7.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

enum class BlockPadding { kNone, kZero, kIso9797Method2, kPkcs7 };

// PadToBlocks gives `data` padded to a multiple of `block` bytes (8 or 16). kNone returns false
// when `data` is not whole blocks; kZero adds no block to data that already is (and gives
// nothing for empty data); method 2 and PKCS #7 always add 1..block bytes.
[[nodiscard]] bool PadToBlocks(std::vector<uint8_t>& padded, std::span<const uint8_t> data,
                               BlockPadding padding, size_t block);

// StripPadding gives the length of `data` (whole blocks of `block` bytes) once its padding is
// removed in `length`. kNone and kZero remove nothing (zero padding cannot be told from data).
// Method 2 and PKCS #7 check the padding and return false when it is malformed, with `length`
// untouched.
[[nodiscard]] bool StripPadding(size_t& length, std::span<const uint8_t> data, BlockPadding padding,
                                size_t block);

// The checks a keyed action makes on its key, data and IV fields, in their fixed order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "common/page_form.h"

// The key-length refusals that the cipher pages share: DES and MAC, AES, SM4, and the block-cipher
// workbench for each of its algorithms.
inline constexpr const char* kDesKeyLengthMessage =
    "Des Key should be 8 bytes or 16 bytes or 24 bytes, Pls input the correct !!!";
inline constexpr const char* kAesKeyLengthMessage =
    "Aes Key should be 16 bytes or 24 bytes or 32 bytes, Pls input the correct !!!";
inline constexpr const char* kSm4KeyLengthMessage =
    "sm4 Key should be 16 bytes, Pls input the correct !!!";

// The message of each check; the suffixes follow "The " + byte position.
struct KeyDataMessages {
    const char* empty;        // key or data empty
    const char* key_length;   // key not one of the allowed lengths
    const char* key_suffix;   // key not hex
    const char* odd;          // data of an odd number of digits
    const char* data_suffix;  // data not hex
    // Data that must be whole blocks (AES): the block size in digits and its refusal, checked
    // between the parity and the hex check. 0 means any length.
    size_t block_digits = 0;
    const char* not_whole_blocks = nullptr;
};

// CheckHexData checks a blank-free data text: an even number of digits, whole blocks of
// `block_digits` digits when that is not 0, then hex. Gives the first refusal (caption "Error",
// stop icon), or nothing when all pass. Empty data passes.
ActionResult CheckHexData(std::string_view data, const char* odd, const char* data_suffix,
                          size_t block_digits = 0, const char* not_whole_blocks = nullptr);

// CheckKeyAndData checks blank-free key and data texts: neither empty, the key's digit count one
// of key_digits, the key hex, then the data as CheckHexData does. Gives the first refusal, or
// nothing when all pass.
ActionResult CheckKeyAndData(std::string_view key, std::string_view data,
                             std::span<const size_t> key_digits, const KeyDataMessages& messages);

// ReadChainingValue reads the IV field's text into `chain` (8 bytes for DES, 16 for AES and SM4):
// blanks removed, its first chain.size() bytes, a shorter IV completed with zero bytes and bytes
// beyond ignored. A character that is not hex is refused with "The " + p + " byte of the IV is
// the illegal, Pls Check !!!" and leaves `chain` as it was.
ActionResult ReadChainingValue(std::string_view iv_text, std::span<uint8_t> chain);

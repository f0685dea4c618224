// The checks a keyed action makes on its key and data fields, in their fixed order.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

#include "common/page_form.h"

// The message of each check; the suffixes follow "The " + byte position.
struct KeyDataMessages {
    const char* empty;        // key or data empty
    const char* key_length;   // key not one of the allowed lengths
    const char* key_suffix;   // key not hex
    const char* odd;          // data of an odd number of digits
    const char* data_suffix;  // data not hex
};

// CheckKeyAndData checks blank-free key and data texts: neither empty, the key's digit count one
// of key_digits, the key hex, the data of even length, the data hex. Gives the first refusal
// (caption "Error", stop icon), or nothing when all pass.
ActionResult CheckKeyAndData(std::string_view key, std::string_view data,
                             std::span<const size_t> key_digits, const KeyDataMessages& messages);

#include "common/key_data_checks.h"

#include <algorithm>

#include "common/hex_codec.h"
#include "common/page.h"

ActionResult CheckKeyAndData(std::string_view key, std::string_view data,
                             std::span<const size_t> key_digits, const KeyDataMessages& messages) {
    if (key.empty() || data.empty()) {
        return ErrorBox(messages.empty);
    }
    if (std::find(key_digits.begin(), key_digits.end(), key.size()) == key_digits.end()) {
        return ErrorBox(messages.key_length);
    }
    if (const int p = CheckHexText(key); p > 0) {
        return IllegalByteBox(p, messages.key_suffix);
    }
    if (data.size() % 2 != 0) {
        return ErrorBox(messages.odd);
    }
    if (const int p = CheckHexText(data); p > 0) {
        return IllegalByteBox(p, messages.data_suffix);
    }
    return std::nullopt;
}

#include "common/key_data_checks.h"

#include <algorithm>
#include <vector>

#include "common/hex_codec.h"
#include "common/page.h"

ActionResult CheckHexData(std::string_view data, const char* odd, const char* data_suffix,
                          size_t block_digits, const char* not_whole_blocks) {
    if (data.size() % 2 != 0) {
        return ErrorBox(odd);
    }
    if (block_digits != 0 && data.size() % block_digits != 0) {
        return ErrorBox(not_whole_blocks);
    }
    if (const int p = CheckHexText(data); p > 0) {
        return IllegalByteBox(p, data_suffix);
    }
    return std::nullopt;
}

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
    return CheckHexData(data, messages.odd, messages.data_suffix, messages.block_digits,
                        messages.not_whole_blocks);
}

ActionResult ReadChainingValue(std::string_view iv_text, std::span<uint8_t> chain) {
    const std::string iv = RemoveBlanks(iv_text);
    if (const int p = CheckHexText(iv); p > 0) {
        return IllegalByteBox(p, " byte of the IV is the illegal, Pls Check !!!");
    }
    const std::vector<uint8_t> bytes = HexToBytes(iv);
    std::fill(chain.begin(), chain.end(), uint8_t{0});
    std::copy_n(bytes.begin(), std::min(bytes.size(), chain.size()), chain.begin());
    return std::nullopt;
}

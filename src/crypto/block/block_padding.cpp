#include "crypto/block/block_padding.h"

bool PadToBlocks(std::vector<uint8_t>& padded, std::span<const uint8_t> data, BlockPadding padding,
                 size_t block) {
    const size_t partial = data.size() % block;
    if (padding == BlockPadding::kNone && partial != 0) {
        return false;
    }
    padded.assign(data.begin(), data.end());
    switch (padding) {
        case BlockPadding::kNone:
            break;
        case BlockPadding::kZero:
            // ISO/IEC 9797-1 padding method 1: zero bytes up to a whole block, none if whole.
            padded.resize(data.size() + (partial == 0 ? 0 : block - partial), 0x00);
            break;
        case BlockPadding::kIso9797Method2:
            // ISO/IEC 9797-1 padding method 2: one 80 byte, then zero bytes up to a whole block.
            padded.push_back(0x80);
            padded.resize(data.size() + block - partial, 0x00);
            break;
        case BlockPadding::kPkcs7:
            // RFC 5652 6.3: n bytes of value n, 1 <= n <= block.
            padded.resize(data.size() + block - partial, static_cast<uint8_t>(block - partial));
            break;
    }
    return true;
}

bool StripPadding(size_t& length, std::span<const uint8_t> data, BlockPadding padding,
                  size_t block) {
    if (padding == BlockPadding::kNone || padding == BlockPadding::kZero) {
        length = data.size();
        return true;
    }
    if (data.empty() || data.size() % block != 0) {
        return false;
    }
    const std::span<const uint8_t> last = data.last(block);
    if (padding == BlockPadding::kPkcs7) {
        const size_t n = last[block - 1];
        if (n == 0 || n > block) {
            return false;
        }
        for (size_t i = block - n; i < block; ++i) {
            if (last[i] != n) {
                return false;
            }
        }
        length = data.size() - n;
        return true;
    }
    // Method 2: trailing zero bytes within the last block, then the 80 that marks the end.
    size_t i = block;
    while (i > 0 && last[i - 1] == 0x00) {
        --i;
    }
    if (i == 0 || last[i - 1] != 0x80) {
        return false;
    }
    length = data.size() - (block - i + 1);
    return true;
}

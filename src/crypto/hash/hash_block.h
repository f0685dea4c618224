// What the Merkle-Damgard digests (SHA-1, SHA-2, MD5) share: the buffering of a message into whole
// blocks for a compression function and the final padding. Internal to the engines.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace hash_block {

// Absorb feeds `data` to compress(blocks, count) in whole blocks of N bytes, completing the
// `used` bytes already in `buffer` first and leaving the tail there. Whole blocks of `data` are
// compressed where they lie, without a copy.
template <size_t N, typename Compress>
void Absorb(std::array<uint8_t, N>& buffer, uint32_t& used, std::span<const uint8_t> data,
            Compress compress) {
    if (used > 0) {
        const size_t take = std::min(data.size(), N - used);
        std::copy_n(data.begin(), take, buffer.begin() + used);
        used += static_cast<uint32_t>(take);
        data = data.subspan(take);
        if (used < N) {
            return;
        }
        compress(buffer.data(), 1);
        used = 0;
    }
    const size_t blocks = data.size() / N;
    if (blocks > 0) {
        compress(data.data(), blocks);
        data = data.subspan(blocks * N);
    }
    std::copy(data.begin(), data.end(), buffer.begin());
    used = static_cast<uint32_t>(data.size());
}

// Pad appends the 1 bit, zeros and the encoded message length (FIPS 180-4 5.1; RFC 1321 3.1,
// 3.2) to the `used` bytes in `buffer` and compresses the last one or two blocks.
template <size_t N, size_t L, typename Compress>
void Pad(std::array<uint8_t, N>& buffer, uint32_t used, const std::array<uint8_t, L>& length,
         Compress compress) {
    buffer[used++] = 0x80;
    if (used > N - L) {
        std::fill(buffer.begin() + used, buffer.end(), 0);
        compress(buffer.data(), 1);
        used = 0;
    }
    std::fill(buffer.begin() + used, buffer.end() - L, 0);
    std::copy(length.begin(), length.end(), buffer.end() - L);
    compress(buffer.data(), 1);
}

}  // namespace hash_block

// MD5 (RFC 1321). Message words, the length and the digest are little-endian; nothing is
// allocated.
#pragma once

#include <array>
#include <cstdint>
#include <span>

using Md5Digest = std::array<uint8_t, 16>;

// A running hash. `buffer` holds the not yet compressed tail (buffer_used bytes).
struct Md5Context {
    std::array<uint32_t, 4> state{};
    std::array<uint8_t, 64> buffer{};
    uint64_t byte_count = 0;
    uint32_t buffer_used = 0;
};

// Md5Init sets the initial buffer A, B, C, D of RFC 1321 3.3 and an empty message.
void Md5Init(Md5Context& context);

// Md5Update absorbs `data` of any length (0 changes nothing), compressing every whole block.
void Md5Update(Md5Context& context, std::span<const uint8_t> data);

// Md5Final pads the message, writes the 16-byte digest and leaves the context spent (call Md5Init
// before reusing it).
void Md5Final(Md5Context& context, std::span<uint8_t, 16> digest);

// Md5Hash gives the MD5 digest of `data` of any length, the empty message included.
Md5Digest Md5Hash(std::span<const uint8_t> data);

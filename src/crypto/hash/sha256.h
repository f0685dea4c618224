// SHA-256 (FIPS 180-4 6.2). Message words, the length and the digest are big-endian; nothing is
// allocated.
#pragma once

#include <array>
#include <cstdint>
#include <span>

using Sha256Digest = std::array<uint8_t, 32>;

// A running hash. `buffer` holds the not yet compressed tail (buffer_used bytes).
struct Sha256Context {
    std::array<uint32_t, 8> h{};
    std::array<uint8_t, 64> buffer{};
    uint64_t byte_count = 0;
    uint32_t buffer_used = 0;
};

// Sha256Init sets the initial hash value of FIPS 180-4 5.3.3 and an empty message.
void Sha256Init(Sha256Context& context);

// Sha256Update absorbs `data` of any length (0 changes nothing), compressing every whole block.
void Sha256Update(Sha256Context& context, std::span<const uint8_t> data);

// Sha256Final pads the message, writes the 32-byte digest and leaves the context spent (call
// Sha256Init before reusing it).
void Sha256Final(Sha256Context& context, std::span<uint8_t, 32> digest);

// Sha256Hash gives the SHA-256 digest of `data` of any length, the empty message included.
Sha256Digest Sha256Hash(std::span<const uint8_t> data);

// SHA-512 and SHA-384 (FIPS 180-4 6.4, 6.5): one engine, SHA-384 being SHA-512 with its own
// initial hash value and the digest cut to 48 bytes. Message words, the length and the digest are
// big-endian; nothing is allocated.
#pragma once

#include <array>
#include <cstdint>
#include <span>

using Sha384Digest = std::array<uint8_t, 48>;
using Sha512Digest = std::array<uint8_t, 64>;

// A running SHA-512 or SHA-384 hash. `buffer` holds the not yet compressed tail (buffer_used
// bytes).
struct Sha512Context {
    std::array<uint64_t, 8> h{};
    std::array<uint8_t, 128> buffer{};
    uint64_t byte_count = 0;
    uint32_t buffer_used = 0;
};

// Sha512Init sets the initial hash value of FIPS 180-4 5.3.5 and an empty message.
void Sha512Init(Sha512Context& context);
// Sha384Init sets the initial hash value of FIPS 180-4 5.3.4 and an empty message.
void Sha384Init(Sha512Context& context);

// Sha512Update absorbs `data` of any length (0 changes nothing), compressing every whole block.
void Sha512Update(Sha512Context& context, std::span<const uint8_t> data);
// Sha384Update is Sha512Update.
void Sha384Update(Sha512Context& context, std::span<const uint8_t> data);

// Sha512Final pads the message, writes the 64-byte digest and leaves the context spent (call
// Sha512Init before reusing it).
void Sha512Final(Sha512Context& context, std::span<uint8_t, 64> digest);
// Sha384Final pads the message and writes the leftmost 48 bytes of the final hash value (FIPS
// 180-4 6.5); the context is spent.
void Sha384Final(Sha512Context& context, std::span<uint8_t, 48> digest);

// Sha512Hash and Sha384Hash give the digest of `data` of any length, the empty message included.
Sha512Digest Sha512Hash(std::span<const uint8_t> data);
Sha384Digest Sha384Hash(std::span<const uint8_t> data);

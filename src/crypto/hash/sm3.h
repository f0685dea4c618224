// SM3 hash (GB/T 32905-2016) and HMAC-SM3 (RFC 2104 over SM3: block 64 bytes, output 32 bytes).
// Message words and the digest are big-endian; nothing is allocated.
#pragma once

#include <array>
#include <cstdint>
#include <span>

using Sm3Digest = std::array<uint8_t, 32>;

// A running hash. byte_count[0] counts absorbed bytes and carries into byte_count[1]; `buffer`
// holds the not yet compressed tail (byte_count[0] mod 64 bytes). The two pads serve HMAC only.
struct Sm3Context {
    uint32_t byte_count[2] = {0, 0};
    uint32_t v[8] = {};
    uint8_t buffer[64] = {};
    uint8_t inner_pad[64] = {};
    uint8_t outer_pad[64] = {};
};

// Sm3Init sets the byte count to 0 and the chaining value to the IV of GB/T 32905.
void Sm3Init(Sm3Context& context);

// Sm3Update absorbs `data` of any length (0 changes nothing), compressing every complete block.
void Sm3Update(Sm3Context& context, std::span<const uint8_t> data);

// Sm3Compress applies the compression function CF of GB/T 32905 to the chaining value with one
// 64-byte block; the byte count and the buffer are not touched.
void Sm3Compress(Sm3Context& context, std::span<const uint8_t, 64> block);

// Sm3Final pads the message, writes the 32-byte digest and leaves the context spent (call
// Sm3Init before reusing it).
void Sm3Final(Sm3Context& context, std::span<uint8_t, 32> digest);

// Sm3Hash gives the SM3 digest of `data` of any length; the empty message included.
Sm3Digest Sm3Hash(std::span<const uint8_t> data);

// Sm3HmacInit prepares both pads from `key` (a key of more than 64 bytes is replaced by its
// Sm3Hash, a key of 64 bytes or fewer is used as it is) and absorbs the inner pad.
void Sm3HmacInit(Sm3Context& context, std::span<const uint8_t> key);

// Sm3HmacUpdate absorbs message bytes, as Sm3Update does.
void Sm3HmacUpdate(Sm3Context& context, std::span<const uint8_t> data);

// Sm3HmacFinal finishes the inner hash, hashes the outer pad and the inner digest, and writes the
// 32-byte MAC.
void Sm3HmacFinal(Sm3Context& context, std::span<uint8_t, 32> mac);

// Sm3Hmac gives HMAC-SM3 of `data` under `key`; key and data may have any length, 0 included.
Sm3Digest Sm3Hmac(std::span<const uint8_t> key, std::span<const uint8_t> data);

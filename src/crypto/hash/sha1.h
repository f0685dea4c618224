// SHA-1 (FIPS 180-4 6.1). Message words, the length and the digest are big-endian; nothing is
// allocated. Unlike the other digest engines, SHA-1 keeps an error state in its context and
// reports it from every call.
#pragma once

#include <array>
#include <cstdint>
#include <span>

using Sha1Digest = std::array<uint8_t, 20>;

// Results of the SHA-1 calls and the values of Sha1Context::error.
inline constexpr int kSha1Success = 0;
// No context was given.
inline constexpr int kSha1Null = 1;
// The message passed 2^64 - 1 bits, the most FIPS 180-4 5.1.1 can encode; the context keeps this
// error (the same value as kSha1Null).
inline constexpr int kSha1InputTooLong = 1;
// Sha1Update was called after Sha1Final; the context keeps this error.
inline constexpr int kSha1StateError = 3;

// A running hash. `buffer` holds the not yet compressed tail (buffer_used bytes); `computed` says
// Sha1Final has run and h holds the digest.
struct Sha1Context {
    std::array<uint32_t, 5> h{};
    std::array<uint8_t, 64> buffer{};
    uint64_t length_bits = 0;
    uint32_t buffer_used = 0;
    bool computed = false;
    int error = kSha1Success;
};

// Sha1Init sets the initial hash value of FIPS 180-4 5.3.1 and clears length, buffer and error.
// Returns kSha1Null when `context` is null, otherwise kSha1Success.
[[nodiscard]] int Sha1Init(Sha1Context* context);

// Sha1Update absorbs `data`. Zero bytes return kSha1Success and change nothing, whatever the
// context's state. Otherwise: kSha1Null for a null context; the context's error if it has one;
// after Sha1Final the context takes kSha1StateError and returns it; data that would make the
// message longer than 2^64 - 1 bits puts the context in kSha1InputTooLong, none of it absorbed.
[[nodiscard]] int Sha1Update(Sha1Context* context, std::span<const uint8_t> data);

// Sha1Final pads the message, writes the 20-byte digest and marks the context computed; called
// again it writes the same digest. Returns kSha1Null for a null context, or the context's error
// (nothing written).
[[nodiscard]] int Sha1Final(Sha1Context* context, std::span<uint8_t, 20> digest);

// Sha1Hash gives the SHA-1 digest of `data` of any length, the empty message included.
Sha1Digest Sha1Hash(std::span<const uint8_t> data);

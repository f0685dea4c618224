// The one source of random bytes of the engines.
#pragma once

#include <cstdint>
#include <span>

// RandomBytes fills `out` from OpenSSL's cryptographic generator (RAND_bytes, seeded by the
// operating system on every platform). Returns false when the generator cannot give them; `out`
// is then all zeros, never partly random.
[[nodiscard]] bool RandomBytes(std::span<uint8_t> out);

// What every fuzz target shares: a check that stops the run with a message libFuzzer keeps, and
// the bytes-to-text helpers for the messages.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/hex_codec.h"

// FUZZ_CHECK stops the run (abort, so libFuzzer saves the input) when `condition` is false,
// printing where and `what`.
#define FUZZ_CHECK(condition, what)                                                     \
    do {                                                                                \
        if (!(condition)) {                                                             \
            std::fprintf(stderr, "%s:%d: check failed: %s\n  %s\n", __FILE__, __LINE__, \
                         #condition, std::string(what).c_str());                        \
            std::abort();                                                               \
        }                                                                               \
    } while (false)

// HexOf gives bytes as hex for a failure message, cut to the first 256 bytes.
template <typename Bytes>
std::string HexOf(const Bytes& bytes) {
    const size_t n = bytes.size() < 256 ? bytes.size() : 256;
    std::string hex = BytesToHex(std::span<const uint8_t>(bytes.data(), n));
    return n < bytes.size() ? hex + "..." : hex;
}

// Key check values: the first bytes of the zero block encrypted under a key, which card and HSM
// people compare before anything else to tell that two parties hold the same key.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

enum class KcvCipher {
    Des,  // 8 bytes single DES, 16 bytes two-key and 24 bytes three-key EDE (ANSI X9.24)
    Aes,  // 16, 24 or 32 bytes (FIPS 197)
    Sm4,  // 16 bytes (GB/T 32907)
};

// KeyCheckValue gives the first 3 bytes of the cipher's zero block encrypted under `key`, or
// nothing when the key has a length the cipher does not take.
std::optional<std::array<uint8_t, 3>> KeyCheckValue(KcvCipher cipher, std::span<const uint8_t> key);

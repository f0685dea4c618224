// Random RSA keys with the public exponent 65537, shared by the RSA and CRT pages.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/page_form.h"
#include "common/progress.h"
#include "crypto/pk/big_number.h"

// RsaKeySizeChoices gives the six key sizes of the pages' size list ("128 bit" ... "1280 bit"),
// named by their bit count; kDefaultRsaKeySize is the index of "1024 bit".
std::vector<Choice> RsaKeySizeChoices();
inline constexpr int kDefaultRsaKeySize = 3;

// RsaPrimeWords gives the size of each prime in 32-bit words for a choice index of
// RsaKeySizeChoices; the modulus has twice as many.
uint32_t RsaPrimeWords(int size_index);

// IsUsableRsaPrime is true when the public exponent 65537 is coprime to prime - 1, so that it
// has an inverse modulo prime - 1 and modulo phi.
bool IsUsableRsaPrime(const CBigNumber& prime);

struct RsaKey {
    CBigNumber p, q, n, e, d, dp, dq, qinv;
    int elapsed_seconds = 0;  // whole seconds the generation took
};

// GenerateRsaKey draws two distinct usable probable primes of prime_words words each from the
// operating system's generator and derives N = P * Q, E = 65537, D = E^-1 mod (P-1)(Q-1),
// DP = E^-1 mod (P-1), DQ = E^-1 mod and QinV = Q^-1 mod P. N has exactly 64 * prime_words
// bits, since every prime has its top two bits set. It gives nothing when `progress` was
// cancelled during the prime search or when the system's random generator failed.
std::optional<RsaKey> GenerateRsaKey(uint32_t prime_words, CProgress* progress = nullptr);

// NoKeyBox is what a page says when GenerateRsaKey gave nothing: nothing after a cancel, a
// refusal when the random generator failed (a key drawn from no randomness would be worse).
ActionResult NoKeyBox(const CProgress* progress);

// FormatElapsedSeconds gives the "%d s" text the pages show after a key generation.
std::string FormatElapsedSeconds(int seconds);

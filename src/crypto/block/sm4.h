// SM4 block cipher (GB/T 32907-2016): key schedule, single blocks, ECB, CBC, repeated runs and the
// CBC-MAC chain. Keys and blocks are 16 bytes; bytes map to 32-bit words big-endian.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "common/progress.h"

using Sm4RoundKeys = std::array<uint32_t, 32>;

// An expanded key: encrypt is 1 for the encryption schedule (rk0..rk31), 0 for the decryption
// schedule (the same keys, rk31 first).
struct Sm4Context {
    int encrypt = 1;
    Sm4RoundKeys rk{};
};

// Sm4SetEncryptKey expands a 16-byte key into rk0..rk31 (GB/T 32907 key expansion) and sets encrypt
// to 1.
void Sm4SetEncryptKey(Sm4Context& context, std::span<const uint8_t, 16> key);
// Sm4SetDecryptKey expands a 16-byte key into rk31..rk0 and sets encrypt to 0.
void Sm4SetDecryptKey(Sm4Context& context, std::span<const uint8_t, 16> key);

// Sm4CryptBlock runs one 16-byte block through the 32 rounds with `rk` in the order given
// (GB/T 32907 encryption algorithm); reversed keys decrypt. `in` and `out` may overlap.
void Sm4CryptBlock(const Sm4RoundKeys& rk, std::span<const uint8_t, 16> in,
                   std::span<uint8_t, 16> out);

// Sm4CryptEcb transforms every 16-byte block of `in` into `out` with the context's schedule.
// `out` may be `in`. Returns false and writes nothing when the length is 0 or not a multiple of
// 16, or the sizes differ.
[[nodiscard]] bool Sm4CryptEcb(const Sm4Context& context, std::span<const uint8_t> in,
                               std::span<uint8_t> out);

// Sm4CryptCbc chains the blocks of `in` into `out` (same size; may be the same buffer).
// encrypt: out = E(in XOR chain), chain := out; otherwise out = D(in) XOR chain, chain := in.
// The direction does not follow the context: pair an encryption schedule with encrypt = true.
// Refuses (false, nothing written) as Sm4CryptEcb does.
[[nodiscard]] bool Sm4CryptCbc(const Sm4Context& context, bool encrypt,
                               std::span<uint8_t, 16> chain, std::span<const uint8_t> in,
                               std::span<uint8_t> out);

// Sm4Crypt encrypts or decrypts `data` in place in ECB or CBC, expanding the key once. `repeat`
// counts passes: 0 and 1 both make one pass, N makes N (ECB: each block transformed N times;
// CBC: the whole data chained N times, each pass starting from the chain the last one left).
// CBC updates `chain` as Sm4CryptCbc does; ECB never touches it. Returns false when the length
// is 0 or not a multiple of 16 (nothing written), or when `progress` was cancelled (data and
// chain then hold a partial result). `progress` counts block transforms.
[[nodiscard]] bool Sm4Crypt(std::span<const uint8_t, 16> key, bool encrypt, bool cbc,
                            uint64_t repeat, std::span<uint8_t> data, std::span<uint8_t, 16> chain,
                            CProgress* progress = nullptr);

// Sm4CbcMac runs the CBC-MAC chain over `data`: chain := E(block XOR chain) for every 16-byte
// block, `chain` holding the IV on entry and the final value on return. The caller pads the data
// and keeps as many leading bytes as its MAC needs. Refuses (false, chain untouched) a length of
// 0 or one that is not a multiple of 16.
[[nodiscard]] bool Sm4CbcMac(std::span<const uint8_t, 16> key, std::span<uint8_t, 16> chain,
                             std::span<const uint8_t> data);

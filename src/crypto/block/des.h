// DES and triple DES (FIPS 46-3, NIST SP 800-67) over byte buffers, ECB and CBC.
#pragma once

#include <array>
#include <cstdint>
#include <span>

// Sixteen round keys, each held as its eight 6-bit groups (the inputs of S1..S8 after the XOR).
using DesRoundKeys = std::array<std::array<uint8_t, 8>, 16>;

// DesKeySchedule derives the sixteen round keys of an 8-byte key (PC-1, rotations, PC-2); the
// parity bit of each key byte is ignored.
DesRoundKeys DesKeySchedule(std::span<const uint8_t, 8> key);

// DesCipherKeys holds the sixteen round keys packed as the cipher's inner loop reads them: per
// round, the groups of S1, S3, S5, S7 in one word and those of S2, S4, S6, S8 in the other.
struct DesCipherKeys {
    std::array<uint32_t, 32> words;
};

// DesPrepare packs a key schedule for DesBlock; a caller running many blocks packs once.
DesCipherKeys DesPrepare(const DesRoundKeys& schedule);

// DesBlock runs one 64-bit block (first byte in the most significant bits) through IP, the
// sixteen rounds and IP^-1; decrypt uses the round keys in reverse order.
uint64_t DesBlock(uint64_t block, const DesCipherKeys& keys, bool decrypt);
uint64_t DesBlock(uint64_t block, const DesRoundKeys& schedule, bool decrypt);

// DesEncryptBlock encrypts one 8-byte block with single DES under an 8-byte key. `in` and `out`
// may be the same buffer.
void DesEncryptBlock(std::span<const uint8_t, 8> key, std::span<const uint8_t, 8> in,
                     std::span<uint8_t, 8> out);
// DesDecryptBlock decrypts one 8-byte block with single DES; `in` and `out` may be the same buffer.
void DesDecryptBlock(std::span<const uint8_t, 8> key, std::span<const uint8_t, 8> in,
                     std::span<uint8_t, 8> out);

// DesCrypt encrypts or decrypts `input` into `output` (same size; may be the same buffer) in ECB
// or CBC. The key length picks the cipher: 8..15 bytes single DES with bytes 0..7, 16..23 two-key
// EDE (K1, K2, K1), 24 or more three-key EDE (bytes beyond 24 ignored). In CBC `chain` is the IV on
// entry and the last ciphertext block on return; ECB leaves it untouched. Returns false and writes
// nothing when the length is 0 or not a multiple of 8, the sizes differ, or the key is under 8
// bytes.
[[nodiscard]] bool DesCrypt(bool decrypt, bool cbc, std::span<const uint8_t> input,
                            std::span<uint8_t> output, std::span<uint8_t, 8> chain,
                            std::span<const uint8_t> key);

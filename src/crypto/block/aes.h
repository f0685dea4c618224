// AES (FIPS 197) with 128-, 192- and 256-bit keys: one expanded key and single blocks in
// CAesCipher, ECB and CBC without padding in AesCrypt.
#pragma once

#include <array>
#include <cstdint>
#include <span>

class CAesCipher {
public:
    // A new cipher holds the all-zero 16-byte key, so that it never works on an unset schedule.
    CAesCipher();

    // SetKey takes a 16-, 24- or 32-byte key (AES-128, -192, -256) and expands it (FIPS 197 5.2).
    // Any other length returns false and leaves the cipher as it was.
    [[nodiscard]] bool SetKey(std::span<const uint8_t> key);

    // EncryptBlock runs one 16-byte block through the Cipher (FIPS 197 5.1) under the current
    // key. `in` and `out` may overlap.
    void EncryptBlock(std::span<const uint8_t, 16> in, std::span<uint8_t, 16> out);
    // DecryptBlock runs one 16-byte block through the Inverse Cipher (FIPS 197 5.3); on the AES-NI
    // path the instructions compute it as the equivalent inverse cipher (5.3.5), with the same
    // result. `in` and `out` may overlap.
    void DecryptBlock(std::span<const uint8_t, 16> in, std::span<uint8_t, 16> out);

private:
    friend bool AesCrypt(bool decrypt, bool cbc, std::span<const uint8_t> input,
                         std::span<uint8_t> output, std::span<uint8_t, 16> chain,
                         std::span<const uint8_t> key);

    int m_nb = 4;
    int m_nk = 4;
    int m_nr = 10;
    // The key schedule w[0 .. 4 * (m_nr + 1) - 1], four bytes per word.
    std::array<uint8_t, 240> m_roundKeys{};
    // The schedule of the equivalent inverse cipher (FIPS 197 5.3.5): w[Nr] first and
    // InvMixColumns applied to the inner round keys, as AESDEC and the decryption tables take it.
    std::array<uint8_t, 240> m_inverseKeys{};
    bool m_hardware = false;
};

// AesCrypt encrypts or decrypts `input` into `output` (same size; may be the same buffer) in ECB
// or CBC under a 16-, 24- or 32-byte key. In CBC `chain` is the IV on entry and the last
// ciphertext block on return; ECB leaves it untouched. Returns false and writes nothing when the
// length is 0 or not a multiple of 16, the sizes differ, or the key has another length.
[[nodiscard]] bool AesCrypt(bool decrypt, bool cbc, std::span<const uint8_t> input,
                            std::span<uint8_t> output, std::span<uint8_t, 16> chain,
                            std::span<const uint8_t> key);

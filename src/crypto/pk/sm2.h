// SM2 public-key algorithms of GB/T 32918 on the recommended 256-bit curve of GB/T 32918.5:
// public-key derivation, signature (GB/T 32918.2), key exchange (GB/T 32918.3), encryption (GB/T
// 32918.4).
//
// OpenSSL libcrypto does the big-number and curve arithmetic on its named SM2 group; every hash is
// our Sm3Hash; the curve arithmetic and its OpenSSL types stay inside the engine (sm2_curve.h).
// The random numbers are by default the fixed values of the standard's worked examples, so every
// result is reproducible; kSm2FreshRandom draws them from the CSPRNG instead. Every entry point
// builds its own curve and frees all it made on every path; the functions are reentrant. Messages
// and identities are byte strings with their own length: a 00 byte inside them is data.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

using Sm2Bytes32 = std::array<uint8_t, 32>;

// GB/T 32918.5: the recommended curve y^2 = x^3 + ax + b over F_p, generator G of order n.
inline constexpr std::string_view kSm2P =
    "FFFFFFFEFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF00000000FFFFFFFFFFFFFFFF";
inline constexpr std::string_view kSm2A =
    "FFFFFFFEFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF00000000FFFFFFFFFFFFFFFC";
inline constexpr std::string_view kSm2B =
    "28E9FA9E9D9F5E344D5A9E4BCF6509A7F39789F515AB8F92DDBCBD414D940E93";
inline constexpr std::string_view kSm2Gx =
    "32C4AE2C1F1981195F9904466A39C9948FE30BBFF2660BE1715A4589334C74C7";
inline constexpr std::string_view kSm2Gy =
    "BC3736A2F4F6779C59BDCEE36B692153D0A9877CC62A474002DF32E52139F0A0";
inline constexpr std::string_view kSm2N =
    "FFFFFFFEFFFFFFFFFFFFFFFFFFFFFFFF7203DF6B21C6052B53BBF40939D54123";

// The random numbers of the worked examples of GB/T 32918 parts 2, 3 and 4 (defined there on the
// example curve; here simply used as random numbers on the recommended curve).
inline constexpr std::string_view kSm2SignRandom =
    "6CB28D99385C175C94F94E934817663FC176D925DD72B727260DBAAE1FB2F96F";
inline constexpr std::string_view kSm2EncryptRandom =
    "4C62EEFD6ECFC2B95B92FD6C3D9575148AFA17425546D49018E5388D49DD7B4F";
inline constexpr std::string_view kSm2ExchangeRandomA =
    "83A2C9C8B96E5AF70BD480B472409A9A327257F1EBB73F5B073354B248668563";
inline constexpr std::string_view kSm2ExchangeRandomB =
    "33FE21940342161C55619C4A0C060293D543C80AF19748CE176D83477DE71C80";

// kSm2FreshRandom, given as the random number of Sm2Sign, Sm2Encrypt, Sm2KeyExchange or
// Sm2ExchangeAsParty, draws it afresh from RandomBytes for each attempt, as GB/T 32918 requires
// outside its worked examples; signing and encrypting draw again when the standard says to.
inline constexpr std::string_view kSm2FreshRandom = "";
// How many fresh random numbers an operation draws before it gives up (each retry has a
// probability near 2^-224, so only a broken generator reaches it).
inline constexpr int kSm2FreshAttempts = 8;
// The largest shared key Sm2ExchangeAsParty derives, in bytes.
inline constexpr size_t kSm2MaxExchangeKeyBytes = 4096;

// C1 (04 || x1 || y1, 65 bytes) and C3 (32 bytes) around the masked message C2.
inline constexpr size_t kSm2CipherOverhead = 97;
// ENTL, the bit length of the identity in the user hash, is a 16-bit number.
inline constexpr size_t kSm2MaxIdBytes = 0xFFFF / 8;

// An affine point, coordinates 32 bytes big-endian each.
struct Sm2Point {
    Sm2Bytes32 x{}, y{};
    bool operator==(const Sm2Point&) const = default;
};

// Sm2FixedBytesFromHex reads the first 64 digits of the text as a big-endian number, as
// Sm2SetPrivateKey reads a private key: fewer digits (a leading 00 byte left off, as many tools
// print them) are zeros on the left. How the page reads Px, Py, r and s.
Sm2Bytes32 Sm2FixedBytesFromHex(std::string_view text);

// Sm2PrivateKeyIsValid tells whether Sm2SetPrivateKey accepts the text.
bool Sm2PrivateKeyIsValid(std::string_view private_key);
// Sm2PublicKeyIsValid tells whether the point lies on the curve (GB/T 32918.1 6.2.1).
bool Sm2PublicKeyIsValid(const Sm2Point& public_key);

// Sm2GeneratePublicKey gives P = d * G for the private key text. False when it is refused.
[[nodiscard]] bool Sm2GeneratePublicKey(std::string_view private_key, Sm2Point& public_key);

// Sm2GenerateKey draws a private key d in [1, n-2] from RandomBytes (GB/T 32918.1 6.1) and gives
// it with P = d * G. False when the generator fails.
[[nodiscard]] bool Sm2GenerateKey(Sm2Bytes32& private_key, Sm2Point& public_key);

struct Sm2Signature {
    Sm2Bytes32 r{}, s{};
};

// Sm2Sign signs `message` for the identity `id` (GB/T 32918.2 6.1) with the random number k
// (hex, or kSm2FreshRandom). False for a refused private key, an identity that is too long, and,
// for a fixed k, the cases the standard retries with another k (r = 0, r + k = n, s = 0); a fresh
// k is drawn again in those cases.
[[nodiscard]] bool Sm2Sign(std::span<const uint8_t> message, std::string_view private_key,
                           std::span<const uint8_t> id, Sm2Signature& signature,
                           std::string_view k = kSm2SignRandom);

// Sm2Verify checks the signature (GB/T 32918.2 7.1): true only when r and s lie in [1, n-1],
// the public key is on the curve, t = r + s mod n is not 0 and R = r.
bool Sm2Verify(std::span<const uint8_t> message, const Sm2Point& public_key,
               std::span<const uint8_t> id, const Sm2Signature& signature);

// The 128-bit shared keys each party derived in a key exchange.
struct Sm2ExchangeKeys {
    std::array<uint8_t, 16> a{}, b{};
};

// Sm2KeyExchange runs both parties of GB/T 32918.3 6.1 in one call, A the initiator and B the
// responder, with the random numbers rA and rB (hex, by default the example's, or
// kSm2FreshRandom), klen 128 bits, w 127 and h 1. True when both key confirmations agree
// (SB = S1 and S2 = SA); false then too for a refused private key or identity. `keys` (may be
// null) receives KA and KB.
bool Sm2KeyExchange(std::string_view private_key_a, std::string_view private_key_b,
                    std::span<const uint8_t> id_a, std::span<const uint8_t> id_b,
                    Sm2ExchangeKeys* keys = nullptr,
                    std::string_view random_a = kSm2ExchangeRandomA,
                    std::string_view random_b = kSm2ExchangeRandomB);

// Sm2ExchangeEphemeral gives the random number r of one party (hex, or kSm2FreshRandom) as 32
// bytes with R = r * G, the point it sends first (GB/T 32918.3 6.1 A1-A3, B1-B2). False for r
// outside [1, n-1] or a failed generator.
[[nodiscard]] bool Sm2ExchangeEphemeral(std::string_view random, Sm2Bytes32& r, Sm2Point& big_r);

enum class Sm2ExchangeRole { Initiator, Responder };

// What one party of the key exchange computed: its r and R, the shared key K, the confirmation
// it sends (SA for the initiator, SB for the responder) and the one it expects (S1 or S2).
struct Sm2ExchangeOutcome {
    Sm2Bytes32 random{};
    Sm2Point big_r;
    std::vector<uint8_t> key;
    Sm2Bytes32 s_send{}, s_expect{};
};

// Sm2ExchangeAsParty runs one side of GB/T 32918.3 6.1 with its own private key, identity and
// random number r (hex, or kSm2FreshRandom) against the peer's public key, ephemeral point R and
// identity, deriving `key_bytes` bytes of K (w 127, h 1). False for a refused private key or r,
// an identity that is too long, a peer key or R off the curve, a key length outside
// [1, kSm2MaxExchangeKeyBytes], or a shared point at infinity.
[[nodiscard]] bool Sm2ExchangeAsParty(Sm2ExchangeRole role, std::string_view private_key,
                                      std::span<const uint8_t> id, std::string_view random,
                                      const Sm2Point& peer_key, const Sm2Point& peer_r,
                                      std::span<const uint8_t> peer_id, size_t key_bytes,
                                      Sm2ExchangeOutcome& outcome);

// The order of the three parts of a ciphertext: C1 C2 C3 (GB/T 32918.4-2012) or C1 C3 C2
// (GB/T 32918.4-2016).
enum class Sm2CipherOrder { C1C2C3, C1C3C2 };

// Sm2Encrypt encrypts `message` of any length for the public key (GB/T 32918.4 6.1) with the
// random number k (hex, or kSm2FreshRandom, drawn again for a key stream of zeros only); the
// ciphertext has message + 97 bytes. False for a public key that is not on the curve or, for a
// fixed k, a key stream of zeros only.
[[nodiscard]] bool Sm2Encrypt(const Sm2Point& public_key, std::span<const uint8_t> message,
                              Sm2CipherOrder order, std::vector<uint8_t>& ciphertext,
                              std::string_view k = kSm2EncryptRandom);

// Sm2Decrypt recovers the whole plaintext, 00 bytes included (GB/T 32918.4 7.1). False, with
// `plaintext` emptied, for a refused private key, a ciphertext under 97 bytes, a C1 that is not
// 04 followed by a point of the curve, a key stream of zeros only, or C3 != SM3(x2 || M || y2):
// a wrong key or a damaged ciphertext.
[[nodiscard]] bool Sm2Decrypt(std::string_view private_key, std::span<const uint8_t> ciphertext,
                              Sm2CipherOrder order, std::vector<uint8_t>& plaintext);

// The interchange forms of SM2 values: signatures and ciphertexts in the DER of GM/T 0009, and
// keys as PKCS#8 (RFC 5958), SEC1 (RFC 5915) or SubjectPublicKeyInfo in PEM or DER. OpenSSL's
// encoders and decoders do the key files inside the engine; no OpenSSL type reaches this header.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "crypto/pk/sm2.h"

// Sm2SignatureToDer gives SEQUENCE { r INTEGER, s INTEGER } (GM/T 0009 SM2Signature) with each
// INTEGER in its minimal encoding.
std::vector<uint8_t> Sm2SignatureToDer(const Sm2Signature& signature);
// Sm2SignatureFromDer reads one such SEQUENCE and nothing after it, in DER only (minimal lengths
// and INTEGERs). False for other bytes, a negative INTEGER or one above 2^256 - 1.
[[nodiscard]] bool Sm2SignatureFromDer(std::span<const uint8_t> der, Sm2Signature& signature);

// Sm2CiphertextToDer gives SEQUENCE { x INTEGER, y INTEGER, hash OCTET STRING, ciphertext OCTET
// STRING } (GM/T 0009 SM2Cipher) of a C1 C2 C3 ciphertext; empty for one under 97 bytes.
std::vector<uint8_t> Sm2CiphertextToDer(std::span<const uint8_t> c1c2c3);
// Sm2CiphertextFromDer reads an SM2Cipher, in DER only, into C1 C2 C3 (04 || x || y, C2, C3).
// False for other bytes, coordinates above 2^256 - 1 or a hash that is not 32 bytes; `c1c2c3` is
// then empty.
[[nodiscard]] bool Sm2CiphertextFromDer(std::span<const uint8_t> der, std::vector<uint8_t>& c1c2c3);

// Sm2ImportKey reads a key from PEM text, or from the hex of its DER: a private key (PKCS#8 or
// SEC1) gives its scalar as 64 hex digits in `private_key` and its public point; a public key
// (SubjectPublicKeyInfo) gives the point and an empty `private_key`. False for anything else,
// a key of another curve than SM2's, or a private key outside [1, n-2].
[[nodiscard]] bool Sm2ImportKey(std::string_view text, std::string& private_key,
                                Sm2Point& public_key);
// Sm2ExportPrivateKey writes the PKCS#8 PEM ("PRIVATE KEY") of the private key text, its public
// key included, with LF line ends. False for a private key Sm2SetPrivateKey refuses.
[[nodiscard]] bool Sm2ExportPrivateKey(std::string_view private_key, std::string& pem);
// Sm2ExportPublicKey writes the SubjectPublicKeyInfo PEM ("PUBLIC KEY") of the point, with LF
// line ends. False for a point off the curve.
[[nodiscard]] bool Sm2ExportPublicKey(const Sm2Point& public_key, std::string& pem);

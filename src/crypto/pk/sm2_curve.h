// The SM2 engine's curve arithmetic on OpenSSL's named SM2 group: the building blocks of the
// algorithms of sm2.h, kept out of its public header so that no OpenSSL type reaches the pages.
// Only the engine and its white-box tests include this header.
#pragma once

#include <openssl/bn.h>
#include <openssl/ec.h>

#include <memory>

#include "crypto/pk/sm2.h"

struct Sm2BnFree {
    void operator()(BIGNUM* bn) const { BN_clear_free(bn); }
};
struct Sm2BnCtxFree {
    void operator()(BN_CTX* context) const { BN_CTX_free(context); }
};
struct Sm2GroupFree {
    void operator()(EC_GROUP* group) const { EC_GROUP_free(group); }
};
struct Sm2EcPointFree {
    void operator()(EC_POINT* point) const { EC_POINT_clear_free(point); }
};
using Sm2Bn = std::unique_ptr<BIGNUM, Sm2BnFree>;
using Sm2EcPoint = std::unique_ptr<EC_POINT, Sm2EcPointFree>;

// The recommended curve as OpenSSL's named SM2 group, with the numbers the algorithms need and a
// BN_CTX for their arithmetic. One per call; not shared between threads.
struct Sm2Curve {
    std::unique_ptr<EC_GROUP, Sm2GroupFree> group;
    std::unique_ptr<BN_CTX, Sm2BnCtxFree> context;
    Sm2Bn p, n;
    // a, b, xG, yG as the user hash takes them.
    Sm2Bytes32 a{}, b{}, gx{}, gy{};
};

// Sm2CurveSetup fills `curve` with the recommended curve. Returns false when OpenSSL cannot
// provide it or its parameters are not those of GB/T 32918.5.
[[nodiscard]] bool Sm2CurveSetup(Sm2Curve& curve);

// Sm2IsOnCurve tells whether both coordinates are below p and the point satisfies the curve
// equation (the point at infinity has no affine form and never does).
bool Sm2IsOnCurve(Sm2Curve& curve, const Sm2Point& point);

// Sm2PointMul gives result = k * point. Returns false when the point is not on the curve or the
// product is the point at infinity.
[[nodiscard]] bool Sm2PointMul(Sm2Curve& curve, const Sm2Point& point, const BIGNUM* k,
                               Sm2Point& result);
// Sm2BaseMul gives result = k * G; false for the point at infinity (k a multiple of n).
[[nodiscard]] bool Sm2BaseMul(Sm2Curve& curve, const BIGNUM* k, Sm2Point& result);
// Sm2PointAdd gives result = p1 + p2; false when an operand is not on the curve or the sum is
// the point at infinity.
[[nodiscard]] bool Sm2PointAdd(Sm2Curve& curve, const Sm2Point& p1, const Sm2Point& p2,
                               Sm2Point& result);

// A private scalar d with its public point P = d * G.
struct Sm2Key {
    Sm2Bn d;
    Sm2Point p;
};

// Sm2SetPrivateKey reads the private key from hex text, of which only the first 64 digits count,
// as a number, and computes P. Returns false for text that is empty or not hex, and for d outside
// [1, n-2] (GB/T 32918.1 6.1: 1 + d must be invertible for signing).
[[nodiscard]] bool Sm2SetPrivateKey(Sm2Curve& curve, std::string_view private_key, Sm2Key& key);

// Sm2UserHash gives Z = SM3(ENTL || ID || a || b || xG || yG || xP || yP) (GB/T 32918.2 5.5).
// Returns false for an identity of more than kSm2MaxIdBytes bytes.
[[nodiscard]] bool Sm2UserHash(const Sm2Curve& curve, std::span<const uint8_t> id,
                               const Sm2Point& public_key, Sm2Bytes32& z);

// Sm2Kdf gives `bytes` bytes of the key derivation function of GB/T 32918.4 5.4.3:
// SM3(z || ct) for ct = 1, 2, ... as 32-bit big-endian numbers, concatenated.
std::vector<uint8_t> Sm2Kdf(std::span<const uint8_t> z, size_t bytes);

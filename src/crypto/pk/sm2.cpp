#include "crypto/pk/sm2_curve.h"

#include <openssl/crypto.h>
#include <openssl/obj_mac.h>

#include <algorithm>
#include <string>
#include <utility>

#include "common/hex_codec.h"
#include "crypto/hash/sm3.h"
#include "crypto/random_bytes.h"

namespace {

Sm2Bn NewBn() {
    return Sm2Bn(BN_new());
}

Sm2EcPoint NewPoint(const Sm2Curve& curve) {
    return Sm2EcPoint(EC_POINT_new(curve.group.get()));
}

Sm2Bn BnFromBytes(std::span<const uint8_t> bytes) {
    return Sm2Bn(BN_bin2bn(bytes.data(), static_cast<int>(bytes.size()), nullptr));
}

// BnFromHex reads a whole text of hex digits as a number; null for empty or non-hex text.
Sm2Bn BnFromHex(std::string_view hex) {
    if (hex.empty() || CheckHexText(hex) != 0) {
        return nullptr;
    }
    const std::string text(hex);
    BIGNUM* bn = nullptr;
    if (BN_hex2bn(&bn, text.c_str()) != static_cast<int>(text.size())) {
        BN_free(bn);
        return nullptr;
    }
    return Sm2Bn(bn);
}

// The 32-byte big-endian form, zeros on the left, of a number below 2^256.
bool ToBytes(const BIGNUM* bn, Sm2Bytes32& out) {
    return BN_bn2binpad(bn, out.data(), static_cast<int>(out.size())) == 32;
}

Sm2EcPoint ToEcPoint(Sm2Curve& curve, const Sm2Point& point) {
    if (!Sm2IsOnCurve(curve, point)) {
        return nullptr;
    }
    Sm2EcPoint ec = NewPoint(curve);
    const Sm2Bn x = BnFromBytes(point.x), y = BnFromBytes(point.y);
    if (!ec || !x || !y ||
        EC_POINT_set_affine_coordinates(curve.group.get(), ec.get(), x.get(), y.get(),
                                        curve.context.get()) != 1) {
        return nullptr;
    }
    return ec;
}

bool FromEcPoint(Sm2Curve& curve, const EC_POINT* ec, Sm2Point& point) {
    if (EC_POINT_is_at_infinity(curve.group.get(), ec) == 1) {
        return false;
    }
    const Sm2Bn x = NewBn(), y = NewBn();
    return x && y &&
           EC_POINT_get_affine_coordinates(curve.group.get(), ec, x.get(), y.get(),
                                           curve.context.get()) == 1 &&
           ToBytes(x.get(), point.x) && ToBytes(y.get(), point.y);
}

// Mul gives result = g_scalar * G + point_scalar * point, either term may be absent (null);
// OpenSSL combines both in one pass.
bool Mul(Sm2Curve& curve, const BIGNUM* g_scalar, const Sm2Point* point, const BIGNUM* point_scalar,
         Sm2Point& result) {
    Sm2EcPoint ec_point;
    if (point != nullptr && !(ec_point = ToEcPoint(curve, *point))) {
        return false;
    }
    const Sm2EcPoint out = NewPoint(curve);
    return out &&
           EC_POINT_mul(curve.group.get(), out.get(), g_scalar, ec_point.get(), point_scalar,
                        curve.context.get()) == 1 &&
           FromEcPoint(curve, out.get(), result);
}

// PrivateScalar reads the first 64 digits of the text as d; null unless d lies in [1, n-2].
Sm2Bn PrivateScalar(const Sm2Curve& curve, std::string_view private_key) {
    Sm2Bn d = BnFromHex(private_key.substr(0, 64));
    const Sm2Bn n_minus_1 = NewBn();
    if (!d || !n_minus_1 || BN_sub(n_minus_1.get(), curve.n.get(), BN_value_one()) != 1 ||
        BN_is_zero(d.get()) || BN_cmp(d.get(), n_minus_1.get()) >= 0) {
        return nullptr;
    }
    return d;
}

// A curve and a key read from a private key text, for the entry points; decryption needs no
// public point, which would cost a scalar multiplication.
struct CurveAndKey {
    Sm2Curve curve;
    Sm2Key key;
};

// The public point of the last private key used on this thread: signing again with the same key
// (what a user does) skips the second scalar multiplication that Z needs.
struct PublicPointCache {
    std::string private_key;
    Sm2Point point;
    bool valid = false;
};
thread_local PublicPointCache t_publicPoint;

bool SetUp(std::string_view private_key, CurveAndKey& out, bool with_public_key = true) {
    if (!Sm2CurveSetup(out.curve)) {
        return false;
    }
    out.key.d = PrivateScalar(out.curve, private_key);
    if (!out.key.d || !with_public_key) {
        return out.key.d != nullptr;
    }
    if (t_publicPoint.valid && t_publicPoint.private_key == private_key) {
        out.key.p = t_publicPoint.point;
        return true;
    }
    if (!Sm2BaseMul(out.curve, out.key.d.get(), out.key.p)) {
        return false;
    }
    t_publicPoint = {std::string(private_key), out.key.p, true};
    return true;
}

// A number drawn from RandomBytes in [1, `below` - 1]; 256-bit draws outside it are drawn again
// (one in 2^32 for n), at most 64 times. Null when the generator fails.
Sm2Bn RandomBelow(const BIGNUM* below) {
    for (int attempt = 0; attempt < 64; ++attempt) {
        Sm2Bytes32 bytes{};
        if (!RandomBytes(bytes)) {
            return nullptr;
        }
        Sm2Bn value = BnFromBytes(bytes);
        OPENSSL_cleanse(bytes.data(), bytes.size());
        if (!value) {
            return nullptr;
        }
        if (!BN_is_zero(value.get()) && BN_cmp(value.get(), below) < 0) {
            return value;
        }
    }
    return nullptr;
}

// The random number k or r: the hex text, which must lie in [1, n-1], or for kSm2FreshRandom a
// number drawn from RandomBytes (GB/T 32918.2 6.1 A3, 32918.3 6.1 A1, 32918.4 6.1 A1).
Sm2Bn RandomFromHex(const Sm2Curve& curve, std::string_view hex) {
    if (hex.empty()) {
        return RandomBelow(curve.n.get());
    }
    Sm2Bn k = BnFromHex(hex);
    if (!k || BN_is_zero(k.get()) || BN_cmp(k.get(), curve.n.get()) >= 0) {
        return nullptr;
    }
    return k;
}

// e = SM3(Z || M) of GB/T 32918.2 6.1 A2, as a number.
Sm2Bn MessageHash(const Sm2Bytes32& z, std::span<const uint8_t> message) {
    Sm3Context context;
    Sm3Init(context);
    Sm3Update(context, z);
    Sm3Update(context, message);
    Sm2Bytes32 e;
    Sm3Final(context, e);
    return BnFromBytes(e);
}

bool AllZero(std::span<const uint8_t> bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](uint8_t b) { return b == 0; });
}

// x-bar = 2^w + (x AND (2^w - 1)) with w = 127 (GB/T 32918.3 6.1 A4, B3).
Sm2Bn XBar(const Sm2Bytes32& x) {
    Sm2Bytes32 low = x;
    std::fill(low.begin(), low.begin() + 16, uint8_t{0});
    low[16] = static_cast<uint8_t>((low[16] & 0x7F) | 0x80);
    return BnFromBytes(low);
}

// One party of the key exchange: its key, random number, R = r * G and Z.
struct ExchangeParty {
    Sm2Key key;
    Sm2Bn r;
    Sm2Point big_r;
    Sm2Bytes32 z{};
};

bool PrepareParty(Sm2Curve& curve, std::string_view private_key, std::string_view random,
                  std::span<const uint8_t> id, ExchangeParty& party) {
    return Sm2SetPrivateKey(curve, private_key, party.key) &&
           (party.r = RandomFromHex(curve, random)) &&
           Sm2BaseMul(curve, party.r.get(), party.big_r) &&
           Sm2UserHash(curve, id, party.key.p, party.z);
}

// The shared point of one side, W = (h * t) * (P_peer + x-bar(R_peer) * R_peer) with
// t = (d + x-bar(R) * r) mod n and h = 1 (GB/T 32918.3 6.1 A5-A7, B3-B5): U for A, V for B.
bool SharedPoint(Sm2Curve& curve, const ExchangeParty& self, const ExchangeParty& peer,
                 Sm2Point& w) {
    const Sm2Bn t = NewBn(), x_bar = XBar(self.big_r.x), peer_x_bar = XBar(peer.big_r.x);
    Sm2Point sum;
    return t && x_bar && peer_x_bar &&
           BN_mod_mul(t.get(), x_bar.get(), self.r.get(), curve.n.get(), curve.context.get()) ==
               1 &&
           BN_mod_add(t.get(), t.get(), self.key.d.get(), curve.n.get(), curve.context.get()) ==
               1 &&
           Mul(curve, nullptr, &peer.big_r, peer_x_bar.get(), sum) &&
           Sm2PointAdd(curve, peer.key.p, sum, sum) && Sm2PointMul(curve, sum, t.get(), w);
}

// The confirmation hash SM3(prefix || yW || SM3(xW || ZA || ZB || x1 || y1 || x2 || y2)).
Sm2Bytes32 Confirmation(uint8_t prefix, const Sm2Point& w, const ExchangeParty& a,
                        const ExchangeParty& b) {
    Sm3Context context;
    Sm3Init(context);
    for (const Sm2Bytes32* part :
         {&w.x, &a.z, &b.z, &a.big_r.x, &a.big_r.y, &b.big_r.x, &b.big_r.y}) {
        Sm3Update(context, *part);
    }
    Sm2Bytes32 inner;
    Sm3Final(context, inner);
    Sm3Init(context);
    Sm3Update(context, std::span(&prefix, 1));
    Sm3Update(context, w.y);
    Sm3Update(context, inner);
    Sm2Bytes32 out;
    Sm3Final(context, out);
    return out;
}

// K = KDF(xW || yW || ZA || ZB, klen) (GB/T 32918.3 6.1 A8, B7).
std::vector<uint8_t> SharedKey(const Sm2Point& w, const ExchangeParty& a, const ExchangeParty& b,
                               size_t bytes) {
    std::vector<uint8_t> z;
    for (const Sm2Bytes32* part : {&w.x, &w.y, &a.z, &b.z}) {
        z.insert(z.end(), part->begin(), part->end());
    }
    return Sm2Kdf(z, bytes);
}

std::array<uint8_t, 16> SharedKey128(const Sm2Point& w, const ExchangeParty& a,
                                     const ExchangeParty& b) {
    const std::vector<uint8_t> k = SharedKey(w, a, b, 16);
    std::array<uint8_t, 16> key{};
    std::copy(k.begin(), k.end(), key.begin());
    return key;
}

// The outcome of one signing or encryption attempt with one k.
enum class Attempt { Done, Retry, Failed };

bool Equal(std::span<const uint8_t> x, std::span<const uint8_t> y) {
    return x.size() == y.size() && CRYPTO_memcmp(x.data(), y.data(), x.size()) == 0;
}

}  // namespace

bool Sm2CurveSetup(Sm2Curve& curve) {
    curve.group.reset(EC_GROUP_new_by_curve_name(NID_sm2));
    curve.context.reset(BN_CTX_new());
    curve.p = NewBn();
    curve.n = NewBn();
    const Sm2Bn a = NewBn(), b = NewBn(), gx = NewBn(), gy = NewBn();
    if (!curve.group || !curve.context || !curve.p || !curve.n || !a || !b || !gx || !gy ||
        EC_GROUP_get_curve(curve.group.get(), curve.p.get(), a.get(), b.get(),
                           curve.context.get()) != 1 ||
        EC_GROUP_get_order(curve.group.get(), curve.n.get(), curve.context.get()) != 1 ||
        EC_POINT_get_affine_coordinates(curve.group.get(),
                                        EC_GROUP_get0_generator(curve.group.get()), gx.get(),
                                        gy.get(), curve.context.get()) != 1) {
        return false;
    }
    Sm2Bytes32 p{}, n{};
    if (!ToBytes(curve.p.get(), p) || !ToBytes(curve.n.get(), n) || !ToBytes(a.get(), curve.a) ||
        !ToBytes(b.get(), curve.b) || !ToBytes(gx.get(), curve.gx) ||
        !ToBytes(gy.get(), curve.gy)) {
        return false;
    }
    return BytesToHex(p) == kSm2P && BytesToHex(curve.a) == kSm2A && BytesToHex(curve.b) == kSm2B &&
           BytesToHex(curve.gx) == kSm2Gx && BytesToHex(curve.gy) == kSm2Gy &&
           BytesToHex(n) == kSm2N;
}

bool Sm2IsOnCurve(Sm2Curve& curve, const Sm2Point& point) {
    const Sm2Bn x = BnFromBytes(point.x), y = BnFromBytes(point.y);
    if (!x || !y || BN_cmp(x.get(), curve.p.get()) >= 0 || BN_cmp(y.get(), curve.p.get()) >= 0) {
        return false;
    }
    // EC_POINT_set_affine_coordinates refuses a point off the curve.
    const Sm2EcPoint ec = NewPoint(curve);
    return ec &&
           EC_POINT_set_affine_coordinates(curve.group.get(), ec.get(), x.get(), y.get(),
                                           curve.context.get()) == 1 &&
           EC_POINT_is_on_curve(curve.group.get(), ec.get(), curve.context.get()) == 1;
}

bool Sm2PointMul(Sm2Curve& curve, const Sm2Point& point, const BIGNUM* k, Sm2Point& result) {
    return Mul(curve, nullptr, &point, k, result);
}

bool Sm2BaseMul(Sm2Curve& curve, const BIGNUM* k, Sm2Point& result) {
    return Mul(curve, k, nullptr, nullptr, result);
}

bool Sm2PointAdd(Sm2Curve& curve, const Sm2Point& p1, const Sm2Point& p2, Sm2Point& result) {
    const Sm2EcPoint a = ToEcPoint(curve, p1), b = ToEcPoint(curve, p2);
    const Sm2EcPoint sum = NewPoint(curve);
    return a && b && sum &&
           EC_POINT_add(curve.group.get(), sum.get(), a.get(), b.get(), curve.context.get()) == 1 &&
           FromEcPoint(curve, sum.get(), result);
}

bool Sm2SetPrivateKey(Sm2Curve& curve, std::string_view private_key, Sm2Key& key) {
    key.d = PrivateScalar(curve, private_key);
    return key.d && Sm2BaseMul(curve, key.d.get(), key.p);
}

bool Sm2UserHash(const Sm2Curve& curve, std::span<const uint8_t> id, const Sm2Point& public_key,
                 Sm2Bytes32& z) {
    if (id.size() > kSm2MaxIdBytes) {
        return false;
    }
    const size_t entl = id.size() * 8;
    const uint8_t entl_bytes[2] = {static_cast<uint8_t>(entl >> 8), static_cast<uint8_t>(entl)};
    Sm3Context context;
    Sm3Init(context);
    Sm3Update(context, entl_bytes);
    Sm3Update(context, id);
    for (const Sm2Bytes32* part :
         {&curve.a, &curve.b, &curve.gx, &curve.gy, &public_key.x, &public_key.y}) {
        Sm3Update(context, *part);
    }
    Sm3Final(context, z);
    return true;
}

std::vector<uint8_t> Sm2Kdf(std::span<const uint8_t> z, size_t bytes) {
    std::vector<uint8_t> out;
    out.reserve(bytes + 32);
    Sm3Context prefix;
    Sm3Init(prefix);
    Sm3Update(prefix, z);
    for (uint32_t ct = 1; out.size() < bytes; ++ct) {
        Sm3Context context = prefix;
        const uint8_t counter[4] = {static_cast<uint8_t>(ct >> 24), static_cast<uint8_t>(ct >> 16),
                                    static_cast<uint8_t>(ct >> 8), static_cast<uint8_t>(ct)};
        Sm3Update(context, counter);
        Sm2Bytes32 block;
        Sm3Final(context, block);
        out.insert(out.end(), block.begin(), block.end());
    }
    out.resize(bytes);
    return out;
}

Sm2Bytes32 Sm2FixedBytesFromHex(std::string_view text) {
    // A number: the digits end at the last byte, and an odd count has a leading 0 nibble. Beyond
    // 64 digits only the first 64 count.
    text = text.substr(0, 64);
    const std::vector<uint8_t> bytes =
        HexToBytes(text.size() % 2 == 0 ? std::string(text) : "0" + std::string(text));
    Sm2Bytes32 out{};
    std::copy(bytes.begin(), bytes.end(), out.end() - static_cast<std::ptrdiff_t>(bytes.size()));
    return out;
}

bool Sm2PrivateKeyIsValid(std::string_view private_key) {
    CurveAndKey setup;
    return SetUp(private_key, setup, false);
}

bool Sm2PublicKeyIsValid(const Sm2Point& public_key) {
    Sm2Curve curve;
    return Sm2CurveSetup(curve) && Sm2IsOnCurve(curve, public_key);
}

bool Sm2GeneratePublicKey(std::string_view private_key, Sm2Point& public_key) {
    CurveAndKey setup;
    if (!SetUp(private_key, setup)) {
        return false;
    }
    public_key = setup.key.p;
    return true;
}

bool Sm2GenerateKey(Sm2Bytes32& private_key, Sm2Point& public_key) {
    Sm2Curve curve;
    const Sm2Bn n_minus_1 = NewBn();
    if (!Sm2CurveSetup(curve) || !n_minus_1 ||
        BN_sub(n_minus_1.get(), curve.n.get(), BN_value_one()) != 1) {
        return false;
    }
    // GB/T 32918.1 6.1: d in [1, n-2].
    const Sm2Bn d = RandomBelow(n_minus_1.get());
    return d && ToBytes(d.get(), private_key) && Sm2BaseMul(curve, d.get(), public_key);
}

namespace {

// SignWithK runs GB/T 32918.2 6.1 A4-A7 for one k; Retry for r = 0, r + k = n or s = 0.
Attempt SignWithK(Sm2Curve& curve, const BIGNUM* d, const BIGNUM* e, const BIGNUM* k,
                  Sm2Signature& signature) {
    BN_CTX* ctx = curve.context.get();
    const BIGNUM* n = curve.n.get();
    Sm2Point kg;
    const Sm2Bn x1 = NewBn();
    const Sm2Bn r = NewBn(), s = NewBn(), r_plus_k = NewBn(), tmp = NewBn();
    if (!x1 || !r || !s || !r_plus_k || !tmp || !Sm2BaseMul(curve, k, kg) ||
        !BN_bin2bn(kg.x.data(), 32, x1.get()) || BN_mod_add(r.get(), e, x1.get(), n, ctx) != 1 ||
        BN_mod_add(r_plus_k.get(), r.get(), k, n, ctx) != 1) {
        return Attempt::Failed;
    }
    if (BN_is_zero(r.get()) || BN_is_zero(r_plus_k.get())) {
        return Attempt::Retry;
    }
    // s = ((1 + d)^-1 * (k - r * d)) mod n.
    if (BN_add(tmp.get(), d, BN_value_one()) != 1 ||
        !BN_mod_inverse(tmp.get(), tmp.get(), n, ctx) ||
        BN_mod_mul(s.get(), r.get(), d, n, ctx) != 1 ||
        BN_mod_sub(s.get(), k, s.get(), n, ctx) != 1 ||
        BN_mod_mul(s.get(), tmp.get(), s.get(), n, ctx) != 1) {
        return Attempt::Failed;
    }
    if (BN_is_zero(s.get())) {
        return Attempt::Retry;
    }
    return ToBytes(r.get(), signature.r) && ToBytes(s.get(), signature.s) ? Attempt::Done
                                                                          : Attempt::Failed;
}

}  // namespace

bool Sm2Sign(std::span<const uint8_t> message, std::string_view private_key,
             std::span<const uint8_t> id, Sm2Signature& signature, std::string_view k_hex) {
    CurveAndKey setup;
    if (!SetUp(private_key, setup)) {
        return false;
    }
    Sm2Curve& curve = setup.curve;
    Sm2Bytes32 z;
    if (!Sm2UserHash(curve, id, setup.key.p, z)) {
        return false;
    }
    // GB/T 32918.2 6.1 A2: e = SM3(Z || M); A3 draws k, and A5, A6 return to A3 for another.
    const Sm2Bn e = MessageHash(z, message);
    const int attempts = k_hex.empty() ? kSm2FreshAttempts : 1;
    for (int attempt = 0; e && attempt < attempts; ++attempt) {
        const Sm2Bn k = RandomFromHex(curve, k_hex);
        if (!k) {
            return false;
        }
        switch (SignWithK(curve, setup.key.d.get(), e.get(), k.get(), signature)) {
            case Attempt::Done:
                return true;
            case Attempt::Retry:
                break;
            case Attempt::Failed:
                return false;
        }
    }
    return false;
}

bool Sm2Verify(std::span<const uint8_t> message, const Sm2Point& public_key,
               std::span<const uint8_t> id, const Sm2Signature& signature) {
    Sm2Curve curve;
    if (!Sm2CurveSetup(curve)) {
        return false;
    }
    BN_CTX* ctx = curve.context.get();
    const BIGNUM* n = curve.n.get();
    const Sm2Bn r = BnFromBytes(signature.r), s = BnFromBytes(signature.s);
    // GB/T 32918.2 7.1 B1, B2: r' and s' in [1, n-1].
    for (const Sm2Bn* value : {&r, &s}) {
        if (!*value || BN_is_zero(value->get()) || BN_cmp(value->get(), n) >= 0) {
            return false;
        }
    }
    Sm2Bytes32 z;
    if (!Sm2IsOnCurve(curve, public_key) || !Sm2UserHash(curve, id, public_key, z)) {
        return false;
    }
    // B3-B7: t = (r' + s') mod n, not 0; (x1', y1') = s'G + tP; R = (e' + x1') mod n.
    const Sm2Bn e = MessageHash(z, message);
    const Sm2Bn t = NewBn(), big_r = NewBn();
    Sm2Point point;
    if (!e || !t || !big_r || BN_mod_add(t.get(), r.get(), s.get(), n, ctx) != 1 ||
        BN_is_zero(t.get()) || !Mul(curve, s.get(), &public_key, t.get(), point)) {
        return false;
    }
    const Sm2Bn x1 = BnFromBytes(point.x);
    return x1 && BN_mod_add(big_r.get(), e.get(), x1.get(), n, ctx) == 1 &&
           BN_cmp(big_r.get(), r.get()) == 0;
}

bool Sm2KeyExchange(std::string_view private_key_a, std::string_view private_key_b,
                    std::span<const uint8_t> id_a, std::span<const uint8_t> id_b,
                    Sm2ExchangeKeys* keys, std::string_view random_a, std::string_view random_b) {
    Sm2Curve curve;
    ExchangeParty a, b;
    Sm2Point u, v;
    if (!Sm2CurveSetup(curve) || !PrepareParty(curve, private_key_a, random_a, id_a, a) ||
        !PrepareParty(curve, private_key_b, random_b, id_b, b) || !SharedPoint(curve, b, a, v) ||
        !SharedPoint(curve, a, b, u)) {
        return false;
    }
    if (keys != nullptr) {
        keys->a = SharedKey128(u, a, b);
        keys->b = SharedKey128(v, a, b);
    }
    // B's SB against A's S1, then A's SA against B's S2 (A9, A10, B10).
    const Sm2Bytes32 sb = Confirmation(0x02, v, a, b), s1 = Confirmation(0x02, u, a, b);
    const Sm2Bytes32 sa = Confirmation(0x03, u, a, b), s2 = Confirmation(0x03, v, a, b);
    return Equal(sb, s1) && Equal(sa, s2);
}

bool Sm2ExchangeEphemeral(std::string_view random, Sm2Bytes32& r, Sm2Point& big_r) {
    Sm2Curve curve;
    if (!Sm2CurveSetup(curve)) {
        return false;
    }
    const Sm2Bn value = RandomFromHex(curve, random);
    return value && ToBytes(value.get(), r) && Sm2BaseMul(curve, value.get(), big_r);
}

bool Sm2ExchangeAsParty(Sm2ExchangeRole role, std::string_view private_key,
                        std::span<const uint8_t> id, std::string_view random,
                        const Sm2Point& peer_key, const Sm2Point& peer_r,
                        std::span<const uint8_t> peer_id, size_t key_bytes,
                        Sm2ExchangeOutcome& outcome) {
    Sm2Curve curve;
    ExchangeParty self, peer;
    Sm2Point w;
    // GB/T 32918.3 6.1 A6 / B1: the peer's R must be a point of the curve; so must its key.
    if (key_bytes == 0 || key_bytes > kSm2MaxExchangeKeyBytes || !Sm2CurveSetup(curve) ||
        !Sm2IsOnCurve(curve, peer_key) || !Sm2IsOnCurve(curve, peer_r) ||
        !PrepareParty(curve, private_key, random, id, self) ||
        !Sm2UserHash(curve, peer_id, peer_key, peer.z)) {
        return false;
    }
    peer.key.p = peer_key;
    peer.big_r = peer_r;
    if (!SharedPoint(curve, self, peer, w) || !ToBytes(self.r.get(), outcome.random)) {
        return false;
    }
    const bool initiator = role == Sm2ExchangeRole::Initiator;
    const ExchangeParty& a = initiator ? self : peer;
    const ExchangeParty& b = initiator ? peer : self;
    outcome.big_r = self.big_r;
    outcome.key = SharedKey(w, a, b, key_bytes);
    // The initiator sends SA (prefix 03) and expects S1 (02) = SB; the responder sends SB (02)
    // and expects S2 (03) = SA (A9-A10, B8-B10).
    outcome.s_send = Confirmation(initiator ? 0x03 : 0x02, w, a, b);
    outcome.s_expect = Confirmation(initiator ? 0x02 : 0x03, w, a, b);
    return true;
}

bool Sm2Encrypt(const Sm2Point& public_key, std::span<const uint8_t> message, Sm2CipherOrder order,
                std::vector<uint8_t>& ciphertext, std::string_view k_hex) {
    Sm2Curve curve;
    if (!Sm2CurveSetup(curve)) {
        return false;
    }
    Sm2Point c1, shared;
    std::vector<uint8_t> c2;
    // GB/T 32918.4 6.1 A1-A5, back to A1 while t is all zeros; with h = 1 a public key on the
    // curve is not the point at infinity.
    const int attempts = k_hex.empty() ? kSm2FreshAttempts : 1;
    for (int attempt = 0;; ++attempt) {
        if (attempt == attempts) {
            return false;
        }
        const Sm2Bn k = RandomFromHex(curve, k_hex);
        if (!k || !Sm2BaseMul(curve, k.get(), c1) ||
            !Sm2PointMul(curve, public_key, k.get(), shared)) {
            return false;
        }
        std::vector<uint8_t> z(shared.x.begin(), shared.x.end());
        z.insert(z.end(), shared.y.begin(), shared.y.end());
        c2 = Sm2Kdf(z, message.size());
        if (message.empty() || !AllZero(c2)) {
            break;
        }
    }
    for (size_t i = 0; i < c2.size(); ++i) {
        c2[i] ^= message[i];
    }
    Sm3Context context;
    Sm3Init(context);
    Sm3Update(context, shared.x);
    Sm3Update(context, message);
    Sm3Update(context, shared.y);
    Sm2Bytes32 c3;
    Sm3Final(context, c3);

    ciphertext.clear();
    ciphertext.reserve(message.size() + kSm2CipherOverhead);
    ciphertext.push_back(0x04);
    ciphertext.insert(ciphertext.end(), c1.x.begin(), c1.x.end());
    ciphertext.insert(ciphertext.end(), c1.y.begin(), c1.y.end());
    if (order == Sm2CipherOrder::C1C3C2) {
        ciphertext.insert(ciphertext.end(), c3.begin(), c3.end());
    }
    ciphertext.insert(ciphertext.end(), c2.begin(), c2.end());
    if (order == Sm2CipherOrder::C1C2C3) {
        ciphertext.insert(ciphertext.end(), c3.begin(), c3.end());
    }
    return true;
}

bool Sm2Decrypt(std::string_view private_key, std::span<const uint8_t> ciphertext,
                Sm2CipherOrder order, std::vector<uint8_t>& plaintext) {
    plaintext.clear();
    CurveAndKey setup;
    if (ciphertext.size() < kSm2CipherOverhead || !SetUp(private_key, setup, false)) {
        return false;
    }
    const size_t length = ciphertext.size() - kSm2CipherOverhead;
    const std::span<const uint8_t> c1 = ciphertext.first(65);
    const std::span<const uint8_t> c2 =
        ciphertext.subspan(order == Sm2CipherOrder::C1C2C3 ? 65 : 97, length);
    const std::span<const uint8_t> c3 =
        ciphertext.subspan(order == Sm2CipherOrder::C1C2C3 ? 65 + length : 65, 32);

    // GB/T 32918.4 7.1 B1-B3: C1 is an uncompressed point of the curve (h = 1 needs no more).
    Sm2Point point, shared;
    std::copy_n(c1.begin() + 1, 32, point.x.begin());
    std::copy_n(c1.begin() + 33, 32, point.y.begin());
    if (c1[0] != 0x04 || !Sm2PointMul(setup.curve, point, setup.key.d.get(), shared)) {
        return false;
    }
    std::vector<uint8_t> z(shared.x.begin(), shared.x.end());
    z.insert(z.end(), shared.y.begin(), shared.y.end());
    std::vector<uint8_t> message = Sm2Kdf(z, length);
    if (length > 0 && AllZero(message)) {
        return false;
    }
    for (size_t i = 0; i < length; ++i) {
        message[i] ^= c2[i];
    }
    // B6: u = SM3(x2 || M' || y2) must equal C3.
    Sm3Context context;
    Sm3Init(context);
    Sm3Update(context, shared.x);
    Sm3Update(context, message);
    Sm3Update(context, shared.y);
    Sm2Bytes32 u;
    Sm3Final(context, u);
    if (!Equal(u, c3)) {
        return false;
    }
    plaintext = std::move(message);
    return true;
}

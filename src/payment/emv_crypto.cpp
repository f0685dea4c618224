#include "payment/emv_crypto.h"

#include <algorithm>
#include <bit>

#include "common/hex_codec.h"
#include "crypto/block/des.h"
#include "crypto/block/des_mac.h"
#include "crypto/block/sm4.h"
#include "crypto/hash/sha1.h"

namespace {

using Block8 = std::array<uint8_t, 8>;
using Block16 = std::array<uint8_t, 16>;

Block8 TdesEncrypt(std::span<const uint8_t, 16> key, std::span<const uint8_t, 8> in) {
    Block8 out{};
    std::array<uint8_t, 8> unused_chain{};
    // A 16-byte key selects two-key EDE; whole blocks and equal sizes cannot be refused.
    [[maybe_unused]] const bool ok = DesCrypt(false, false, in, out, unused_chain, key);
    return out;
}

Block16 Sm4Encrypt(std::span<const uint8_t, 16> key, std::span<const uint8_t, 16> in) {
    Sm4Context context;
    Sm4SetEncryptKey(context, key);
    Block16 out{};
    Sm4CryptBlock(context.rk, in, out);
    return out;
}

template <size_t N>
std::array<uint8_t, N> Complement(const std::array<uint8_t, N>& x) {
    std::array<uint8_t, N> out{};
    std::transform(x.begin(), x.end(), out.begin(), [](uint8_t b) { return uint8_t(~b); });
    return out;
}

std::vector<uint8_t> ToVector(std::span<const uint8_t> bytes) {
    return {bytes.begin(), bytes.end()};
}

// Triple DES: key = 3DES(K)[left] || 3DES(K)[right]. SM4: key = SM4(K)[left || right].
void DeriveKey(EmvCipher cipher, std::span<const uint8_t, 16> parent, const Block8& left,
               const Block8& right, EmvKeyDerivation& out) {
    out = EmvKeyDerivation{};
    if (cipher == EmvCipher::Tdes) {
        const Block8 kl = TdesEncrypt(parent, left);
        const Block8 kr = TdesEncrypt(parent, right);
        out.inputs = {ToVector(left), ToVector(right)};
        out.outputs = {ToVector(kl), ToVector(kr)};
        std::copy(kl.begin(), kl.end(), out.raw.begin());
        std::copy(kr.begin(), kr.end(), out.raw.begin() + 8);
    } else {
        Block16 in{};
        std::copy(left.begin(), left.end(), in.begin());
        std::copy(right.begin(), right.end(), in.begin() + 8);
        out.raw = Sm4Encrypt(parent, in);
        out.inputs = {ToVector(in)};
        out.outputs = {ToVector(out.raw)};
    }
    out.key = out.raw;
    if (cipher == EmvCipher::Tdes) {
        EmvAdjustParity(out.key);
        out.single_des = EmvIsSingleDes(out.key);
    }
    out.kcv = EmvKcv(cipher, out.key);
}

// EMV Book 2 A1.4.2: the decimal digits of the SHA-1 result from left to right, then its hex
// letters A..F as 0..5, the first 16 of these.
std::array<uint8_t, 8> DecimaliseOptionB(const std::array<uint8_t, 20>& digest) {
    const std::string hex = BytesToHex(digest);
    std::string y;
    for (const char c : hex) {
        if (c >= '0' && c <= '9') {
            y.push_back(c);
        }
    }
    for (const char c : hex) {
        if (c >= 'A' && c <= 'F') {
            y.push_back(static_cast<char>('0' + (c - 'A')));
        }
    }
    y.resize(16);
    std::array<uint8_t, 8> out{};
    const std::vector<uint8_t> bytes = HexToBytes(y);
    std::copy(bytes.begin(), bytes.end(), out.begin());
    return out;
}

}  // namespace

bool EmvPanDigitsValid(std::string_view pan) {
    return !pan.empty() && pan.size() <= 19 &&
           std::all_of(pan.begin(), pan.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::array<uint8_t, 8> EmvOptionAY(std::string_view pan, uint8_t psn) {
    std::string digits = std::string(pan) + BytesToHex(std::span<const uint8_t>(&psn, 1));
    if (digits.size() > 16) {
        digits.erase(0, digits.size() - 16);
    }
    digits.insert(0, 16 - digits.size(), '0');
    std::array<uint8_t, 8> y{};
    const std::vector<uint8_t> bytes = HexToBytes(digits);
    std::copy(bytes.begin(), bytes.end(), y.begin());
    return y;
}

void EmvAdjustParity(std::span<uint8_t> key) {
    for (uint8_t& b : key) {
        const auto high_ones = std::popcount(static_cast<unsigned>(b & 0xFE));
        b = static_cast<uint8_t>((b & 0xFE) | (high_ones % 2 == 0 ? 1 : 0));
    }
}

bool EmvIsSingleDes(std::span<const uint8_t, 16> key) {
    // Parity bits are not key bits: halves that differ only there are still the same DES key.
    for (size_t i = 0; i < 8; ++i) {
        if ((key[i] & 0xFE) != (key[i + 8] & 0xFE)) {
            return false;
        }
    }
    return true;
}

std::array<uint8_t, 3> EmvKcv(EmvCipher cipher, std::span<const uint8_t, 16> key) {
    std::array<uint8_t, 3> kcv{};
    if (cipher == EmvCipher::Tdes) {
        const Block8 e = TdesEncrypt(key, Block8{});
        std::copy_n(e.begin(), 3, kcv.begin());
    } else {
        const Block16 e = Sm4Encrypt(key, Block16{});
        std::copy_n(e.begin(), 3, kcv.begin());
    }
    return kcv;
}

bool EmvDeriveUdk(EmvCipher cipher, EmvUdkMethod method, std::span<const uint8_t, 16> imk,
                  std::string_view pan, uint8_t psn, EmvUdkDerivation& out) {
    if (method == EmvUdkMethod::MasterKey) {
        out = EmvUdkDerivation{};
        out.method = method;
        std::copy(imk.begin(), imk.end(), out.key.raw.begin());
        out.key.key = out.key.raw;
        if (cipher == EmvCipher::Tdes) {
            EmvAdjustParity(out.key.key);
            out.key.single_des = EmvIsSingleDes(out.key.key);
        }
        out.key.kcv = EmvKcv(cipher, out.key.key);
        return true;
    }
    if (!EmvPanDigitsValid(pan) || (cipher == EmvCipher::Sm4 && method == EmvUdkMethod::OptionB)) {
        return false;
    }
    out = EmvUdkDerivation{};
    // A1.4.2: Option B is for PANs of more than 16 digits; shorter ones use Option A.
    if (method == EmvUdkMethod::OptionB && pan.size() > 16) {
        out.method = EmvUdkMethod::OptionB;
        out.x_digits = std::string(pan) + BytesToHex(std::span<const uint8_t>(&psn, 1));
        if (out.x_digits.size() % 2 != 0) {
            out.x_digits.insert(0, 1, '0');
        }
        out.sha1 = Sha1Hash(HexToBytes(out.x_digits));
        out.y = DecimaliseOptionB(out.sha1);
    } else {
        out.method = EmvUdkMethod::OptionA;
        out.y = EmvOptionAY(pan, psn);
    }
    out.not_y = Complement(out.y);
    DeriveKey(cipher, imk, out.y, out.not_y, out.key);
    return true;
}

bool EmvDeriveSessionKey(EmvCipher cipher, EmvSessionMethod method,
                         std::span<const uint8_t, 16> udk, std::span<const uint8_t, 2> atc,
                         std::span<const uint8_t, 4> un, EmvKeyDerivation& out) {
    if (cipher == EmvCipher::Sm4 &&
        (method == EmvSessionMethod::Common || method == EmvSessionMethod::Mastercard)) {
        return false;
    }
    Block8 left{}, right{};
    switch (method) {
        case EmvSessionMethod::None:
            out = EmvKeyDerivation{};
            std::copy(udk.begin(), udk.end(), out.raw.begin());
            out.key = out.raw;
            out.single_des = cipher == EmvCipher::Tdes && EmvIsSingleDes(out.key);
            out.kcv = EmvKcv(cipher, out.key);
            return true;
        case EmvSessionMethod::Pboc:
            // 000000000000 || ATC and 000000000000 || ~ATC.
            left[6] = atc[0];
            left[7] = atc[1];
            right[6] = static_cast<uint8_t>(~atc[0]);
            right[7] = static_cast<uint8_t>(~atc[1]);
            break;
        case EmvSessionMethod::Common:
        case EmvSessionMethod::Mastercard:
            // Book 2 A1.3.1: R = ATC || 00 || 00 || 00..00 (common) or ATC || 00 || 00 || UN
            // (Mastercard SKD); byte 3 is F0 for the left half and 0F for the right.
            left[0] = right[0] = atc[0];
            left[1] = right[1] = atc[1];
            if (method == EmvSessionMethod::Mastercard) {
                std::copy(un.begin(), un.end(), left.begin() + 4);
                std::copy(un.begin(), un.end(), right.begin() + 4);
            }
            left[2] = 0xF0;
            right[2] = 0x0F;
            break;
    }
    DeriveKey(cipher, udk, left, right, out);
    return true;
}

bool EmvComputeMac(EmvCipher cipher, EmvPadding padding, std::span<const uint8_t, 16> key,
                   std::span<const uint8_t> data, EmvMacComputation& out) {
    out = EmvMacComputation{};
    if (cipher == EmvCipher::Sm4) {
        if (padding != EmvPadding::Method2) {
            return false;
        }
        // ISO/IEC 9797-1 padding method 2 to 16-byte blocks.
        out.padded = ToVector(data);
        out.padded.push_back(0x80);
        out.padded.resize((out.padded.size() + 15) / 16 * 16, 0);
        Sm4Context context;
        Sm4SetEncryptKey(context, key);
        Block16 v{};
        for (size_t offset = 0; offset < out.padded.size(); offset += 16) {
            for (size_t i = 0; i < 16; ++i) {
                v[i] ^= out.padded[offset + i];
            }
            Sm4CryptBlock(context.rk, v, v);
            out.chain.push_back(ToVector(v));
        }
        std::copy_n(v.begin(), 8, out.mac.begin());
        return true;
    }

    out.padded =
        MacPad(padding == EmvPadding::Method1 ? MacPadType::AnsiX919 : MacPadType::Pboc, data);
    const std::span<const uint8_t, 8> kl = key.first<8>();
    const std::span<const uint8_t, 8> kr = key.last<8>();
    // ISO/IEC 9797-1 MAC algorithm 3: single-DES CBC under KL, then output transformation 3.
    Block8 v{};
    for (size_t offset = 0; offset < out.padded.size(); offset += 8) {
        for (size_t i = 0; i < 8; ++i) {
            v[i] ^= out.padded[offset + i];
        }
        DesEncryptBlock(kl, v, v);
        out.chain.push_back(ToVector(v));
    }
    Block8 d{};
    DesDecryptBlock(kr, v, d);
    out.decrypted = ToVector(d);
    DesEncryptBlock(kl, d, out.mac);
    return true;
}

void EmvArpcMethod1(EmvCipher cipher, std::span<const uint8_t, 16> key,
                    std::span<const uint8_t, 8> arqc, std::span<const uint8_t, 2> arc,
                    EmvArpcComputation& out) {
    out = EmvArpcComputation{};
    Block8 x{};
    std::copy(arqc.begin(), arqc.end(), x.begin());
    x[0] ^= arc[0];
    x[1] ^= arc[1];
    if (cipher == EmvCipher::Tdes) {
        const Block8 y = TdesEncrypt(key, x);
        out.input = ToVector(x);
        out.output = ToVector(y);
        out.arpc = ToVector(y);
        return;
    }
    Block16 in{};
    std::copy(x.begin(), x.end(), in.begin());
    const Block16 y = Sm4Encrypt(key, in);
    out.input = ToVector(in);
    out.output = ToVector(y);
    out.arpc.assign(y.begin(), y.begin() + 8);
}

bool EmvArpcMethod2(std::span<const uint8_t, 16> key, std::span<const uint8_t, 8> arqc,
                    std::span<const uint8_t, 4> csu, std::span<const uint8_t> proprietary,
                    EmvArpcComputation& out) {
    if (proprietary.size() > 8) {
        return false;
    }
    out = EmvArpcComputation{};
    out.input = ToVector(arqc);
    out.input.insert(out.input.end(), csu.begin(), csu.end());
    out.input.insert(out.input.end(), proprietary.begin(), proprietary.end());
    [[maybe_unused]] const bool ok =
        EmvComputeMac(EmvCipher::Tdes, EmvPadding::Method2, key, out.input, out.mac);
    out.arpc.assign(out.mac.mac.begin(), out.mac.mac.begin() + 4);
    return true;
}

// The EMV cryptogram engine (card key, session key, cryptogram, ARPC) on any PAN, PSN, ATC, UN,
// data and keys, against a straightforward reference of EMV Book 2 A1.3, A1.4 and 8.2 built on
// the DES and SM4 engines (DesCrypt, Sm4Crypt) and OpenSSL's SHA-1.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "crypto/block/des.h"
#include "crypto/block/sm4.h"
#include "evp_reference.h"
#include "payment/emv_crypto.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Tdes(std::span<const uint8_t> key16, Bytes data) {
    std::array<uint8_t, 8> chain{};
    FUZZ_CHECK(DesCrypt(false, false, data, data, chain, key16), "reference 3DES");
    return data;
}

Bytes Des(bool decrypt, std::span<const uint8_t> key8, Bytes data) {
    std::array<uint8_t, 8> chain{};
    FUZZ_CHECK(DesCrypt(decrypt, false, data, data, chain, key8.first(8)), "reference DES");
    return data;
}

Bytes Sm4(std::span<const uint8_t> key16, Bytes data, bool cbc = false) {
    std::array<uint8_t, 16> chain{};
    FUZZ_CHECK(Sm4Crypt(std::span<const uint8_t, 16>(key16.data(), 16), true, cbc, 1, data, chain),
               "reference SM4");
    return data;
}

Bytes Not(Bytes x) {
    for (uint8_t& b : x) {
        b = static_cast<uint8_t>(~b);
    }
    return x;
}

struct RefKey {
    Bytes raw, key, kcv;
    bool single_des = false;
};

RefKey Derive(bool sm4, std::span<const uint8_t> parent, const Bytes& left, const Bytes& right) {
    RefKey out;
    if (sm4) {
        Bytes in = left;
        in.insert(in.end(), right.begin(), right.end());
        out.raw = Sm4(parent, in);
        out.key = out.raw;
        out.kcv = Sm4(out.key, Bytes(16, 0));
    } else {
        out.raw = Tdes(parent, left);
        const Bytes kr = Tdes(parent, right);
        out.raw.insert(out.raw.end(), kr.begin(), kr.end());
        out.key = out.raw;
        for (uint8_t& b : out.key) {
            // Odd parity: the low bit makes the count of ones odd.
            b = static_cast<uint8_t>((b & 0xFE) | ((std::popcount(unsigned(b >> 1)) & 1) ^ 1));
        }
        out.single_des = true;
        for (size_t i = 0; i < 8; ++i) {
            out.single_des = out.single_des && (out.key[i] >> 1) == (out.key[i + 8] >> 1);
        }
        out.kcv = Tdes(out.key, Bytes(8, 0));
    }
    out.kcv.resize(3);
    return out;
}

void ExpectKey(const EmvKeyDerivation& ours, const RefKey& ref, const std::string& what) {
    FUZZ_CHECK(Bytes(ours.raw.begin(), ours.raw.end()) == ref.raw, "raw key " + what);
    FUZZ_CHECK(Bytes(ours.key.begin(), ours.key.end()) == ref.key, "key " + what);
    FUZZ_CHECK(Bytes(ours.kcv.begin(), ours.kcv.end()) == ref.kcv, "kcv " + what);
    FUZZ_CHECK(ours.single_des == ref.single_des, "single DES " + what);
}

Bytes Bcd(const std::string& digits) {
    return HexToBytes(digits);
}

void CheckUdk(FuzzedDataProvider& in) {
    const bool sm4 = in.ConsumeBool();
    const bool option_b = in.ConsumeBool();
    std::array<uint8_t, 16> imk{};
    in.ConsumeData(imk.data(), imk.size());
    const uint8_t psn = in.ConsumeIntegral<uint8_t>();
    std::string pan;
    if (in.ConsumeBool()) {
        pan = in.ConsumeRandomLengthString(24);
    } else {
        const size_t n = in.ConsumeIntegralInRange<size_t>(0, 21);
        for (size_t i = 0; i < n; ++i) {
            pan.push_back(static_cast<char>('0' + in.ConsumeIntegralInRange(0, 9)));
        }
    }
    const std::string what = std::string(sm4 ? "SM4" : "3DES") + (option_b ? " B" : " A") +
                             " pan " + pan + " psn " + std::to_string(psn) + " imk " + HexOf(imk);
    EmvUdkDerivation out;
    out.x_digits = "kept";
    const bool ok =
        EmvDeriveUdk(sm4 ? EmvCipher::Sm4 : EmvCipher::Tdes,
                     option_b ? EmvUdkMethod::OptionB : EmvUdkMethod::OptionA, imk, pan, psn, out);
    const bool valid = !pan.empty() && pan.size() <= 19 &&
                       pan.find_first_not_of("0123456789") == std::string::npos;
    FUZZ_CHECK(EmvPanDigitsValid(pan) == valid, "PAN check " + what);
    FUZZ_CHECK(ok == (valid && !(sm4 && option_b)), "result " + what);
    if (!ok) {
        FUZZ_CHECK(out.x_digits == "kept", "written on refusal " + what);
        return;
    }
    const char* hex = "0123456789ABCDEF";
    std::string x = pan + hex[psn >> 4] + hex[psn & 15];
    Bytes y;
    const bool ran_b = option_b && pan.size() > 16;
    FUZZ_CHECK(out.method == (ran_b ? EmvUdkMethod::OptionB : EmvUdkMethod::OptionA),
               "method " + what);
    if (ran_b) {
        if (x.size() % 2 != 0) {
            x = "0" + x;
        }
        FUZZ_CHECK(out.x_digits == x, "X " + what);
        const Bytes sha1 = EvpDigest(EVP_sha1(), Bcd(x));
        FUZZ_CHECK(Bytes(out.sha1.begin(), out.sha1.end()) == sha1, "SHA-1 " + what);
        // A1.4.2 step 3: the decimal digits, then the letters A..F as 0..5, the first 16.
        const std::string h = BytesToHex(sha1);
        std::string digits;
        for (const char c : h) {
            if (c <= '9') {
                digits += c;
            }
        }
        for (const char c : h) {
            if (c >= 'A') {
                digits += static_cast<char>(c - 'A' + '0');
            }
        }
        y = Bcd(digits.substr(0, 16));
    } else {
        x = x.size() > 16 ? x.substr(x.size() - 16) : std::string(16 - x.size(), '0') + x;
        y = Bcd(x);
    }
    FUZZ_CHECK(Bytes(out.y.begin(), out.y.end()) == y, "Y " + what);
    FUZZ_CHECK(Bytes(out.not_y.begin(), out.not_y.end()) == Not(y), "not Y " + what);
    ExpectKey(out.key, Derive(sm4, imk, y, Not(y)), what);
}

void CheckSessionKey(FuzzedDataProvider& in) {
    const bool sm4 = in.ConsumeBool();
    const auto method = static_cast<EmvSessionMethod>(in.ConsumeIntegralInRange(0, 3));
    std::array<uint8_t, 16> udk{};
    std::array<uint8_t, 2> atc{};
    std::array<uint8_t, 4> un{};
    in.ConsumeData(udk.data(), udk.size());
    in.ConsumeData(atc.data(), atc.size());
    in.ConsumeData(un.data(), un.size());
    const std::string what = std::string(sm4 ? "SM4" : "3DES") + " method " +
                             std::to_string(static_cast<int>(method)) + " udk " + HexOf(udk) +
                             " atc " + HexOf(atc) + " un " + HexOf(un);
    EmvKeyDerivation out;
    const bool ok =
        EmvDeriveSessionKey(sm4 ? EmvCipher::Sm4 : EmvCipher::Tdes, method, udk, atc, un, out);
    const bool expected_ok =
        !sm4 || method == EmvSessionMethod::None || method == EmvSessionMethod::Pboc;
    FUZZ_CHECK(ok == expected_ok, "result " + what);
    if (!ok) {
        return;
    }
    RefKey ref;
    if (method == EmvSessionMethod::None) {
        ref.raw = ref.key = Bytes(udk.begin(), udk.end());
        ref.kcv = sm4 ? Sm4(udk, Bytes(16, 0)) : Tdes(udk, Bytes(8, 0));
        ref.kcv.resize(3);
        ref.single_des = !sm4;
        for (size_t i = 0; i < 8 && !sm4; ++i) {
            ref.single_des = ref.single_des && (udk[i] >> 1) == (udk[i + 8] >> 1);
        }
    } else if (method == EmvSessionMethod::Pboc) {
        Bytes left(6, 0), right(6, 0);
        left.insert(left.end(), atc.begin(), atc.end());
        right.push_back(static_cast<uint8_t>(~atc[0]));
        right.push_back(static_cast<uint8_t>(~atc[1]));
        ref = Derive(sm4, udk, left, right);
    } else {
        const Bytes tail =
            method == EmvSessionMethod::Mastercard ? Bytes(un.begin(), un.end()) : Bytes(4, 0);
        Bytes left = {atc[0], atc[1], 0xF0, 0x00};
        Bytes right = {atc[0], atc[1], 0x0F, 0x00};
        left.insert(left.end(), tail.begin(), tail.end());
        right.insert(right.end(), tail.begin(), tail.end());
        ref = Derive(false, udk, left, right);
    }
    ExpectKey(out, ref, what);
}

// The retail MAC (ISO/IEC 9797-1 MAC algorithm 3) written as CBC under KL over all blocks but the
// last, and two-key triple DES of the last block chained in.
Bytes RetailMac(std::span<const uint8_t> key, const Bytes& padded) {
    Bytes chain(8, 0);
    const size_t blocks = padded.size() / 8;
    for (size_t b = 0; b + 1 < blocks; ++b) {
        for (size_t i = 0; i < 8; ++i) {
            chain[i] ^= padded[8 * b + i];
        }
        chain = Des(false, key, chain);
    }
    for (size_t i = 0; i < 8; ++i) {
        chain[i] ^= padded[8 * (blocks - 1) + i];
    }
    return Tdes(key, chain);
}

void CheckMac(FuzzedDataProvider& in) {
    const bool sm4 = in.ConsumeBool();
    const bool method2 = in.ConsumeBool();
    std::array<uint8_t, 16> key{};
    in.ConsumeData(key.data(), key.size());
    const Bytes data = in.ConsumeBytes<uint8_t>(in.ConsumeIntegralInRange<size_t>(0, 300));
    const std::string what = std::string(sm4 ? "SM4" : "3DES") + (method2 ? " pad 2" : " pad 1") +
                             " key " + HexOf(key) + " data " + HexOf(data);
    EmvMacComputation out;
    const bool ok =
        EmvComputeMac(sm4 ? EmvCipher::Sm4 : EmvCipher::Tdes,
                      method2 ? EmvPadding::Method2 : EmvPadding::Method1, key, data, out);
    FUZZ_CHECK(ok == (!sm4 || method2), "result " + what);
    if (!ok) {
        return;
    }
    const size_t block = sm4 ? 16 : 8;
    Bytes padded = data;
    if (method2) {
        padded.push_back(0x80);
    }
    while (padded.empty() || padded.size() % block != 0) {
        padded.push_back(0x00);
    }
    FUZZ_CHECK(out.padded == padded, "padding " + what);
    FUZZ_CHECK(out.chain.size() == padded.size() / block, "chain length " + what);
    Bytes mac;
    if (sm4) {
        const Bytes cbc = Sm4(key, padded, true);
        mac.assign(cbc.end() - 16, cbc.end() - 8);
        FUZZ_CHECK(out.chain.back() == Bytes(cbc.end() - 16, cbc.end()), "last chain " + what);
    } else {
        mac = RetailMac(key, padded);
    }
    FUZZ_CHECK(Bytes(out.mac.begin(), out.mac.end()) == mac,
               "MAC " + what + " ours " + HexOf(out.mac) + " reference " + HexOf(mac));
}

void CheckArpc(FuzzedDataProvider& in) {
    const bool method2 = in.ConsumeBool();
    const bool sm4 = !method2 && in.ConsumeBool();
    std::array<uint8_t, 16> key{};
    std::array<uint8_t, 8> arqc{};
    std::array<uint8_t, 2> arc{};
    std::array<uint8_t, 4> csu{};
    in.ConsumeData(key.data(), key.size());
    in.ConsumeData(arqc.data(), arqc.size());
    in.ConsumeData(arc.data(), arc.size());
    in.ConsumeData(csu.data(), csu.size());
    const Bytes proprietary = in.ConsumeBytes<uint8_t>(in.ConsumeIntegralInRange<size_t>(0, 12));
    const std::string what = std::string(sm4 ? "SM4" : "3DES") + " key " + HexOf(key) + " arqc " +
                             HexOf(arqc) + " arc " + HexOf(arc) + " csu " + HexOf(csu) +
                             " proprietary " + HexOf(proprietary);
    EmvArpcComputation out;
    Bytes expected;
    if (method2) {
        const bool ok = EmvArpcMethod2(key, arqc, csu, proprietary, out);
        FUZZ_CHECK(ok == (proprietary.size() <= 8), "method 2 result " + what);
        if (!ok) {
            return;
        }
        Bytes input(arqc.begin(), arqc.end());
        input.insert(input.end(), csu.begin(), csu.end());
        input.insert(input.end(), proprietary.begin(), proprietary.end());
        input.push_back(0x80);
        input.resize((input.size() + 7) / 8 * 8, 0x00);
        expected = RetailMac(key, input);
        expected.resize(4);
    } else {
        EmvArpcMethod1(sm4 ? EmvCipher::Sm4 : EmvCipher::Tdes, key, arqc, arc, out);
        Bytes x(arqc.begin(), arqc.end());
        x[0] ^= arc[0];
        x[1] ^= arc[1];
        if (sm4) {
            x.resize(16, 0x00);
            expected = Sm4(key, x);
            expected.resize(8);
        } else {
            expected = Tdes(key, x);
        }
    }
    FUZZ_CHECK(out.arpc == expected, "ARPC " + what + " ours " + HexOf(out.arpc));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    switch (in.ConsumeIntegralInRange(0, 3)) {
        case 0:
            CheckUdk(in);
            break;
        case 1:
            CheckSessionKey(in);
            break;
        case 2:
            CheckMac(in);
            break;
        default:
            CheckArpc(in);
            break;
    }
    return 0;
}

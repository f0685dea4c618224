#include "payment/emv_crypto.h"

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "common/hex_codec.h"
#include "support/evp_oracle.h"
#include "support/vector_file.h"

namespace {

using Bytes = std::vector<uint8_t>;

template <size_t N>
std::array<uint8_t, N> Fixed(const Bytes& bytes) {
    std::array<uint8_t, N> out{};
    EXPECT_EQ(bytes.size(), N);
    std::copy_n(bytes.begin(), std::min(bytes.size(), N), out.begin());
    return out;
}

EmvCipher CipherOf(const std::string& name) {
    return name == "SM4" ? EmvCipher::Sm4 : EmvCipher::Tdes;
}

// The independent answer for one block: OpenSSL's two-key EDE or SM4 in ECB.
Bytes OpenSslEcb(EmvCipher cipher, const Bytes& key, const Bytes& block) {
    return EvpCrypt(cipher == EmvCipher::Sm4 ? EVP_sm4_ecb() : EVP_des_ede_ecb(), true, block, {},
                    key);
}

std::string Joined(const std::vector<Bytes>& values) {
    std::string text;
    for (const Bytes& value : values) {
        text += (text.empty() ? "" : " ") + BytesToHex(value);
    }
    return text;
}

// Each half (3DES) or block (SM4) of a derived key is its input under the parent key, and the KCV
// is the left 3 bytes of the key's encryption of the zero block: both checked against OpenSSL.
void ExpectKeyAgreesWithOpenSsl(EmvCipher cipher, const Bytes& parent,
                                const EmvKeyDerivation& derived) {
    ASSERT_EQ(derived.inputs.size(), derived.outputs.size());
    for (size_t i = 0; i < derived.inputs.size(); ++i) {
        EXPECT_EQ(BytesToHex(derived.outputs[i]),
                  BytesToHex(OpenSslEcb(cipher, parent, derived.inputs[i])));
    }
    const Bytes key(derived.key.begin(), derived.key.end());
    const Bytes zero(cipher == EmvCipher::Sm4 ? 16 : 8, 0);
    EXPECT_EQ(BytesToHex(derived.kcv), BytesToHex(OpenSslEcb(cipher, key, zero)).substr(0, 6));
}

Bytes Complement(const Bytes& x) {
    Bytes out(x);
    for (uint8_t& b : out) {
        b = static_cast<uint8_t>(~b);
    }
    return out;
}

// Columns: name | UDK | cipher | A/B | imk | pan | psn | y | raw | key. Option B's SHA-1 is checked
// against OpenSSL's.
TEST(EmvCrypto, CardKeyVectors) {
    for (const VectorRecord& v : LoadVectors("emv.txt", 1, "UDK")) {
        SCOPED_TRACE(v.Where());
        const EmvCipher cipher = CipherOf(v.fields.at(2));
        const bool option_b = v.fields.at(3) == "B";
        const std::string& pan = v.fields.at(5);
        EmvUdkDerivation udk;
        ASSERT_TRUE(EmvDeriveUdk(cipher, option_b ? EmvUdkMethod::OptionB : EmvUdkMethod::OptionA,
                                 Fixed<16>(v.Bytes(4)), pan, v.Bytes(6).at(0), udk));
        EXPECT_EQ(udk.method == EmvUdkMethod::OptionB, option_b && pan.size() > 16);
        EXPECT_EQ(BytesToHex(udk.y), v.fields.at(7));
        EXPECT_EQ(BytesToHex(udk.not_y), BytesToHex(Complement(v.Bytes(7))));
        EXPECT_EQ(BytesToHex(udk.key.raw), v.fields.at(8));
        EXPECT_EQ(BytesToHex(udk.key.key), v.fields.at(9));
        ExpectKeyAgreesWithOpenSsl(cipher, v.Bytes(4), udk.key);
        if (udk.method == EmvUdkMethod::OptionB) {
            std::string x = pan + v.fields.at(6);
            x.insert(0, x.size() % 2, '0');
            EXPECT_EQ(udk.x_digits, x);
            std::array<uint8_t, 20> digest{};
            const Bytes bcd = HexToBytes(x);
            ASSERT_EQ(
                EVP_Digest(bcd.data(), bcd.size(), digest.data(), nullptr, EVP_sha1(), nullptr), 1);
            EXPECT_EQ(BytesToHex(udk.sha1), BytesToHex(digest));
        }
    }
}

// Columns: name | SK | cipher | method | udk | atc | un | raw | key.
TEST(EmvCrypto, SessionKeyVectors) {
    const std::map<std::string, EmvSessionMethod> methods = {{"PBOC", EmvSessionMethod::Pboc},
                                                             {"CSK", EmvSessionMethod::Common},
                                                             {"MC", EmvSessionMethod::Mastercard},
                                                             {"NONE", EmvSessionMethod::None}};
    for (const VectorRecord& v : LoadVectors("emv.txt", 1, "SK")) {
        SCOPED_TRACE(v.Where());
        const EmvCipher cipher = CipherOf(v.fields.at(2));
        const Bytes un = v.fields.at(6) == "-" ? Bytes(4, 0) : v.Bytes(6);
        EmvKeyDerivation sk;
        ASSERT_TRUE(EmvDeriveSessionKey(cipher, methods.at(v.fields.at(3)), Fixed<16>(v.Bytes(4)),
                                        Fixed<2>(v.Bytes(5)), Fixed<4>(un), sk));
        EXPECT_EQ(BytesToHex(sk.raw), v.fields.at(7));
        EXPECT_EQ(BytesToHex(sk.key), v.fields.at(8));
        ExpectKeyAgreesWithOpenSsl(cipher, v.Bytes(4), sk);
    }
}

// The inputs a session key encrypts, where the methods differ (EMV Book 2 A1.3.1 and the PBOC
// form): the ATC 1C02 and the UN 52BF4585.
TEST(EmvCrypto, SessionKeyInputs) {
    const struct {
        EmvCipher cipher;
        EmvSessionMethod method;
        const char* inputs;
    } cases[] = {
        {EmvCipher::Tdes, EmvSessionMethod::Pboc, "0000000000001C02 000000000000E3FD"},
        {EmvCipher::Sm4, EmvSessionMethod::Pboc, "0000000000001C02000000000000E3FD"},
        {EmvCipher::Tdes, EmvSessionMethod::Common, "1C02F00000000000 1C020F0000000000"},
        {EmvCipher::Tdes, EmvSessionMethod::Mastercard, "1C02F00052BF4585 1C020F0052BF4585"},
        {EmvCipher::Tdes, EmvSessionMethod::None, ""},
    };
    const std::array<uint8_t, 16> udk = Fixed<16>(HexToBytes("0123456789ABCDEFFEDCBA9876543210"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.inputs);
        EmvKeyDerivation sk;
        ASSERT_TRUE(EmvDeriveSessionKey(c.cipher, c.method, udk, Fixed<2>(HexToBytes("1C02")),
                                        Fixed<4>(HexToBytes("52BF4585")), sk));
        EXPECT_EQ(Joined(sk.inputs), c.inputs);
    }
}

// Columns: name | MAC | cipher | M1/M2 | key | data | chain | DES^-1(KR) | mac. The last chain
// value is also OpenSSL's CBC over the padded data (single DES as EDE with KL twice).
TEST(EmvCrypto, CryptogramVectors) {
    for (const VectorRecord& v : LoadVectors("emv.txt", 1, "MAC")) {
        SCOPED_TRACE(v.Where());
        const EmvCipher cipher = CipherOf(v.fields.at(2));
        const Bytes key = v.Bytes(4);
        EmvMacComputation mac;
        ASSERT_TRUE(EmvComputeMac(
            cipher, v.fields.at(3) == "M1" ? EmvPadding::Method1 : EmvPadding::Method2,
            Fixed<16>(key), v.Bytes(5), mac));
        EXPECT_EQ(Joined(mac.chain), v.fields.at(6));
        EXPECT_EQ(mac.decrypted.empty() ? "-" : BytesToHex(mac.decrypted), v.fields.at(7));
        EXPECT_EQ(BytesToHex(mac.mac), v.fields.at(8));

        Bytes cbc_key = key, iv(16, 0);
        if (cipher == EmvCipher::Tdes) {
            std::copy_n(key.begin(), 8, cbc_key.begin() + 8);
        }
        const Bytes cbc = EvpCrypt(cipher == EmvCipher::Sm4 ? EVP_sm4_cbc() : EVP_des_ede_cbc(),
                                   true, mac.padded, iv, cbc_key);
        const size_t block = cipher == EmvCipher::Sm4 ? 16 : 8;
        ASSERT_EQ(mac.padded.size() % block, 0u);
        EXPECT_EQ(BytesToHex(mac.chain.back()), BytesToHex(std::span(cbc).last(block)));
    }
}

// Columns: name | ARPC1 | cipher | key | arqc | arc | arpc, and name | ARPC2 | key | arqc | csu |
// proprietary | arpc.
TEST(EmvCrypto, ArpcVectors) {
    for (const VectorRecord& v : LoadVectors("emv.txt", 1, "ARPC1")) {
        SCOPED_TRACE(v.Where());
        const EmvCipher cipher = CipherOf(v.fields.at(2));
        EmvArpcComputation arpc;
        EmvArpcMethod1(cipher, Fixed<16>(v.Bytes(3)), Fixed<8>(v.Bytes(4)), Fixed<2>(v.Bytes(5)),
                       arpc);
        EXPECT_EQ(BytesToHex(arpc.arpc), v.fields.at(6));
        EXPECT_EQ(arpc.input.size(), cipher == EmvCipher::Sm4 ? 16u : 8u);
    }
    for (const VectorRecord& v : LoadVectors("emv.txt", 1, "ARPC2")) {
        SCOPED_TRACE(v.Where());
        EmvArpcComputation arpc;
        ASSERT_TRUE(EmvArpcMethod2(Fixed<16>(v.Bytes(2)), Fixed<8>(v.Bytes(3)),
                                   Fixed<4>(v.Bytes(4)), v.Bytes(5), arpc));
        EXPECT_EQ(BytesToHex(arpc.arpc), v.fields.at(6));
        EXPECT_EQ(BytesToHex(arpc.input),
                  v.fields.at(3) + v.fields.at(4) + (v.fields.at(5) == "-" ? "" : v.fields.at(5)));
    }
}

TEST(EmvCrypto, ChoicesWithoutAnSm4FormAndBadInputsAreRefused) {
    const std::array<uint8_t, 16> key{};
    const std::array<uint8_t, 2> atc{};
    const std::array<uint8_t, 4> un{};
    const std::array<uint8_t, 8> arqc{};
    EmvUdkDerivation udk;
    EmvKeyDerivation sk;
    EmvMacComputation mac;
    EmvArpcComputation arpc;
    EXPECT_FALSE(
        EmvDeriveUdk(EmvCipher::Sm4, EmvUdkMethod::OptionB, key, "12345678901234567", 0, udk));
    for (const char* pan : {"", "12345678901234567890", "1234567890123456F", "12 34"}) {
        SCOPED_TRACE(pan);
        EXPECT_FALSE(EmvPanDigitsValid(pan));
        EXPECT_FALSE(EmvDeriveUdk(EmvCipher::Tdes, EmvUdkMethod::OptionA, key, pan, 0, udk));
    }
    EXPECT_FALSE(EmvDeriveSessionKey(EmvCipher::Sm4, EmvSessionMethod::Common, key, atc, un, sk));
    EXPECT_FALSE(
        EmvDeriveSessionKey(EmvCipher::Sm4, EmvSessionMethod::Mastercard, key, atc, un, sk));
    EXPECT_FALSE(EmvComputeMac(EmvCipher::Sm4, EmvPadding::Method1, key, Bytes{1}, mac));
    EXPECT_FALSE(EmvArpcMethod2(key, arqc, un, Bytes(9, 0), arpc));
}

// MasterKey takes the master key as the card key, parity adjusted under triple DES only; the PAN
// is not read.
TEST(EmvCrypto, MasterKeyIsTheCardKey) {
    const struct {
        EmvCipher cipher;
        const char* imk;
        const char* key;
        bool single_des;
    } cases[] = {
        {EmvCipher::Tdes, "F0C34A8124CEE0A91A0B034AA97D6EAC", "F1C24A8025CEE0A81A0B024AA87C6EAD",
         false},
        {EmvCipher::Sm4, "F0C34A8124CEE0A91A0B034AA97D6EAC", "F0C34A8124CEE0A91A0B034AA97D6EAC",
         false},
        {EmvCipher::Tdes, "AAAAAAAAAAAAAAAAABABABABABABABAB", "ABABABABABABABABABABABABABABABAB",
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.imk);
        EmvUdkDerivation udk;
        ASSERT_TRUE(EmvDeriveUdk(c.cipher, EmvUdkMethod::MasterKey, Fixed<16>(HexToBytes(c.imk)),
                                 "", 0, udk));
        EXPECT_EQ(udk.method, EmvUdkMethod::MasterKey);
        EXPECT_EQ(BytesToHex(udk.key.raw), c.imk);
        EXPECT_EQ(BytesToHex(udk.key.key), c.key);
        EXPECT_EQ(udk.key.single_des, c.single_des);
        ExpectKeyAgreesWithOpenSsl(c.cipher, {}, udk.key);
    }
}

TEST(EmvCrypto, ParityAndSingleDes) {
    std::array<uint8_t, 8> key = Fixed<8>(HexToBytes("000102FEFF807F10"));
    EmvAdjustParity(key);
    EXPECT_EQ(BytesToHex(key), "010102FEFE807F10");
    // Halves that differ only in parity bits are the same DES key.
    EXPECT_TRUE(EmvIsSingleDes(Fixed<16>(HexToBytes("0123456789ABCDEF0022446688AACCEE"))));
    EXPECT_FALSE(EmvIsSingleDes(Fixed<16>(HexToBytes("0123456789ABCDEF0123456789ABCDFF"))));
}

// Option A, the PBOC SM4 form and the PBOC session keys over random keys and PANs of 13 to 19
// digits, against OpenSSL block by block.
TEST(EmvCrypto, RandomKeysAgreeWithOpenSsl) {
    std::mt19937 rng(20240518);
    for (int round = 0; round < 40; ++round) {
        const EmvCipher cipher = round % 2 == 0 ? EmvCipher::Tdes : EmvCipher::Sm4;
        const Bytes imk = RandomBytes(rng, 16);
        std::string pan;
        for (size_t n = 13 + static_cast<size_t>(round) % 7; pan.size() < n;) {
            pan.push_back(static_cast<char>('0' + rng() % 10));
        }
        const uint8_t psn = static_cast<uint8_t>(rng() % 100 / 10 * 16 + rng() % 10);
        SCOPED_TRACE(pan);
        EmvUdkDerivation udk;
        ASSERT_TRUE(EmvDeriveUdk(cipher, EmvUdkMethod::OptionA, Fixed<16>(imk), pan, psn, udk));
        Bytes y_and_not_y(udk.y.begin(), udk.y.end());
        y_and_not_y.insert(y_and_not_y.end(), udk.not_y.begin(), udk.not_y.end());
        EXPECT_EQ(BytesToHex(udk.key.raw), BytesToHex(OpenSslEcb(cipher, imk, y_and_not_y)));

        const Bytes atc = RandomBytes(rng, 2);
        EmvKeyDerivation sk;
        ASSERT_TRUE(EmvDeriveSessionKey(cipher, EmvSessionMethod::Pboc, udk.key.key, Fixed<2>(atc),
                                        std::array<uint8_t, 4>{}, sk));
        ExpectKeyAgreesWithOpenSsl(cipher, Bytes(udk.key.key.begin(), udk.key.key.end()), sk);
    }
}

}  // namespace

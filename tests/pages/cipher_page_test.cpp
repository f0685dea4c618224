#include "pages/cipher_page.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "common/key_data_checks.h"
#include "support/page_gestures.h"

namespace {

// Expected values: SP 800-38A F.2.1, F.3.13, F.4.1, F.5.1 (cut short), RFC 4493 example 2, NIST's
// TDES CMAC sample 1; the rest from OpenSSL (through pyca/cryptography) on the same inputs.
constexpr const char* kF21Cipher = "7649ABAC8119B246CEE98E9B12E9197D";
constexpr const char* kF21Plain = "6BC1BEE22E409F96E93D7E117393172A";
constexpr const char* kTdesKey = "0123456789ABCDEF23456789ABCDEF01456789ABCDEF0123";
constexpr const char* kNonce = "CAFEBABEFACEDBADDECAF888";
constexpr const char* kGcmCipher = "6AC7D9F77A1C8A43AF5BE6373B9F6562";
constexpr const char* kGcmTag = "23A5557F1B5E8FE7FFD1551E054D313F";

// Choice indexes, in the order the page declares them.
enum { kDes, kAes, kSm4 };
enum { kEcb, kCbc, kCfb, kOfb, kCtr, kGcm };
enum { kNone, kZero, kM2, kPkcs7 };

using Fields = std::vector<std::pair<const char*, std::string>>;

TEST(CipherPage, ActionsWriteResultsOrRefuse) {
    const std::vector<Gesture> gcm = {Pick("mode", kGcm), Type("iv", kNonce),
                                      Type("aad", "FEEDFACE")};
    auto with = [](std::vector<Gesture> first, std::vector<Gesture> more) {
        first.insert(first.end(), more.begin(), more.end());
        return first;
    };
    const struct {
        const char* name;
        std::vector<Gesture> gestures;
        const char* action;
        Fields fields;        // the fields written, with their texts
        const char* message;  // a refusal, which writes nothing
    } cases[] = {
        {"defaults: SP 800-38A F.2.1", {}, "encrypt", {{"result", kF21Cipher}}, nullptr},
        {"CBC back", {Type("data", kF21Cipher)}, "decrypt", {{"result", kF21Plain}}, nullptr},
        {"spaced",
         {Pick("spaced", 0)},
         "encrypt",
         {{"result", "76 49 AB AC 81 19 B2 46 CE E9 8E 9B 12 E9 19 7D "}},
         nullptr},
        {"PKCS#7 adds a block",
         {Pick("pad", kPkcs7)},
         "encrypt",
         {{"result", std::string(kF21Cipher) + "8964E0B149C10B7B682E6E39AAEB731C"}},
         nullptr},
        {"PKCS#7 removed",
         {Pick("pad", kPkcs7),
          Type("data", std::string(kF21Cipher) + "8964E0B149C10B7B682E6E39AAEB731C")},
         "decrypt",
         {{"result", kF21Plain}},
         nullptr},
        {"ECB method 2",
         {Pick("mode", kEcb), Pick("pad", kM2), Type("data", "0102030405")},
         "encrypt",
         {{"result", "244075FEF6F1B611F858156486D0AE28"}},
         nullptr},
        {"ECB method 2 removed",
         {Pick("mode", kEcb), Pick("pad", kM2), Type("data", "244075FEF6F1B611F858156486D0AE28")},
         "decrypt",
         {{"result", "0102030405"}},
         nullptr},
        {"zero padding stays",
         {Pick("mode", kEcb), Pick("pad", kZero), Type("data", "5F89D2871DB9D98A17A3C46B6B32A11D")},
         "decrypt",
         {{"result", "0102030405" + std::string(22, '0')}},
         nullptr},
        {"CFB 17 bytes, padding ignored",
         {Pick("mode", kCfb), Pick("pad", kPkcs7), Type("data", std::string(kF21Plain) + "AE")},
         "encrypt",
         {{"result", "3B3FD92EB72DAD20333449F8E83CFB4AC8"}},
         nullptr},
        {"OFB 3 bytes",
         {Pick("mode", kOfb), Type("data", "6BC1BE")},
         "encrypt",
         {{"result", "3B3FD9"}},
         nullptr},
        {"CTR 5 bytes",
         {Pick("mode", kCtr), Type("iv", "F0F1F2F3F4F5F6F7F8F9FAFBFCFDFEFF"),
          Type("data", "6BC1BEE22E")},
         "encrypt",
         {{"result", "874D6191B6"}},
         nullptr},
        {"CTR empty", {Pick("mode", kCtr), Type("data", "")}, "decrypt", {{"result", ""}}, nullptr},
        {"three-key TDES CBC, the IV cut to a block",
         {Pick("alg", kDes), Type("key", kTdesKey), Type("data", "6BC1BEE22E409F96")},
         "encrypt",
         {{"result", "DF4FB48A5C3414FA"}},
         nullptr},
        {"two-key TDES keeps the 16-byte key",
         {Pick("alg", kDes), Pick("mode", kEcb), Type("data", "6BC1BEE22E409F96")},
         "encrypt",
         {{"result", "DF8F88432FEA610C"}},
         nullptr},
        {"SM4 CBC",
         {Pick("alg", kSm4)},
         "encrypt",
         {{"result", "AC529AF989A62FCE9CDDC5FFB84125CA"}},
         nullptr},
        {"CMAC: RFC 4493 example 2",
         {},
         "cmac",
         {{"result", "070A16B46B4D4144F79BDD9DD04A287C"}},
         nullptr},
        {"TDES CMAC of nothing",
         {Pick("alg", kDes), Type("key", kTdesKey), Type("data", "")},
         "cmac",
         {{"result", "7DB0D37DF936C550"}},
         nullptr},
        {"GCM", gcm, "encrypt", {{"tag", kGcmTag}, {"result", kGcmCipher}}, nullptr},
        {"GCM back",
         with(gcm, {Type("data", kGcmCipher), Type("tag", kGcmTag)}),
         "decrypt",
         {{"result", kF21Plain}},
         nullptr},
        {"GCM 8-byte tag",
         with(gcm, {Type("taglen", "8")}),
         "encrypt",
         {{"tag", "23A5557F1B5E8FE7"}, {"result", kGcmCipher}},
         nullptr},
        {"GCM 16-byte nonce",
         {Pick("mode", kGcm)},
         "encrypt",
         {{"tag", "F3D9316394C4FD0DB0C9DBF5EA921958"},
          {"result", "26DC8371A5FF7B697D604F8B955E733B"}},
         nullptr},
        {"GCM of nothing",
         with(gcm, {Type("aad", ""), Type("data", "")}),
         "encrypt",
         {{"tag", "65AA665D6401AAA2AAB0F144E9082CB7"}, {"result", ""}},
         nullptr},
        {"GMAC of the data",
         gcm,
         "cmac",
         {{"result", "DD39ADDF8C5E96F66828505A680FE468"}},
         nullptr},

        {"empty key", {Type("key", "")}, "encrypt", {}, "Aes Key can not be null, Pls input !!!"},
        {"AES key of 15 bytes",
         {Type("key", std::string(30, '1'))},
         "cmac",
         {},
         "Aes Key should be 16 bytes or 24 bytes or 32 bytes, Pls input the correct !!!"},
        {"SM4 key of 24 bytes",
         {Pick("alg", kSm4), Type("key", std::string(48, '1'))},
         "encrypt",
         {},
         "sm4 Key should be 16 bytes, Pls input the correct !!!"},
        {"DES key of 12 bytes",
         {Pick("alg", kDes), Type("key", std::string(24, '1'))},
         "encrypt",
         {},
         kDesKeyLengthMessage},
        {"key not hex",
         {Type("key", "1G" + std::string(30, '1'))},
         "decrypt",
         {},
         "The 1 byte of the Aes Key is the illegal , Pls Check !!!"},
        {"odd data",
         {Type("data", "123")},
         "encrypt",
         {},
         "Encrypt Data should be even , and not be odd , Pls Check !!!"},
        {"data not hex",
         {Type("data", "11Z2")},
         "decrypt",
         {},
         "The 2 byte of the Decrypt Data is the illegal, Pls Check !!!"},
        {"odd MAC data",
         {Type("data", "1")},
         "cmac",
         {},
         "Mac Data should be even , and not be odd , Pls Check !!!"},
        {"no padding, 5 bytes",
         {Type("data", "0102030405")},
         "encrypt",
         {},
         "Encrypt Data should be an integer multiple of 16, Pls Check !!!"},
        {"decrypt 5 bytes",
         {Pick("pad", kPkcs7), Type("data", "0102030405")},
         "decrypt",
         {},
         "Decrypt Data should be an integer multiple of 16, Pls Check !!!"},
        {"DES, no padding, 5 bytes",
         {Pick("alg", kDes), Type("data", "0102030405")},
         "encrypt",
         {},
         "Encrypt Data should be an integer multiple of 8, Pls Check !!!"},
        {"IV of 8 bytes",
         {Type("iv", "0001020304050607")},
         "encrypt",
         {},
         "IV should be 16 bytes, Pls Check !!!"},
        {"CTR counter of 17 bytes",
         {Pick("mode", kCtr), Type("iv", std::string(34, '0'))},
         "encrypt",
         {},
         "IV should be 16 bytes, Pls Check !!!"},
        {"odd IV",
         {Type("iv", "000")},
         "encrypt",
         {},
         "IV should be even , and not be odd , Pls Check !!!"},
        {"IV not hex",
         {Pick("mode", kOfb), Type("iv", "0X")},
         "encrypt",
         {},
         "The 1 byte of the IV is the illegal, Pls Check !!!"},
        {"PKCS#7 wrong",
         {Pick("pad", kPkcs7), Type("data", kF21Cipher)},
         "decrypt",
         {},
         "Padding of the Decrypt Data is wrong , Pls Check !!!"},
        {"method 2 wrong",
         {Pick("pad", kM2), Type("data", kF21Cipher)},
         "decrypt",
         {},
         "Padding of the Decrypt Data is wrong , Pls Check !!!"},
        {"GCM wrong tag",
         with(gcm, {Type("data", kGcmCipher), Type("tag", "33A5557F1B5E8FE7FFD1551E054D313F")}),
         "decrypt",
         {},
         "Tag is wrong, the data is not authentic , Pls Check !!!"},
        {"GCM tag of 15 bytes",
         with(gcm, {Type("data", kGcmCipher), Type("tag", "23A5557F1B5E8FE7FFD1551E054D31")}),
         "decrypt",
         {},
         "Tag should be 16 bytes as the tag length says, Pls Check !!!"},
        {"GCM tag length 3",
         with(gcm, {Type("taglen", "3")}),
         "encrypt",
         {},
         "Tag length should be 4 to 16 bytes, Pls Check !!!"},
        {"GCM tag length not a number",
         with(gcm, {Type("taglen", "1x")}),
         "cmac",
         {},
         "Tag length should be 4 to 16 bytes, Pls Check !!!"},
        {"GCM with DES",
         {Pick("alg", kDes), Pick("mode", kGcm)},
         "encrypt",
         {},
         "GCM needs a 16-byte block, Pls choose Aes or sm4 , Pls Check !!!"},
        {"GCM empty nonce",
         {Pick("mode", kGcm), Type("iv", "")},
         "encrypt",
         {},
         "GCM Nonce can not be null, Pls input !!!"},
        {"AAD not hex",
         with(gcm, {Type("aad", "FG")}),
         "encrypt",
         {},
         "The 1 byte of the AAD is the illegal, Pls Check !!!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CCipherPage page;
        Apply(page, c.gestures);
        const ActionResult result = page.Press(c.action);
        std::vector<std::string> written;
        if (c.message != nullptr) {
            ASSERT_TRUE(result.has_value());
            EXPECT_EQ(*result, (MessageBox{c.message, "Error", MessageIcon::Error}));
        } else {
            ASSERT_EQ(result, std::nullopt) << result->text;
            for (const auto& [id, text] : c.fields) {
                EXPECT_EQ(TextOf(page, id), text) << id;
                written.emplace_back(id);
            }
        }
        EXPECT_EQ(page.WrittenFields(), written);
    }
}

// Choices enable the fields they use, rename the IV and the MAC button, and keep the key check
// value of the key under the algorithm chosen.
TEST(CipherPage, ChoicesEnableRelabelAndKeepTheKcv) {
    CCipherPage page;
    const struct {
        Gesture gesture;
        bool iv, gcm_fields;
        const char* iv_label;
        const char* mac;
        const char* kcv;
        const char* iv_text;
    } steps[] = {
        {Pick("spaced", 1), true, false, "初始向量：", "CMAC", "7DF76B",
         "000102030405060708090A0B0C0D0E0F"},
        {Pick("mode", kEcb), false, false, "初始向量：", "CMAC", "7DF76B",
         "000102030405060708090A0B0C0D0E0F"},
        {Pick("alg", kDes), false, false, "初始向量：", "CMAC", "86A5F0", "0001020304050607"},
        {Pick("mode", kCtr), true, false, "初始计数：", "CMAC", "86A5F0", "0001020304050607"},
        {Pick("alg", kSm4), true, false, "初始计数：", "CMAC", "09CBE1",
         "000102030405060708090A0B0C0D0E0F"},
        {Pick("mode", kGcm), true, true, "随机数：", "GMAC", "09CBE1",
         "000102030405060708090A0B0C0D0E0F"},
        {Type("key", "0123"), true, true, "随机数：", "GMAC", "",
         "000102030405060708090A0B0C0D0E0F"},
    };
    for (const auto& s : steps) {
        Apply(page, {s.gesture});
        SCOPED_TRACE(s.gesture.id);
        EXPECT_EQ(FieldOf(page, "iv").enabled, s.iv);
        EXPECT_EQ(FieldOf(page, "iv").label, s.iv_label);
        EXPECT_EQ(TextOf(page, "iv"), s.iv_text);
        for (const char* id : {"aad", "tag", "taglen"}) {
            EXPECT_EQ(FieldOf(page, id).enabled, s.gcm_fields) << id;
        }
        EXPECT_EQ(page.FindButton("cmac")->caption, s.mac);
        EXPECT_EQ(TextOf(page, "kcv"), s.kcv);
    }
    // A 16-byte key fits SM4 and stays; a 24-byte one does not and gives way to the example key.
    page.Type("key", kTdesKey);
    page.Choose("alg", kSm4);
    EXPECT_EQ(TextOf(page, "key"), "2B7E151628AED2A6ABF7158809CF4F3C");
    ASSERT_EQ(page.Press("clear"), std::nullopt);
    for (const char* id : {"key", "iv", "data", "aad", "tag", "result"}) {
        EXPECT_EQ(TextOf(page, id), "") << id;
    }
}

}  // namespace

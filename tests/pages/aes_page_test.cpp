#include "pages/aes_page.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/page_gestures.h"

namespace {

constexpr const char* kPlain = "00112233445566778899AABBCCDDEEFF";

// Expected values: FIPS 197 Appendix C, or OpenSSL (aes-128-cbc) where the IV is not zero.
struct ResultCase {
    const char* name;
    std::vector<Gesture> gestures;
    const char* action;
    const char* result;
    const char* counter;
};

TEST(AesPage, ActionsComputeResults) {
    const ResultCase cases[] = {
        {"AES-128 C.1",
         {Type("data", kPlain)},
         "encrypt",
         "69C4E0D86A7B0430D8CDB78070B4C55A",
         "16"},
        {"AES-192 C.2",
         {Pick("keytype", 1), Type("data", kPlain)},
         "encrypt",
         "DDA97CA4864CDFE06EAF70A0EC0D7191",
         "16"},
        {"AES-256 C.3",
         {Pick("keytype", 2), Type("data", kPlain)},
         "encrypt",
         "8EA2B7CA516745BFEAFC49904B496089",
         "16"},
        {"AES-256 C.3 back",
         {Pick("keytype", 2), Type("data", "8ea2b7ca 516745bf eafc4990 4b496089")},
         "decrypt",
         kPlain,
         "16"},
        {"CBC, two blocks",
         {Pick("mode", 1), Type("iv", "0F0E0D0C0B0A09080706050403020100"),
          Type("data", std::string(kPlain) + kPlain)},
         "encrypt",
         "16628846F7334843BC7321CC79661680AB128CFF7D5AFA25B6A07D9766C6B7C4",
         "32"},
        {"CBC back",
         {Pick("mode", 1), Type("iv", "0F0E0D0C0B0A09080706050403020100"),
          Type("data", "16628846F7334843BC7321CC79661680AB128CFF7D5AFA25B6A07D9766C6B7C4")},
         "decrypt",
         "00112233445566778899AABBCCDDEEFF00112233445566778899AABBCCDDEEFF",
         "32"},
        {"CBC, short IV completed with zero bytes",
         {Pick("mode", 1), Type("iv", "12 34"), Type("data", kPlain)},
         "encrypt",
         "50FF225147E644213C2FE766004B4016",
         "16"},
        {"ECB ignores an IV it would refuse",
         {Pick("mode", 1), Type("iv", "XY"), Pick("mode", 0), Type("data", kPlain)},
         "encrypt",
         "69C4E0D86A7B0430D8CDB78070B4C55A",
         "16"},
        {"spaced",
         {Pick("spaced", 0), Type("data", kPlain)},
         "encrypt",
         "69 C4 E0 D8 6A 7B 04 30 D8 CD B7 80 70 B4 C5 5A ",
         "16"},
    };
    for (const ResultCase& c : cases) {
        SCOPED_TRACE(c.name);
        CAesPage page;
        Apply(page, c.gestures);
        EXPECT_EQ(page.Press(c.action), std::nullopt);
        EXPECT_EQ(TextOf(page, "result"), c.result);
        EXPECT_EQ(FieldOf(page, "result").counter, c.counter);
        EXPECT_EQ(page.WrittenFields(), std::vector<std::string>{"result"});
    }
}

TEST(AesPage, RefusalsInOrderWriteNothing) {
    const char* const kKeyLength =
        "Aes Key should be 16 bytes or 24 bytes or 32 bytes, Pls input the correct !!!";
    const struct {
        std::vector<Gesture> gestures;
        const char* action;
        const char* message;
    } cases[] = {
        {{}, "encrypt", "Aes Key or Encrypt Data can not be null, Pls input !!!"},
        {{}, "decrypt", "Aes Key or Decrypt Data can not be null, Pls input !!!"},
        {{Type("key", std::string(40, '1')), Type("data", "11")}, "encrypt", kKeyLength},
        {{Type("key", "0123G56789ABCDEF0123456789ABCDEF"), Type("data", "1")},
         "decrypt",
         "The 3 byte of the Aes Key is the illegal , Pls Check !!!"},
        {{Type("data", std::string(31, '1'))},
         "encrypt",
         "Encrypt Data should be even , and not be odd , Pls Check !!!"},
        {{Type("data", std::string(40, '1'))},
         "encrypt",
         "Encrypt Data should be an integer multiple of 16, Pls Check !!!"},
        {{Type("data", std::string(40, '1'))},
         "decrypt",
         "Decrypt Data should be an integer multiple of 16, Pls Check !!!"},
        {{Type("data", std::string(30, '1') + "Z1")},
         "decrypt",
         "The 16 byte of the Decrypt Data is the illegal, Pls Check !!!"},
        {{Pick("mode", 1), Type("iv", "12345G"), Type("data", kPlain)},
         "encrypt",
         "The 3 byte of the IV is the illegal, Pls Check !!!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        CAesPage page;
        Apply(page, c.gestures);
        const ActionResult result = page.Press(c.action);
        ASSERT_TRUE(result.has_value());
        EXPECT_EQ(*result, (MessageBox{c.message, "Error", MessageIcon::Error}));
        EXPECT_TRUE(page.WrittenFields().empty());
    }
}

TEST(AesPage, KeyTypesFollowTheKeyAndClearLeavesNoneSelected) {
    CAesPage page;
    EXPECT_EQ(FieldOf(page, "key").counter, "16");
    EXPECT_FALSE(FieldOf(page, "iv").enabled);
    const struct {
        Gesture gesture;
        int keytype;
        const char* key_counter;
        const char* iv_counter;
    } steps[] = {
        {Type("key", std::string(48, 'a')), 1, "24", "16"},
        {Type("key", std::string(40, 'a')), -1, "20", "16"},
        {Pick("keytype", 2), 2, "32", "32"},
        {Pick("keytype", 0), 0, "16", "16"},
    };
    for (const auto& s : steps) {
        Apply(page, {s.gesture});
        EXPECT_EQ(page.FindOption("keytype")->selected, s.keytype);
        EXPECT_EQ(FieldOf(page, "key").counter, s.key_counter);
        EXPECT_EQ(FieldOf(page, "iv").counter, s.iv_counter);
    }
    page.Type("data", kPlain);
    ASSERT_EQ(page.Press("encrypt"), std::nullopt);
    ASSERT_EQ(page.Press("clear"), std::nullopt);
    for (const char* id : {"data", "key", "result"}) {
        EXPECT_EQ(TextOf(page, id), "");
        EXPECT_EQ(FieldOf(page, id).counter, "");
    }
    EXPECT_EQ(FieldOf(page, "iv").counter, "16");
    EXPECT_EQ(page.FindOption("keytype")->selected, -1);
}

}  // namespace

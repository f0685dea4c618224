#include "pages/sm4_page.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/page_gestures.h"

namespace {

constexpr const char* kExample = "0123456789ABCDEFFEDCBA9876543210";

// Expected values: GB/T 32907 examples 1 and 2, otherwise OpenSSL (sm4-ecb, sm4-cbc) over the
// padded data.
struct ResultCase {
    const char* name;
    std::vector<Gesture> gestures;
    const char* action;
    const char* result;
    const char* counter;
    const char* data_label;
};

TEST(Sm4Page, ActionsComputeResults) {
    const ResultCase cases[] = {
        {"example 1", {}, "encrypt", "681EDF34D206965E86B3E94F536E4246", "16", "加密数据："},
        {"example 1 back",
         {Type("data", "681edf34 d206965e 86b3e94f 536e4246")},
         "decrypt",
         kExample,
         "16",
         "解密数据："},
        {"repeat with count 0 is one pass",
         {Pick("repeat", 0), Type("count", "0")},
         "encrypt",
         "681EDF34D206965E86B3E94F536E4246",
         "16",
         "加密数据："},
        {"repeat with a count without digits is one pass",
         {Pick("repeat", 0), Type("count", "x1")},
         "encrypt",
         "681EDF34D206965E86B3E94F536E4246",
         "16",
         "加密数据："},
        {"17 bytes padded with zero bytes",
         {Type("data", std::string(kExample) + "01")},
         "encrypt",
         "681EDF34D206965E86B3E94F536E42468577C6EDEF40D19975F12DAD55CDD741",
         "32",
         "加密数据："},
        {"CBC",
         {Pick("mode", 1), Type("iv", "11223344556677889900AABBCCDDEEFF")},
         "encrypt",
         "6AD0BA390F4A35FBACEA3DF3805380FF",
         "16",
         "加密数据："},
        {"CBC twice over one block is E(0)",
         {Pick("mode", 1), Pick("repeat", 0), Type("count", " 2"),
          Type("iv", "11223344556677889900AABBCCDDEEFF")},
         "encrypt",
         "2677F46B09C122CC975533105BD4A22A",
         "16",
         "加密数据："},
        {"MAC of one whole block runs over two",
         {Pick("mode", 2)},
         "encrypt",
         "780D0374",
         "04",
         "加密数据："},
        {"MAC with an IV, the repeat ignored",
         {Pick("mode", 2), Pick("repeat", 0), Type("iv", "01020304"), Type("data", "112233")},
         "encrypt",
         "202F8BDA",
         "04",
         "加密数据："},
        {"decrypt pads 20 bytes to 32",
         {Type("data", std::string(kExample) + "01020304")},
         "decrypt",
         "9338375E82EEC1CBBEF65EDF8757A6317F6927F3D7D1D358AE8A295A79884286",
         "32",
         "解密数据："},
        {"spaced",
         {Pick("spaced", 0), Type("data", "01")},
         "encrypt",
         "85 77 C6 ED EF 40 D1 99 75 F1 2D AD 55 CD D7 41 ",
         "16",
         "加密数据："},
    };
    for (const ResultCase& c : cases) {
        SCOPED_TRACE(c.name);
        CSm4Page page;
        Apply(page, c.gestures);
        EXPECT_EQ(page.Press(c.action), std::nullopt);
        EXPECT_EQ(TextOf(page, "result"), c.result);
        EXPECT_EQ(FieldOf(page, "result").counter, c.counter);
        EXPECT_EQ(FieldOf(page, "data").label, c.data_label);
        EXPECT_EQ(page.WrittenFields(), std::vector<std::string>{"result"});
    }
}

TEST(Sm4Page, MillionFoldEncryptionIsExampleTwo) {
    CSm4Page page;
    page.Choose("repeat", 0);
    EXPECT_EQ(TextOf(page, "count"), "1000000");
    EXPECT_EQ(page.Press("encrypt"), std::nullopt);
    EXPECT_EQ(TextOf(page, "result"), "595298C7C6FD271F0402F804C33D3F66");
}

TEST(Sm4Page, RefusalsInOrderWriteNothing) {
    const char* const kKeyLength = "sm4 Key should be 16 bytes, Pls input the correct !!!";
    const struct {
        std::vector<Gesture> gestures;
        const char* action;
        const char* message;
    } cases[] = {
        {{Type("data", "")}, "encrypt", "sm4 Key or Encrypt Data can not be null, Pls input !!!"},
        {{Type("key", "")}, "decrypt", "sm4 Key or Decrypt Data can not be null, Pls input !!!"},
        {{Type("key", std::string(30, '1'))}, "encrypt", kKeyLength},
        {{Type("key", "0123G56789ABCDEF0123456789ABCDEF"), Type("data", "1")},
         "encrypt",
         "The 3 byte of the sm4 Key is the illegal , Pls Check !!!"},
        {{Type("data", "1Z3")},
         "decrypt",
         "Decrypt Data should be even , and not be odd , Pls Check !!!"},
        {{Type("data", "11Z2")},
         "encrypt",
         "The 2 byte of the Encrypt Data is the illegal, Pls Check !!!"},
        {{Pick("mode", 2), Type("iv", "G0")},
         "encrypt",
         "The 1 byte of the IV is the illegal, Pls Check !!!"},
        // A negative count would mean four thousand million passes; a huge one is refused too.
        {{Pick("repeat", 0), Type("count", "-1")},
         "encrypt",
         "Repeat count should not be negative, Pls Check !!!"},
        {{Pick("repeat", 0), Type("count", "2147483648")},
         "decrypt",
         "Repeat count should be at most 2147483647, Pls Check !!!"},
        {{Pick("repeat", 0), Type("count", "99999999999999999999999")},
         "encrypt",
         "Repeat count should be at most 2147483647, Pls Check !!!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        CSm4Page page;
        Apply(page, c.gestures);
        const ActionResult result = page.Press(c.action);
        ASSERT_TRUE(result.has_value());
        EXPECT_EQ(*result, (MessageBox{c.message, "Error", MessageIcon::Error}));
        EXPECT_TRUE(page.WrittenFields().empty());
    }
}

TEST(Sm4Page, OptionsRelabelEnableAndClear) {
    CSm4Page page;
    const struct {
        Gesture gesture;
        const char* first_caption;
        bool decrypt_enabled;
        bool iv_enabled;
        bool count_enabled;
        const char* count;
    } steps[] = {
        {Pick("mode", 2), "计算MAC", false, true, false, "0"},
        {Pick("repeat", 0), "计算MAC", false, true, true, "1000000"},
        {Pick("mode", 1), "加密", true, true, true, "1000000"},
        {Pick("repeat", 1), "加密", true, true, false, "0"},
        {Pick("mode", 0), "加密", true, false, false, "0"},
    };
    for (const auto& s : steps) {
        Apply(page, {s.gesture});
        EXPECT_EQ(page.FindButton("encrypt")->caption, s.first_caption);
        EXPECT_EQ(page.FindButton("decrypt")->enabled, s.decrypt_enabled);
        EXPECT_EQ(FieldOf(page, "iv").enabled, s.iv_enabled);
        EXPECT_EQ(FieldOf(page, "count").enabled, s.count_enabled);
        EXPECT_EQ(TextOf(page, "count"), s.count);
    }
    ASSERT_EQ(page.Press("encrypt"), std::nullopt);
    ASSERT_EQ(page.Press("clear"), std::nullopt);
    for (const char* id : {"iv", "data", "key", "result"}) {
        EXPECT_EQ(TextOf(page, id), "");
    }
    EXPECT_EQ(FieldOf(page, "key").counter, "00");
    EXPECT_EQ(FieldOf(page, "result").counter, "16");
}

}  // namespace

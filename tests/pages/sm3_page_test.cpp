#include "pages/sm3_page.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/page_gestures.h"

namespace {

constexpr const char* kAbcDigest =
    "66C7F0F462EEEDD9D1F2D46BDC10E4E24167C4875CF2F7A2297DA02B8F4BA8E0";
constexpr const char* kKey64 =
    "000102030405060708090A0B0C0D0E0F101112131415161718191A1B1C1D1E1F202122232425262728292A2B2C2D2E"
    "2F303132333435363738393A3B3C3D3E3F";

// Expected values: GB/T 32905 example 1 and the empty message, HMAC-SM3 by OpenSSL 3 `openssl mac`.
TEST(Sm3Page, ActionsComputeResults) {
    const struct {
        const char* name;
        std::vector<Gesture> gestures;
        const char* action;
        const char* field;
        const char* result;
    } cases[] = {
        {"default abc", {}, "hash", "digest", kAbcDigest},
        {"blanks and lower case", {Type("data", "61 62 63")}, "hash", "digest", kAbcDigest},
        {"blanks only is the empty message",
         {Type("data", "   ")},
         "hash",
         "digest",
         "1AB21D8355CFA17F8E61194831E81A8F22BEC8C728FEFB747ED035EB5082AA2B"},
        {"hmac, 16-byte key",
         {Type("hmac_key", "00010203 04050607 08090a0b 0c0d0e0f"), Type("hmac_data", "616263")},
         "hmac",
         "hmac_result",
         "83FD35B3FF6211428A38C070431AD42C23A86EACA25A5EA81A1DED4704A12C7C"},
        {"hmac, 64-byte key used as it is",
         {Type("hmac_key", kKey64), Type("hmac_data", "616263")},
         "hmac",
         "hmac_result",
         "14CCADBEE92A9BE279C849B7359FAFAC65A9F04B156FA8723A72700E506927D5"},
        {"hmac, 65-byte key hashed first",
         {Type("hmac_key", std::string(kKey64) + "40"), Type("hmac_data", "616263")},
         "hmac",
         "hmac_result",
         "D8E0DA366FE29229D40388A3C8632B6E01C2AAA6695D3F8983DAD620AC27624D"},
        {"spaced applies to both frames",
         {Pick("spaced", 0), Type("data", "")},
         "hash",
         "digest",
         "1A B2 1D 83 55 CF A1 7F 8E 61 19 48 31 E8 1A 8F 22 BE C8 C7 28 FE FB 74 7E D0 35 EB 50 "
         "82 "
         "AA 2B "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CSm3Page page;
        Apply(page, c.gestures);
        EXPECT_EQ(page.Press(c.action), std::nullopt);
        EXPECT_EQ(TextOf(page, c.field), c.result);
        EXPECT_EQ(FieldOf(page, c.field).counter, "32");
        EXPECT_EQ(page.WrittenFields(), std::vector<std::string>{c.field});
    }
}

TEST(Sm3Page, RefusalsWriteNothing) {
    const struct {
        std::vector<Gesture> gestures;
        const char* action;
        const char* message;
    } cases[] = {
        {{Type("hmac_key", "11")},
         "hmac",
         "sm3 Key or Encrypt Data can not be null, Pls input !!!"},
        {{Type("hmac_data", " ")},
         "hmac",
         "sm3 Key or Encrypt Data can not be null, Pls input !!!"},
        {{Type("hmac_key", "0123G5"), Type("hmac_data", "1")},
         "hmac",
         "The 3 byte of the sm3 Key is the illegal , Pls Check !!!"},
        {{Type("hmac_key", "01"), Type("hmac_data", "11x2")},
         "hmac",
         "The 2 byte of the sm3 Data is the illegal, Pls Check !!!"},
        {{Type("data", "616263\r\n646566")},
         "hash",
         "The 4 byte of the sm3 Data is the illegal, Pls Check !!!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        CSm3Page page;
        Apply(page, c.gestures);
        const ActionResult result = page.Press(c.action);
        ASSERT_TRUE(result.has_value());
        EXPECT_EQ(*result, (MessageBox{c.message, "Error", MessageIcon::Error}));
        EXPECT_TRUE(page.WrittenFields().empty());
    }
}

TEST(Sm3Page, EachClearEmptiesItsOwnFrame) {
    CSm3Page page;
    EXPECT_EQ(FieldOf(page, "data").counter, "03");
    page.Type("hmac_key", "11");
    page.Type("hmac_data", "22");
    ASSERT_EQ(page.Press("hmac"), std::nullopt);
    ASSERT_EQ(page.Press("hash"), std::nullopt);
    ASSERT_EQ(page.Press("clear-hash"), std::nullopt);
    EXPECT_EQ(TextOf(page, "data"), "");
    EXPECT_EQ(FieldOf(page, "data").counter, "00");
    EXPECT_EQ(TextOf(page, "digest"), "");
    EXPECT_EQ(FieldOf(page, "digest").counter, "32");
    EXPECT_EQ(TextOf(page, "hmac_key"), "11");
    ASSERT_EQ(page.Press("clear-hmac"), std::nullopt);
    for (const char* id : {"hmac_data", "hmac_key", "hmac_result"}) {
        EXPECT_EQ(TextOf(page, id), "");
    }
    EXPECT_EQ(FieldOf(page, "hmac_result").counter, "32");
}

}  // namespace

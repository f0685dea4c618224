#include "pages/mac_page.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/page_gestures.h"

namespace {

const std::string kNowIsTheTimeForIt = "4E6F77206973207468652074696D6520666F72206974";
const std::string kHelloWorld = "48656C6C6F2C20776F726C6421";

// Expected MACs: ISO/IEC 9797-1 Annex B and the mac.txt vectors, or OpenSSL (DES-EDE CBC with
// K1 = K2 over the padded data; for the retail MAC the last block then through d_K' and e_K).
struct ResultCase {
    const char* name;
    std::vector<Gesture> gestures;
    const char* result;
    const char* counter;
};

TEST(MacPage, ComputeShowsTheMac) {
    const ResultCase cases[] = {
        {"PBOC, single key, 4 bytes", {Type("data", kNowIsTheTimeForIt)}, "A924C721", "04"},
        {"PBOC, single key, 8 bytes",
         {Pick("maclen", 1), Type("data", kNowIsTheTimeForIt)},
         "A924C72136149211",
         "08"},
        {"CBC-MAC pads like PBOC",
         {Pick("alg", 2), Pick("maclen", 1), Type("data", kNowIsTheTimeForIt)},
         "A924C72136149211",
         "08"},
        {"PSAM pads like PBOC",
         {Pick("alg", 3), Pick("maclen", 1), Type("data", kNowIsTheTimeForIt)},
         "A924C72136149211",
         "08"},
        {"X9.19 with a single key is MAC algorithm 1, padding 1",
         {Pick("alg", 1), Pick("maclen", 1), Type("data", kNowIsTheTimeForIt)},
         "E45B3AD2B7CC0856",
         "08"},
        {"PBOC, double key",
         {Pick("keytype", 1), Pick("maclen", 1), Type("data", kNowIsTheTimeForIt)},
         "5A692CE64F404145",
         "08"},
        {"X9.19, double key",
         {Pick("keytype", 1), Pick("alg", 1), Pick("maclen", 1), Type("data", kNowIsTheTimeForIt)},
         "2E2B1428CC78254F",
         "08"},
        {"double key of equal halves equals the single key",
         {Type("key", "0123456789ABCDEF 0123456789ABCDEF"), Pick("maclen", 1),
          Type("data", kNowIsTheTimeForIt)},
         "A924C72136149211",
         "08"},
        {"non-zero IV",
         {Type("iv", "1234567890ABCDEF"), Pick("maclen", 1), Type("data", kHelloWorld)},
         "C779D5A5B638E205",
         "08"},
        {"short IV completed with zero bytes, single key",
         {Type("iv", "12 34 56 78 90 AB"), Pick("maclen", 1), Type("data", kHelloWorld)},
         "B62C9CEF1A1EA441",
         "08"},
        {"short IV completed with zero bytes, double key",
         {Pick("keytype", 1), Type("iv", "1234567890AB"), Pick("maclen", 1),
          Type("data", kHelloWorld)},
         "093F1FC1754E4A3A",
         "08"},
        {"IV bytes past the eighth ignored",
         {Type("iv", "1234567890ABCDEF5555"), Pick("maclen", 1), Type("data", kHelloWorld)},
         "C779D5A5B638E205",
         "08"},
        {"600 bytes of data, no fixed buffer",
         {Pick("maclen", 1), Type("data", std::string(1200, '1'))},
         "289832D95BCA2DF9",
         "08"},
        {"spaced", {Pick("spaced", 0), Type("data", kNowIsTheTimeForIt)}, "A9 24 C7 21 ", "04"},
    };
    for (const ResultCase& c : cases) {
        SCOPED_TRACE(c.name);
        CMacPage page;
        Apply(page, c.gestures);
        EXPECT_EQ(page.Press("compute"), std::nullopt);
        EXPECT_EQ(page.FindField("result")->text, c.result);
        EXPECT_EQ(page.FindField("result")->counter, c.counter);
        EXPECT_EQ(page.WrittenFields(), std::vector<std::string>{"result"});
    }
}

TEST(MacPage, ValidationMessagesInOrder) {
    const struct {
        std::vector<Gesture> gestures;
        const char* message;
    } cases[] = {
        {{}, "Des Key or Encrypt Data can not be null, Pls input !!!"},
        {{Type("key", ""), Type("data", "11")},
         "Des Key or Encrypt Data can not be null, Pls input !!!"},
        {{Type("key", "0123456789ABCD"), Type("data", "11")},
         "Des Key should be 8 bytes or 16 bytes or 24 bytes, Pls input the correct !!!"},
        {{Type("key", "0123456789ABCDEG"), Type("data", "1")},
         "The 8 byte of the Des Key is the illegal, Pls Check !!!"},
        {{Type("data", "112")}, "Encrypt Data should be even , and not be odd , Pls Check !!!"},
        {{Type("data", "11G2")}, "The 2 byte of the Encrypt Data is the illegal, Pls Check !!!"},
        {{Type("iv", "00000G"), Type("data", "11")},
         "The 3 byte of the IV is the illegal, Pls Check !!!"},
        {{Type("iv", "00000G"), Type("data", "1G")},
         "The 1 byte of the Encrypt Data is the illegal, Pls Check !!!"},
        {{Pick("keytype", 2), Type("data", "11")},
         "Mac Key should be 8 bytes or 16 bytes, Pls input the correct !!!"},
        {{Pick("keytype", 2), Type("iv", "GG"), Type("data", "11")},
         "The 1 byte of the IV is the illegal, Pls Check !!!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        CMacPage page;
        Apply(page, c.gestures);
        const ActionResult result = page.Press("compute");
        ASSERT_TRUE(result.has_value());
        EXPECT_EQ(result->text, c.message);
        EXPECT_EQ(result->caption, "Error");
        EXPECT_EQ(result->icon, MessageIcon::Error);
        EXPECT_EQ(page.FindField("result")->text, "");
        EXPECT_EQ(page.FindField("result")->counter, "");
    }
}

TEST(MacPage, StartStateAndKeyTypeRadios) {
    CMacPage page;
    EXPECT_EQ(page.TabCaption(), "MAC 运算");
    EXPECT_EQ(page.FindField("iv")->text, "0000000000000000");
    EXPECT_EQ(page.FindField("iv")->counter, "08");
    EXPECT_TRUE(page.FindField("iv")->enabled);
    EXPECT_EQ(page.FindField("key")->text, "0123456789ABCDEF");
    EXPECT_EQ(page.FindField("key")->counter, "08");
    EXPECT_EQ(page.FindField("data")->counter, "");
    EXPECT_EQ(page.FindOption("maclen")->selected, 0);
    EXPECT_EQ(page.FindOption("spaced")->selected, 1);

    page.Choose("keytype", 2);
    EXPECT_EQ(page.FindField("key")->text, "0123456789ABCDEFFEDCBA987654321089ABCDEF01234567");
    EXPECT_EQ(page.FindField("key")->counter, "24");
    page.Type("key", "0123456789ABCDEF0123456789ABCDEF");
    EXPECT_EQ(page.FindOption("keytype")->selected, 1);
    page.Type("key", "0123456789");
    EXPECT_EQ(page.FindOption("keytype")->selected, -1);
}

TEST(MacPage, ClearEmptiesDataKeyAndResultButKeepsTheIv) {
    CMacPage page;
    page.Type("iv", "1122");
    page.Type("data", "11223344");
    ASSERT_EQ(page.Press("compute"), std::nullopt);
    EXPECT_EQ(page.Press("clear"), std::nullopt);
    for (const char* id : {"data", "key", "result"}) {
        SCOPED_TRACE(id);
        EXPECT_EQ(page.FindField(id)->text, "");
        EXPECT_EQ(page.FindField(id)->counter, "");
    }
    EXPECT_EQ(page.FindField("iv")->text, "1122");
    EXPECT_EQ(page.FindField("iv")->counter, "02");
    // Emptying the key empties its check value too.
    EXPECT_EQ(page.WrittenFields(), (std::vector<std::string>{"data", "key", "result", "kcv"}));
}

}  // namespace

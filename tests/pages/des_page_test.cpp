#include "pages/des_page.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/page_gestures.h"

namespace {

// Results computed with OpenSSL (des-ede with K1 = K2 for single DES, des-ede, des-ede3) on the
// padded data, or taken from FIPS 81 ("Now is the time for all ").
struct ResultCase {
    const char* name;
    std::vector<Gesture> gestures;
    const char* action;
    const char* result;
    const char* counter;
    const char* data_label;
    const char* result_label;
};

TEST(DesPage, ActionsComputeResults) {
    const ResultCase cases[] = {
        {"5 bytes padded with 80 00 00",
         {Type("data", "11 22 33 44 55")},
         "encrypt",
         "ABFD220046BC82BC",
         "08",
         "加密数据：",
         "处理结果："},
        {"8 bytes not padded",
         {Type("data", "4E6F772069732074")},
         "encrypt",
         "3FA40E8A984D4815",
         "08",
         "加密数据：",
         "处理结果："},
        {"9 bytes padded to 16",
         {Type("data", "112233445566778899")},
         "encrypt",
         "B4CC3FD9D8D95214E96F6B9453CA87D8",
         "16",
         "加密数据：",
         "处理结果："},
        {"double key radio",
         {Pick("keytype", 1), Type("data", "1122334455667788")},
         "encrypt",
         "3EB3B72576BBBE83",
         "08",
         "加密数据：",
         "处理结果："},
        {"triple key radio",
         {Pick("keytype", 2), Type("data", "1122334455667788")},
         "encrypt",
         "971EDB3894B28663",
         "08",
         "加密数据：",
         "处理结果："},
        {"16-byte key of equal halves is single DES",
         {Type("key", "0123456789ABCDEF0123456789ABCDEF"), Type("data", "4E6F772069732074")},
         "encrypt",
         "3FA40E8A984D4815",
         "08",
         "加密数据：",
         "处理结果："},
        {"CBC, FIPS 81",
         {Pick("mode", 1), Type("iv", "1234567890ABCDEF"),
          Type("data", "4E6F77206973207468652074696D6520666F7220616C6C20")},
         "encrypt",
         "E5C7CDDE872BF27C43E934008C389C0F683788499A7C05F6",
         "24",
         "加密数据：",
         "处理结果："},
        {"CBC, short IV completed with zero bytes",
         {Pick("mode", 1), Type("iv", "12 34"), Type("data", "1122334455667788")},
         "encrypt",
         "7ED162F249DFE688",
         "08",
         "加密数据：",
         "处理结果："},
        {"CBC, IV bytes past the eighth ignored",
         {Pick("mode", 1), Type("iv", "1234000000000000FFFF"), Type("data", "1122334455667788")},
         "encrypt",
         "7ED162F249DFE688",
         "08",
         "加密数据：",
         "处理结果："},
        {"ECB neither reads nor checks the IV",
         {Pick("mode", 1), Type("iv", "XYZ"), Pick("mode", 0), Type("data", "1122334455")},
         "encrypt",
         "ABFD220046BC82BC",
         "08",
         "加密数据：",
         "处理结果："},
        {"spaced result",
         {Pick("spaced", 0), Type("data", "1122334455")},
         "encrypt",
         "AB FD 22 00 46 BC 82 BC ",
         "08",
         "加密数据：",
         "处理结果："},
        {"decrypt pads like encrypt",
         {Type("data", "1122334455")},
         "decrypt",
         "30C28900C148BEFD",
         "08",
         "解密数据：",
         "处理结果："},
        {"decrypt CBC two-key",
         {Pick("keytype", 1), Pick("mode", 1), Type("iv", "1234567890ABCDEF"),
          Type("data", "3FA40E8A984D48156A271787AB8883F9")},
         "decrypt",
         "57B3A20B05C09792069A8297C4390A20",
         "16",
         "解密数据：",
         "处理结果："},
        {"process key",
         {Pick("keytype", 1), Type("data", "0000000000000000")},
         "processkey",
         "08D7B4FB629D0885",
         "08",
         "加密数据：",
         "过程密钥："},
        {"sub-key, one level",
         {Type("data", "1122334455667788")},
         "subkey",
         "B4CC3FD9D8D952142465C63C5935E357",
         "16",
         "分散因子：",
         "处理结果："},
        {"sub-key, two levels with a 16-byte key",
         {Pick("keytype", 1), Type("data", "11223344556677888877665544332211")},
         "subkey",
         "8D5B3250B4B4F478F78C1DCD367E4035",
         "16",
         "分散因子：",
         "处理结果："},
        {"sub-key, three levels, factor padded to 24 bytes",
         {Pick("keytype", 1), Type("data", "1122334455667788 8877665544332211 010203")},
         "subkey",
         "94085679D54954D96DDAE8D12E86D5C7",
         "16",
         "分散因子：",
         "处理结果："},
        {"sub-key ignores the IV even in CBC",
         {Pick("mode", 1), Type("iv", "GG"), Type("data", "1122334455667788")},
         "subkey",
         "B4CC3FD9D8D952142465C63C5935E357",
         "16",
         "分散因子：",
         "处理结果："},
    };
    for (const ResultCase& c : cases) {
        SCOPED_TRACE(c.name);
        CDesPage page;
        Apply(page, c.gestures);
        EXPECT_EQ(page.Press(c.action), std::nullopt);
        EXPECT_EQ(TextOf(page, "result"), c.result);
        EXPECT_EQ(page.FindField("result")->counter, c.counter);
        EXPECT_EQ(page.FindField("data")->label, c.data_label);
        EXPECT_EQ(page.FindField("result")->label, c.result_label);
        EXPECT_EQ(page.WrittenFields(), std::vector<std::string>{"result"});
    }
}

struct MessageCase {
    std::vector<Gesture> gestures;
    const char* action;
    const char* message;
};

TEST(DesPage, ValidationMessagesInOrder) {
    const char* const kKeyLength =
        "Des Key should be 8 bytes or 16 bytes or 24 bytes, Pls input the correct !!!";
    const char* const kSubKeyLength =
        "Des Key should be 8 bytes or 16 bytes , Pls input the correct !!!";
    const MessageCase cases[] = {
        {{}, "encrypt", "Des Key or Encrypt Data can not be null, Pls input !!!"},
        {{Type("key", " "), Type("data", "11")},
         "encrypt",
         "Des Key or Encrypt Data can not be null, Pls input !!!"},
        {{}, "decrypt", "Des Key or Decrypt Data can not be null, Pls input !!!"},
        {{}, "processkey", "Des Key or Encrypt Data can not be null, Pls input !!!"},
        {{Type("key", "112233"), Type("data", "11")}, "encrypt", kKeyLength},
        {{Type("key", "112233"), Type("data", "11")}, "decrypt", kKeyLength},
        {{Type("key", "GG"), Type("data", "1")}, "encrypt", kKeyLength},
        {{Type("key", "0123G56789ABCDEF"), Type("data", "1")},
         "encrypt",
         "The 3 byte of the Des Key is the illegal , Pls Check !!!"},
        {{Type("key", "0123G56789ABCDEF"), Type("data", "1")},
         "decrypt",
         "The 3 byte of the Des Key is the illegal, Pls Check !!!"},
        {{Type("data", "1122334")},
         "encrypt",
         "Encrypt Data should be even , and not be odd , Pls Check !!!"},
        {{Type("data", "1122334")},
         "decrypt",
         "Decrypt Data should be even , and not be odd , Pls Check !!!"},
        {{Type("data", "11Z2")},
         "encrypt",
         "The 2 byte of the Encrypt Data is the illegal, Pls Check !!!"},
        {{Type("data", "11Z2")},
         "decrypt",
         "The 2 byte of the Decrypt Data is the illegal, Pls Check !!!"},
        {{Pick("mode", 1), Type("iv", "12345G"), Type("data", "11")},
         "encrypt",
         "The 3 byte of the IV is the illegal, Pls Check !!!"},
        {{Pick("mode", 1), Type("iv", "12345G"), Type("data", "11")},
         "decrypt",
         "The 3 byte of the IV is the illegal, Pls Check !!!"},
        {{Pick("mode", 1), Type("iv", "12345G"), Type("data", "11")},
         "processkey",
         "The 3 byte of the IV is the illegal, Pls Check !!!"},
        // The IV is checked only after the key and the data.
        {{Pick("mode", 1), Type("iv", "12345G"), Type("data", "112")},
         "encrypt",
         "Encrypt Data should be even , and not be odd , Pls Check !!!"},
        {{}, "subkey", "Des Key or Dispersion factor can not be null, Pls input !!!"},
        {{Pick("keytype", 2), Type("data", "11")}, "subkey", kSubKeyLength},
        {{Type("key", "0123456789ABCDEG"), Type("data", "11")},
         "subkey",
         "The 8 byte of the Des Key is the illegal, Pls Check !!!"},
        {{Type("data", "112")},
         "subkey",
         "Dispersion factor should be even , and not be odd , Pls Check !!!"},
        {{Type("data", "11x2")},
         "subkey",
         "The 2 byte of the Dispersion factor is the illegal, Pls Check !!!"},
        {{Type("data", std::string(50, '1'))},
         "subkey",
         "Dispersion factor should be at most 24 bytes, Pls Check !!!"},
    };
    for (const MessageCase& c : cases) {
        SCOPED_TRACE(std::string(c.action) + ": " + c.message);
        CDesPage page;
        // A previous result must stay as it was: a refusal writes nothing.
        page.Type("data", "1122334455667788");
        ASSERT_EQ(page.Press("encrypt"), std::nullopt);
        const std::string before = TextOf(page, "result");
        page.Type("data", "");
        Apply(page, c.gestures);
        const ActionResult result = page.Press(c.action);
        ASSERT_TRUE(result.has_value());
        EXPECT_EQ(result->text, c.message);
        EXPECT_EQ(result->caption, "Error");
        EXPECT_EQ(result->icon, MessageIcon::Error);
        EXPECT_EQ(TextOf(page, "result"), before);
        EXPECT_TRUE(page.WrittenFields().empty());
    }
}

TEST(DesPage, StartState) {
    CDesPage page;
    EXPECT_EQ(page.TabCaption(), "DES 运算");
    const struct {
        const char* id;
        const char* text;
        const char* counter;
        bool enabled;
    } fields[] = {
        {"iv", "0000000000000000", "08", false},
        {"data", "", "", true},
        {"key", "0123456789ABCDEF", "08", true},
        {"result", "", "", true},
    };
    for (const auto& f : fields) {
        SCOPED_TRACE(f.id);
        EXPECT_EQ(page.FindField(f.id)->text, f.text);
        EXPECT_EQ(page.FindField(f.id)->counter, f.counter);
        EXPECT_EQ(page.FindField(f.id)->enabled, f.enabled);
    }
    EXPECT_EQ(page.FindOption("keytype")->selected, 0);
    EXPECT_EQ(page.FindOption("mode")->selected, 0);
    EXPECT_EQ(page.FindOption("spaced")->selected, 1);
    EXPECT_TRUE(page.FindField("result")->read_only);
}

TEST(DesPage, KeyTypeRadiosFollowTheKeyAndLoadDefaults) {
    CDesPage page;
    const struct {
        std::vector<Gesture> gestures;
        int keytype;
        const char* key;
        const char* counter;
    } cases[] = {
        {{Pick("keytype", 1)}, 1, "0123456789ABCDEFFEDCBA9876543210", "16"},
        {{Pick("keytype", 2)}, 2, "0123456789ABCDEFFEDCBA987654321089ABCDEF01234567", "24"},
        {{Pick("keytype", 0)}, 0, "0123456789ABCDEF", "08"},
        {{Type("key", "11 22 33 44 55 66 77 88 99 00")}, -1, "11 22 33 44 55 66 77 88 99 00", "10"},
        {{Type("key", "1122334455667788 1122334455667788")},
         1,
         "1122334455667788 1122334455667788",
         "16"},
        {{Type("key", std::string(48, 'A'))},
         2,
         "AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA",
         "24"},
        {{Type("key", "1122334455667788")}, 0, "1122334455667788", "08"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        Apply(page, c.gestures);
        EXPECT_EQ(page.FindOption("keytype")->selected, c.keytype);
        EXPECT_EQ(TextOf(page, "key"), c.key);
        EXPECT_EQ(page.FindField("key")->counter, c.counter);
    }
}

TEST(DesPage, ModeEnablesTheIvAndKeepsItsText) {
    CDesPage page;
    page.Choose("mode", 1);
    EXPECT_TRUE(page.FindField("iv")->enabled);
    page.Type("iv", "1122");
    EXPECT_EQ(page.FindField("iv")->counter, "02");
    page.Choose("mode", 0);
    EXPECT_FALSE(page.FindField("iv")->enabled);
    EXPECT_EQ(TextOf(page, "iv"), "1122");
}

TEST(DesPage, DeriveSubKeyIsTheFactorAndItsComplementEncrypted) {
    // OpenSSL: des-ede with K1 = K2 over 1122334455667788 EEDDCCBBAA998877.
    EXPECT_EQ(CDesPage::DeriveSubKey("1122334455667788", "0123456789ABCDEF"),
              "B4CC3FD9D8D952142465C63C5935E357");
    EXPECT_EQ(CDesPage::DeriveSubKey("1122334455667788", "0123456789ABCDEFFEDCBA9876543210"),
              "3EB3B72576BBBE831355AB0EE3123AE8");
    EXPECT_EQ(CDesPage::DeriveSubKey("11223344", "0123456789ABCDEF"), "");
}

}  // namespace

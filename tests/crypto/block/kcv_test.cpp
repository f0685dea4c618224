// The key check value beside the key of the DES, MAC, AES and SM4 pages. Expected values: the
// first 3 bytes of OpenSSL's des-ecb, des-ede-ecb, des-ede3-ecb, aes-*-ecb or sm4-ecb of the zero
// block.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "pages/aes_page.h"
#include "pages/des_page.h"
#include "pages/mac_page.h"
#include "pages/sm4_page.h"
#include "support/page_gestures.h"

namespace {

using PageFactory = std::function<std::unique_ptr<CPage>()>;

template <typename PageType>
PageFactory Make() {
    return [] { return std::make_unique<PageType>(); };
}

TEST(KeyCheckValue, FollowsEveryChangeOfTheKey) {
    const struct {
        const char* name;
        PageFactory make;
        std::vector<Gesture> gestures;
        const char* kcv;
    } cases[] = {
        {"des start", Make<CDesPage>(), {}, "D5D44F"},
        {"des double radio", Make<CDesPage>(), {Pick("keytype", 1)}, "08D7B4"},
        {"des triple radio", Make<CDesPage>(), {Pick("keytype", 2)}, "3FD539"},
        {"des typed lower case with blanks",
         Make<CDesPage>(),
         {Type("key", "01234567 89abcdef")},
         "D5D44F"},
        {"des 10 bytes", Make<CDesPage>(), {Type("key", std::string(20, '1'))}, ""},
        {"des odd digits", Make<CDesPage>(), {Type("key", "0123456789ABCDE")}, ""},
        {"des not hex", Make<CDesPage>(), {Type("key", "0123456789ABCDEG")}, ""},
        {"des cleared", Make<CDesPage>(), {Type("data", "11"), Type("key", "")}, ""},
        {"mac start", Make<CMacPage>(), {}, "D5D44F"},
        {"mac triple radio", Make<CMacPage>(), {Pick("keytype", 2)}, "3FD539"},
        {"aes start", Make<CAesPage>(), {}, "C6A13B"},
        {"aes 24", Make<CAesPage>(), {Pick("keytype", 1)}, "916251"},
        {"aes 32", Make<CAesPage>(), {Pick("keytype", 2)}, "F29000"},
        {"aes 8 bytes", Make<CAesPage>(), {Type("key", "0123456789ABCDEF")}, ""},
        {"sm4 start", Make<CSm4Page>(), {}, "2677F4"},
        {"sm4 24 bytes", Make<CSm4Page>(), {Type("key", std::string(48, 'A'))}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::unique_ptr<CPage> page = c.make();
        Apply(*page, c.gestures);
        EXPECT_EQ(TextOf(*page, "kcv"), c.kcv);
        EXPECT_TRUE(FieldOf(*page, "kcv").read_only);
    }
}

TEST(KeyCheckValue, ClearEmptiesIt) {
    for (const PageFactory& make : {Make<CMacPage>(), Make<CAesPage>(), Make<CSm4Page>()}) {
        const std::unique_ptr<CPage> page = make();
        SCOPED_TRACE(page->Name());
        ASSERT_NE(TextOf(*page, "kcv"), "");
        EXPECT_EQ(page->Press("clear"), std::nullopt);
        EXPECT_EQ(TextOf(*page, "kcv"), "");
    }
}

}  // namespace

#include "pages/tlv_page.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const char kFciListing[] =
    "[6F]\t0E\t8407A0000003330101A50350014B\t文件控制信息（FCI）模板\r\n"
    "\t[[84]]\t07\tA0000003330101\t专用文件（DF）名称\r\n"
    "\t[[A5]]\t03\t50014B\t文件控制信息（FCI）专用模板\r\n"
    "\t\t[[[50]]]\t01\t4B\t应用标签\r\n";

}  // namespace

TEST(TlvPage, ParseListsTheDataAndCountsItsBytes) {
    struct Case {
        const char* data;
        const char* result;
        const char* counter;  // only blanks are left out of the count
    };
    const Case cases[] = {
        {"", "", "00"},
        {"6F 0E 84 07 A0 00 00 03 33 01 01 A5 03 50 01 4B", kFciListing, "16"},
        {"6f0e\r\n8407a0000003330101\r\na50350014b", kFciListing, "18"},
        {"6F0E\t8407A0000003330101 \t A50350014B\r\n", kFciListing, "18"},
        {"6F0E84 07A000\r \n0003330101A50350014B", kFciListing, "17"},  // CR LF once blanks go
        {"80 06 1122 3344 5566", "", "08"},  // response format 1 starts no object
        {"5A01\nAA", "", "03"},              // a lone LF stays and converts as a zero digit
        {"5A01AA\r", "", "03"},              // so does a lone CR
        {"5A 03 50 01 4", "[5A]\t03\t500140\t应用主账号（PAN）\r\n\t[[50]]\t01\t40\t应用标签\r\n",
         "04"},  // the odd last digit is a high nibble
        {"12345", "", "02"},
        {"12 34", "", "02"},
        {"12\r\n34", "", "03"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.data);
        CTlvPage page;
        page.Type("data", c.data);
        EXPECT_EQ(page.FindField("data")->counter, c.counter);
        EXPECT_EQ(page.Press("parse"), std::nullopt);
        EXPECT_EQ(page.FindField("result")->text, c.result);
        EXPECT_EQ(page.WrittenFields(), std::vector<std::string>{"result"});
    }
}

TEST(TlvPage, EveryPressReplacesTheResult) {
    CTlvPage page;
    page.Type("data", "6F0E8407A0000003330101A50350014B");
    EXPECT_EQ(page.Press("parse"), std::nullopt);
    EXPECT_EQ(page.Press("parse"), std::nullopt);
    EXPECT_EQ(page.FindField("result")->text, kFciListing);
    page.Type("data", "6F0E");
    EXPECT_EQ(page.Press("parse"), std::nullopt);
    EXPECT_EQ(page.FindField("result")->text, "");
}

TEST(TlvPage, PrepareRemovesBlanksTabsAndCrLfPairsOnly) {
    EXPECT_EQ(CTlvPage::PrepareTlvText(" 5A\t01 \r\nAA\r\n"), "5A01AA");
    EXPECT_EQ(CTlvPage::PrepareTlvText("\r5A\n"), "\r5A\n");
    EXPECT_EQ(CTlvPage::PrepareTlvText("\r\r\n\n"), "\r\n");
}

// The operation-log record of one action per kind of page: a result, a refusal, a multi-line
// listing, an outcome without a field.
#include "common/operation_log.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "pages/des_page.h"
#include "pages/sm2_page.h"
#include "pages/tlv_page.h"
#include "support/page_gestures.h"

namespace {

TEST(OperationLog, RecordsInputsOptionsAndWhatTheActionGave) {
    const struct {
        std::function<std::unique_ptr<CPage>()> make;
        std::vector<Gesture> gestures;
        const char* action;
        const char* record;
    } cases[] = {
        {[] { return std::make_unique<CDesPage>(); },
         {Type("data", "1122334455667788")},
         "encrypt",
         "[2026-12-07 12:00:00] des encrypt (加密)\n"
         "  options: keytype=single mode=ecb spaced=no\n"
         "  data: 1122334455667788\n"
         "  key: 0123456789ABCDEF\n"
         "  => result: B4CC3FD9D8D95214\n"},
        {[] { return std::make_unique<CDesPage>(); },
         {Type("data", "112")},
         "encrypt",
         "[2026-12-07 12:00:00] des encrypt (加密)\n"
         "  options: keytype=single mode=ecb spaced=no\n"
         "  data: 112\n"
         "  key: 0123456789ABCDEF\n"
         "  => Error: Encrypt Data should be even , and not be odd , Pls Check !!!\n"},
        {[] { return std::make_unique<CTlvPage>(); },
         {Type("data", "5A021234\r\n9F3602000A")},
         "parse",
         "[2026-12-07 12:00:00] tlv parse (TLV解析)\n"
         "  options: mode=data\n"
         "  data: 5A021234\n"
         "      9F3602000A\n"
         "  => result: [5A]\t02\t1234\t应用主账号（PAN）\n"
         "      [9F36]\t02\t000A\t应用交易计数器\n"},
    };
    for (const auto& c : cases) {
        const std::unique_ptr<CPage> page = c.make();
        Apply(*page, c.gestures);
        const ActionResult message = page->Press(c.action);
        EXPECT_EQ(LogRecord(*page, c.action, message, "2026-12-07 12:00:00"), c.record);
    }
}

TEST(OperationLog, AnOutcomeIsRecordedWithoutAField) {
    CSm2Page page;
    ASSERT_EQ(page.Press("sign"), std::nullopt);
    page.Choose("op", 1);
    page.Choose("genpub", 0);  // the public key of the signing key
    const ActionResult outcome = page.Press("verify");
    ASSERT_TRUE(outcome.has_value());
    const std::string record = LogRecord(page, "verify", outcome, "t");
    EXPECT_NE(record.find("  => 提示: 签名验证正确\n"), std::string::npos) << record;
}

}  // namespace

// A long action that is cancelled leaves the form exactly as it was and shows no message.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "pages/crt_page.h"
#include "pages/rsa_page.h"
#include "pages/sm4_page.h"
#include "support/page_gestures.h"

namespace {

struct FieldState {
    std::string text, label, counter;
    bool operator==(const FieldState&) const = default;
};

std::vector<FieldState> StateOf(const CPage& page) {
    std::vector<FieldState> state;
    for (const Field& field : page.Fields()) {
        state.push_back({field.text, field.label, field.counter});
    }
    return state;
}

TEST(CancelledAction, WritesNothingAndSaysNothing) {
    const struct {
        std::function<std::unique_ptr<CPage>()> make;
        std::vector<Gesture> gestures;
        const char* action;
    } cases[] = {
        {[] { return std::make_unique<CSm4Page>(); },
         {Pick("repeat", 0), Type("count", "2147483647")},
         "encrypt"},
        {[] { return std::make_unique<CSm4Page>(); },
         {Pick("mode", 1), Pick("repeat", 0), Type("count", "2147483647")},
         "decrypt"},
        {[] { return std::make_unique<CRsaPage>(); }, {}, "genkey"},
        {[] { return std::make_unique<CCrtPage>(); }, {}, "genkey"},
    };
    for (const auto& c : cases) {
        const std::unique_ptr<CPage> page = c.make();
        SCOPED_TRACE(page->Name() + " " + c.action);
        Apply(*page, c.gestures);
        EXPECT_TRUE(page->FindButton(c.action)->long_running);
        const std::vector<FieldState> before = StateOf(*page);
        CProgress progress;
        progress.Cancel();
        EXPECT_EQ(page->Press(c.action, &progress), std::nullopt);
        EXPECT_EQ(StateOf(*page), before);
        EXPECT_TRUE(page->WrittenFields().empty());
    }
}

}  // namespace

// A megabyte pasted into any field: every enabled button of every page answers with a result or a
// message, a refusal changes nothing, and the byte counters agree with the fields. No time is
// asserted; quadratic work in the counters, the checks or the result formatting shows as a run
// that does not end.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "common/hex_codec.h"
#include "pages/page_registry.h"

namespace {

constexpr size_t kMegabyte = 1 << 20;

std::string MegabyteOfHex() {
    std::string text;
    text.reserve(kMegabyte);
    while (text.size() < kMegabyte) {
        text += "0123456789ABCDEF";
    }
    return text;
}

std::vector<std::string> FieldTexts(const CPage& page) {
    std::vector<std::string> texts;
    for (const Field& field : page.Fields()) {
        texts.push_back(field.text);
    }
    return texts;
}

bool AcceptsTyping(const Field& field) {
    return field.visible && field.enabled && !field.read_only;
}

// Slow actions that a megabyte does not change: the SM4 repeat run and RSA key generation.
bool IsSlowAction(const CPage& page, const Button& button) {
    return button.id == "genkey" ||
           (page.Name() == "sm4" && page.FindOption("repeat")->selected == 0 &&
            (button.id == "encrypt" || button.id == "decrypt"));
}

std::unique_ptr<CPage> FreshPage(size_t index) {
    auto pages = CreatePages();
    return std::move(pages[index]);
}

void ChooseSpacedResults(CPage& page) {
    if (const OptionGroup* spaced = page.FindOption("spaced")) {
        for (size_t i = 0; i < spaced->choices.size(); ++i) {
            if (spaced->choices[i].name == "yes") {
                page.Choose("spaced", static_cast<int>(i));
            }
        }
    }
}

void ExpectCountersAgree(const CPage& page, const std::string& where) {
    for (const Field& field : page.Fields()) {
        if (field.counter_rule == CounterRule::Bytes && !field.counter.empty()) {
            EXPECT_EQ(field.counter,
                      FormatCount(static_cast<long long>(RemoveBlanks(field.text).size() / 2)))
                << where << " counter of " << field.id;
        }
    }
}

// Each field alone holds the megabyte (the others keep their defaults, so that valid keys let the
// data through to the engines), then each button is pressed on a page prepared afresh.
TEST(LargeInput, MegabyteInEveryFieldAnswersEveryButton) {
    const std::string megabyte = MegabyteOfHex();
    const size_t page_count = CreatePages().size();
    // Actions that took the megabyte and wrote a result, so that the test cannot pass by refusals
    // alone.
    size_t results = 0;
    for (size_t p = 0; p < page_count; ++p) {
        const auto prototype = FreshPage(p);
        ChooseSpacedResults(*prototype);
        for (const Field& target : prototype->Fields()) {
            if (!AcceptsTyping(target)) {
                continue;
            }
            for (const Button& button : prototype->Buttons()) {
                const auto page = FreshPage(p);
                ChooseSpacedResults(*page);
                const std::string where =
                    page->Name() + ": 1 MB in " + target.id + ", press " + button.id;
                ASSERT_NO_THROW(page->Type(target.id, megabyte)) << where;
                ExpectCountersAgree(*page, where + " (typed)");
                if (!page->FindButton(button.id)->enabled || IsSlowAction(*page, button)) {
                    continue;
                }
                const std::vector<std::string> before = FieldTexts(*page);
                ActionResult result;
                ASSERT_NO_THROW(result = page->Press(button.id)) << where;
                EXPECT_TRUE(result.has_value() || !page->WrittenFields().empty())
                    << where << ": neither a result nor a message";
                if (result && result->kind == MessageKind::Refusal) {
                    EXPECT_EQ(FieldTexts(*page), before) << where << ": " << result->text;
                } else if (!page->WrittenFields().empty() && button.id != "clear") {
                    ++results;
                }
                ExpectCountersAgree(*page, where);
            }
        }
    }
    EXPECT_GT(results, 20u);
}

// Every field at once, on one page per tab: every button in turn answers, whichever check fails
// first; the clearing buttons come last so that the others all see the megabytes.
TEST(LargeInput, MegabyteInAllFieldsAtOnceAnswersEveryButton) {
    const std::string megabyte = MegabyteOfHex();
    for (const auto& page : CreatePages()) {
        for (const Field& field : page->Fields()) {
            if (AcceptsTyping(field)) {
                page->Type(field.id, megabyte);
            }
        }
        std::vector<std::string> buttons;
        for (const bool clearing : {false, true}) {
            for (const Button& button : page->Buttons()) {
                if ((button.id.rfind("clear", 0) == 0) == clearing) {
                    buttons.push_back(button.id);
                }
            }
        }
        for (const std::string& id : buttons) {
            const std::string where = page->Name() + ": 1 MB everywhere, press " + id;
            if (!page->FindButton(id)->enabled || IsSlowAction(*page, *page->FindButton(id))) {
                continue;
            }
            const std::vector<std::string> before = FieldTexts(*page);
            ActionResult result;
            ASSERT_NO_THROW(result = page->Press(id)) << where;
            EXPECT_TRUE(result.has_value() || !page->WrittenFields().empty())
                << where << ": neither a result nor a message";
            if (result && result->kind == MessageKind::Refusal) {
                EXPECT_EQ(FieldTexts(*page), before) << where << ": " << result->text;
            }
            ExpectCountersAgree(*page, where);
        }
    }
}

}  // namespace

// Every button of every page under every option choice: an action answers with a result or a
// message, never with an exception (a mistyped field id in a page would throw here first), and a
// refusal leaves every field as it was.
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "pages/page_registry.h"

namespace {

std::vector<std::string> FieldTexts(const CPage& page) {
    std::vector<std::string> texts;
    for (const Field& field : page.Fields()) {
        texts.push_back(field.text);
    }
    return texts;
}

// Slow choices that add nothing to this test: a million SM4 passes, the largest RSA keys.
bool IsSlow(const std::string& page, const std::string& group, const std::string& choice) {
    return (page == "sm4" && group == "repeat" && choice == "yes") ||
           ((page == "rsa" || page == "crt") && group == "bits" && choice != "128" &&
            choice != "256");
}

TEST(EveryPage, EveryButtonUnderEveryChoiceAnswersWithoutThrowing) {
    const auto pages = CreatePages();
    for (const auto& prototype : pages) {
        for (const OptionGroup& group : prototype->Options()) {
            for (size_t choice = 0; choice < group.choices.size(); ++choice) {
                if (IsSlow(prototype->Name(), group.id, group.choices[choice].name)) {
                    continue;
                }
                for (const Button& button : prototype->Buttons()) {
                    // A fresh page each time, so that one action's result is not the next's input.
                    auto fresh = CreatePages();
                    CPage& page = *fresh[static_cast<size_t>(&prototype - pages.data())];
                    const std::string where = page.Name() + " " + group.id + "=" +
                                              group.choices[choice].name + " " + button.id;
                    ASSERT_NO_THROW(page.Choose(group.id, static_cast<int>(choice))) << where;
                    if (!page.FindButton(button.id)->enabled) {
                        continue;
                    }
                    const std::vector<std::string> before = FieldTexts(page);
                    ActionResult result;
                    ASSERT_NO_THROW(result = page.Press(button.id)) << where;
                    if (result && result->kind == MessageKind::Refusal) {
                        EXPECT_EQ(FieldTexts(page), before) << where;
                        EXPECT_TRUE(page.WrittenFields().empty()) << where;
                    }
                }
            }
        }
        if (prototype->Options().empty()) {
            auto fresh = CreatePages();
            CPage& page = *fresh[static_cast<size_t>(&prototype - pages.data())];
            for (const Button& button : page.Buttons()) {
                EXPECT_NO_THROW(page.Press(button.id)) << page.Name() << " " << button.id;
            }
        }
    }
}

}  // namespace

namespace {

CPage& PageNamed(std::vector<std::unique_ptr<CPage>>& pages, const std::string& name) {
    for (auto& page : pages) {
        if (page->Name() == name) {
            return *page;
        }
    }
    throw std::invalid_argument("no page " + name);
}

}  // namespace

// Enter in a one-row field presses the action that uses the field, never a key generation or a
// clear, and on the SM2 page the operation chosen.
TEST(EveryPage, EnterPressesTheActionOfTheFieldsSection) {
    const struct {
        const char* page;
        const char* op;  // SM2 operation chosen first, or nullptr
        const char* field;
        const char* action;
    } cases[] = {
        {"des", nullptr, "data", "encrypt"},       {"mac", nullptr, "key", "compute"},
        {"aes", nullptr, "iv", "encrypt"},         {"rsa", nullptr, "e", "encrypt"},
        {"sm3", nullptr, "hmac_key", "hmac"},      {"sm4", nullptr, "count", "encrypt"},
        {"emv", nullptr, "pan", "compute"},        {"sm2", nullptr, "privkey", "sign"},
        {"sm2", "verify", "px", "verify"},         {"sm2", "decrypt", "privkey", "decrypt"},
        {"sm2", "exchange", "userid", "exchange"},
    };
    for (const auto& c : cases) {
        auto pages = CreatePages();
        CPage& page = PageNamed(pages, c.page);
        if (c.op != nullptr) {
            const OptionGroup& op = *page.FindOption("op");
            for (size_t i = 0; i < op.choices.size(); ++i) {
                if (op.choices[i].name == c.op) {
                    page.Choose("op", static_cast<int>(i));
                }
            }
        }
        EXPECT_EQ(page.EnterAction(c.field), c.action) << c.page << " " << c.field;
    }
    // No page offers a key generation or a clear to Enter.
    auto pages = CreatePages();
    for (const auto& page : pages) {
        for (const Field& field : page->Fields()) {
            const std::string action = page->EnterAction(field.id);
            EXPECT_TRUE(action.find("clear") == std::string::npos && action != "genkey")
                << page->Name() << " " << field.id << " -> " << action;
        }
    }
}

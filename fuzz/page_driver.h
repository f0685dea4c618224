// The page driver of the page fuzz targets: decodes the input into gestures on one page (choices,
// typed texts of any bytes and lengths, presses, cancelled presses) and checks the page after
// each one.
//
// After every gesture, every Bytes counter agrees with its field (an empty field may have an empty
// counter) and nothing has thrown. After a
// press: a refusal (a message box of kind Refusal) changed no field; a cancelled press changed no
// field and showed nothing; otherwise only the fields the action reports in WrittenFields changed,
// plus the key check value "kcv", which follows the key.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <memory>
#include <string>
#include <string_view>
#include <typeinfo>
#include <utility>
#include <vector>

#include "common/hex_codec.h"
#include "common/page.h"
#include "common/progress.h"
#include "fuzz_check.h"
#include "pages/aes_page.h"
#include "pages/big_num_page.h"
#include "pages/checksum_page.h"
#include "pages/cipher_page.h"
#include "pages/convert_page.h"
#include "pages/crt_page.h"
#include "pages/data_op_page.h"
#include "pages/des_page.h"
#include "pages/emv_page.h"
#include "pages/mac_page.h"
#include "pages/page_registry.h"
#include "pages/rsa_page.h"
#include "pages/sm2_page.h"
#include "pages/sm3_page.h"
#include "pages/sm4_page.h"
#include "pages/tlv_page.h"

namespace page_driver {

constexpr int kMaxGestures = 48;
constexpr int kMaxPresses = 12;

struct FieldState {
    std::string text;
    std::string counter;
};

inline std::vector<FieldState> Snapshot(const CPage& page) {
    std::vector<FieldState> state;
    for (const Field& field : page.Fields()) {
        state.push_back({field.text, field.counter});
    }
    return state;
}

template <typename Page>
std::unique_ptr<CPage> Make() {
    return std::make_unique<Page>();
}

// MakePage makes the page named `name` alone (CreatePages would make all fourteen, which costs
// more than most runs); the registry checks that the name and the class agree.
inline std::unique_ptr<CPage> MakePage(std::string_view name) {
    static const std::vector<std::pair<std::string_view, std::unique_ptr<CPage> (*)()>> kPages = {
        {"des", &Make<CDesPage>},       {"mac", &Make<CMacPage>},
        {"aes", &Make<CAesPage>},       {"rsa", &Make<CRsaPage>},
        {"crt", &Make<CCrtPage>},       {"convert", &Make<CConvertPage>},
        {"dataop", &Make<CDataOpPage>}, {"checksum", &Make<CChecksumPage>},
        {"bignum", &Make<CBigNumPage>}, {"tlv", &Make<CTlvPage>},
        {"sm4", &Make<CSm4Page>},       {"sm3", &Make<CSm3Page>},
        {"sm2", &Make<CSm2Page>},       {"emv", &Make<CEmvPage>},
        {"cipher", &Make<CCipherPage>},
    };
    static const bool registered = [&] {
        for (const auto& page : CreatePages()) {
            const auto it = std::find_if(kPages.begin(), kPages.end(), [&](const auto& entry) {
                return entry.first == page->Name();
            });
            const CPage& registered_page = *page;
            const std::unique_ptr<CPage> made = it != kPages.end() ? it->second() : nullptr;
            const CPage* made_page = made.get();
            FUZZ_CHECK(made_page != nullptr && typeid(*made_page) == typeid(registered_page),
                       "the driver does not know the page " + page->Name());
        }
        return true;
    }();
    static_cast<void>(registered);
    for (const auto& [page_name, make] : kPages) {
        if (page_name == name) {
            return make();
        }
    }
    FUZZ_CHECK(false, "no page named " + std::string(name));
    return nullptr;
}

// Where a check failed: the page, the gesture number and what it did.
struct Trace {
    std::string page;
    std::vector<std::string> steps;
    std::string Text() const {
        std::string text = "page " + page;
        for (size_t i = 0; i < steps.size(); ++i) {
            text += "\n  " + std::to_string(i) + ": " + steps[i];
        }
        return text;
    }
};

inline std::string Printable(std::string_view text) {
    std::string out;
    const size_t shown = text.size() < 80 ? text.size() : 80;
    for (size_t i = 0; i < shown; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c < 0x7F) {
            out.push_back(static_cast<char>(c));
        } else {
            out += "\\x" + BytesToHex(std::span<const uint8_t>(&c, 1));
        }
    }
    if (shown < text.size()) {
        out += "... (" + std::to_string(text.size()) + " bytes)";
    }
    return out;
}

inline void CheckCounters(const CPage& page, const Trace& trace) {
    for (const Field& field : page.Fields()) {
        if (field.counter_rule == CounterRule::Bytes) {
            const std::string expected =
                FormatCount(static_cast<long long>(RemoveBlanks(field.text).size() / 2));
            // An empty field may show an empty counter: at page start, and after a clear that
            // empties the counter after its field.
            FUZZ_CHECK(field.counter == expected || (field.text.empty() && field.counter.empty()),
                       "counter of " + field.id + " is " + field.counter + ", not " + expected +
                           "\n" + trace.Text());
        }
    }
}

// MakeText decodes one typed text: any bytes, hex-like text with blanks and line breaks, a
// long repetition, an edit of the current text, decimal digits, or nothing.
inline std::string MakeText(FuzzedDataProvider& in, const std::string& current) {
    static constexpr std::string_view kHexish = "0123456789ABCDEFabcdef  \t\r\nGz-+.";
    switch (in.ConsumeIntegralInRange(0, 5)) {
        case 0:
            return in.ConsumeRandomLengthString(300);
        case 1: {
            std::string text = in.ConsumeRandomLengthString(600);
            for (char& c : text) {
                c = kHexish[static_cast<unsigned char>(c) % kHexish.size()];
            }
            return text;
        }
        case 2: {
            std::string unit = in.ConsumeRandomLengthString(8);
            for (char& c : unit) {
                c = kHexish[static_cast<unsigned char>(c) % 16];
            }
            if (unit.empty()) {
                unit = "0";
            }
            const size_t times = in.ConsumeIntegralInRange<size_t>(1, 2048);
            std::string text;
            text.reserve(unit.size() * times);
            for (size_t i = 0; i < times; ++i) {
                text += unit;
            }
            return text;
        }
        case 3: {
            std::string text = current;
            const size_t at = in.ConsumeIntegralInRange<size_t>(0, text.size());
            if (in.ConsumeBool()) {
                text.insert(at, in.ConsumeRandomLengthString(16));
            } else {
                text.erase(at, in.ConsumeIntegralInRange<size_t>(0, 16));
            }
            return text;
        }
        case 4: {
            std::string text = in.ConsumeRandomLengthString(400);
            for (char& c : text) {
                c = static_cast<char>('0' + static_cast<unsigned char>(c) % 10);
            }
            return text;
        }
        default:
            return "";
    }
}

// RepeatCount reads the SM4 page's count as the page does: blanks dropped, an optional sign, the
// digits up to the first other character (none is 0).
inline long long RepeatCount(std::string_view text) {
    std::string digits = RemoveBlanks(text);
    size_t start = !digits.empty() && (digits[0] == '+' || digits[0] == '-') ? 1 : 0;
    unsigned long long value = 0;
    const auto [end, error] =
        std::from_chars(digits.data() + start, digits.data() + digits.size(), value);
    if (error == std::errc::result_out_of_range) {
        return -1;  // refused by the page before any work
    }
    return start == 1 && digits[0] == '-' ? -static_cast<long long>(value)
                                          : static_cast<long long>(value);
}

inline std::string ChoiceName(const CPage& page, std::string_view group) {
    const OptionGroup* options = page.FindOption(group);
    if (options == nullptr || options->selected < 0 ||
        options->selected >= static_cast<int>(options->choices.size())) {
        return "";
    }
    return options->choices[static_cast<size_t>(options->selected)].name;
}

// IsSlow keeps the runs quick: SM4 repeat runs of more than three passes and RSA key generation
// above 256 bits are left out (they only repeat what the short ones do).
inline bool IsSlow(const CPage& page, const Button& button) {
    if (page.Name() == "sm4" && (button.id == "encrypt" || button.id == "decrypt") &&
        ChoiceName(page, "repeat") == "yes" && ChoiceName(page, "mode") != "mac") {
        const long long count = RepeatCount(page.FindField("count")->text);
        return count > 3 && count <= 2147483647;
    }
    if (button.id == "genkey") {
        const std::string bits = ChoiceName(page, "bits");
        return bits != "128" && bits != "256";
    }
    return false;
}

inline void CheckPress(const CPage& page, const std::vector<FieldState>& before,
                       const ActionResult& result, bool cancelled, const Trace& trace) {
    const std::vector<FieldState> after = Snapshot(page);
    const std::vector<std::string> written = page.WrittenFields();
    const auto is_written = [&](const std::string& id) {
        for (const std::string& w : written) {
            if (w == id) {
                return true;
            }
        }
        return false;
    };
    if (result) {
        FUZZ_CHECK(!result->text.empty(), "a message box without text\n" + trace.Text());
    }
    const bool refused = result && result->kind == MessageKind::Refusal;
    FUZZ_CHECK(
        !(cancelled && result),
        "a cancelled press showed: " + result.value_or(MessageBox{}).text + "\n" + trace.Text());
    if (refused || cancelled) {
        FUZZ_CHECK(written.empty(),
                   "a refused or cancelled press reports written fields\n" + trace.Text());
    }
    const std::vector<Field>& fields = page.Fields();
    for (size_t i = 0; i < fields.size(); ++i) {
        const bool changed =
            after[i].text != before[i].text || after[i].counter != before[i].counter;
        if (!changed) {
            continue;
        }
        const std::string what = "field " + fields[i].id + " changed from \"" +
                                 Printable(before[i].text) + "\" [" + before[i].counter +
                                 "] to \"" + Printable(after[i].text) + "\" [" + after[i].counter +
                                 "]";
        FUZZ_CHECK(!refused, "refusal \"" + (result ? result->text : "") + "\" but " + what + "\n" +
                                 trace.Text());
        FUZZ_CHECK(!cancelled, "cancelled, but " + what + "\n" + trace.Text());
        FUZZ_CHECK(is_written(fields[i].id) || fields[i].id == "kcv",
                   what + ", not among the written fields\n" + trace.Text());
    }
}

inline void Drive(std::string_view page_name, const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const std::unique_ptr<CPage> page = MakePage(page_name);
    Trace trace{std::string(page_name), {}};
    int presses = 0;
    try {
        for (int gesture = 0; gesture < kMaxGestures && in.remaining_bytes() > 0; ++gesture) {
            const int kind = in.ConsumeIntegralInRange(0, 9);
            if (kind <= 1) {
                const auto& options = page->Options();
                if (options.empty()) {
                    continue;
                }
                const OptionGroup& group =
                    options[in.ConsumeIntegralInRange<size_t>(0, options.size() - 1)];
                const int choice =
                    in.ConsumeIntegralInRange<int>(0, static_cast<int>(group.choices.size()) - 1);
                trace.steps.push_back("choose " + group.id + " " +
                                      group.choices[static_cast<size_t>(choice)].name);
                page->Choose(group.id, choice);
            } else if (kind <= 5) {
                std::vector<const Field*> editable;
                for (const Field& field : page->Fields()) {
                    if (field.visible && field.enabled && !field.read_only) {
                        editable.push_back(&field);
                    }
                }
                if (editable.empty()) {
                    continue;
                }
                const Field& field =
                    *editable[in.ConsumeIntegralInRange<size_t>(0, editable.size() - 1)];
                const std::string id = field.id;
                std::string text = MakeText(in, field.text);
                trace.steps.push_back("type " + id + " \"" + Printable(text) + "\"");
                page->Type(id, std::move(text));
            } else {
                std::vector<const Button*> enabled;
                for (const Button& button : page->Buttons()) {
                    if (button.enabled) {
                        enabled.push_back(&button);
                    }
                }
                if (enabled.empty() || presses == kMaxPresses) {
                    continue;
                }
                const Button& button =
                    *enabled[in.ConsumeIntegralInRange<size_t>(0, enabled.size() - 1)];
                const bool cancelled = in.ConsumeIntegralInRange(0, 7) == 0;
                if (IsSlow(*page, button)) {
                    continue;
                }
                ++presses;
                const std::string id = button.id;
                trace.steps.push_back(std::string(cancelled ? "press (cancelled) " : "press ") +
                                      id);
                const std::vector<FieldState> before = Snapshot(*page);
                CProgress progress;
                if (cancelled) {
                    progress.Cancel();
                }
                const ActionResult result = page->Press(id, cancelled ? &progress : nullptr);
                if (result) {
                    trace.steps.back() += " -> \"" + Printable(result->text) + "\"";
                }
                CheckPress(*page, before, result, cancelled, trace);
            }
            CheckCounters(*page, trace);
        }
    } catch (const std::exception& e) {
        FUZZ_CHECK(false, std::string("exception: ") + e.what() + "\n" + trace.Text());
    }
}

}  // namespace page_driver

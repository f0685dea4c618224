#include "common/trace.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace {

// The layout every page's trace field shows, where the EMV traces do not reach it: no text for no
// steps, CR LF between lines and none after the last, a note on the line after its value, a value
// of no bytes as "name: ".
TEST(Trace, FormatTrace) {
    const std::vector<uint8_t> key = {0x01, 0xAB};
    const struct {
        const char* name;
        std::function<void(CTrace&)> fill;
        const char* text;
    } cases[] = {
        {"nothing", [](CTrace&) {}, ""},
        {"values, text and notes",
         [&key](CTrace& t) {
             t.Value("KCV", key, "Warning: weak");
             t.Text("X", "0123");
             t.Value("empty", {});
             t.Values("CBC", {key, {0xFF}});
         },
         "KCV: 01AB\r\nWarning: weak\r\nX: 0123\r\nempty: \r\nCBC 1: 01AB\r\nCBC 2: FF"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CTrace trace;
        c.fill(trace);
        EXPECT_EQ(FormatTrace(trace), c.text);
    }
}

}  // namespace

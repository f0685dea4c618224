// The two outcomes of a big-number page action: its result written into one field, or a
// caption-less refusal that writes nothing.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/page.h"

// ExpectWrittenOrRefused checks, for an empty `message`, that the action succeeded and wrote only
// `field`, with `written`; otherwise that it was refused with `message` in a caption-less box,
// wrote nothing and left `field` holding `kept`.
inline void ExpectWrittenOrRefused(const CPage& page, const ActionResult& result,
                                   const std::string& field, const std::string& written,
                                   const std::string& message, const std::string& kept) {
    if (message.empty()) {
        ASSERT_EQ(result, std::nullopt) << result->text;
        EXPECT_EQ(page.FindField(field)->text, written);
        EXPECT_EQ(page.WrittenFields(), std::vector<std::string>{field});
    } else {
        ASSERT_TRUE(result.has_value());
        EXPECT_EQ(*result, (MessageBox{message, "", MessageIcon::None, MessageKind::Refusal}));
        EXPECT_EQ(page.FindField(field)->text, kept);
        EXPECT_TRUE(page.WrittenFields().empty());
    }
}

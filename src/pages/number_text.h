// Checks and messages shared by the big-number pages (calculator, RSA, CRT).
#pragma once

#include <string>
#include <string_view>

#include "common/page_form.h"

// IsDecimalText is true when every character is 0-9 (the empty text too).
bool IsDecimalText(std::string_view text);
// IsHexNumberText is true when every character is 0-9, A-F or a-f (the empty text too).
bool IsHexNumberText(std::string_view text);
// NoticeBox is a refusal shown in a box without caption or icon, as the big-number pages show
// every failed check.
MessageBox NoticeBox(std::string text);

// The command line's --json form: one JSON object with the whole page after an action.
#pragma once

#include <string>
#include <string_view>

#include "common/page.h"

// JsonString gives the text as a JSON string literal; UTF-8 passes through, control characters
// are escaped.
std::string JsonString(std::string_view text);

// PageJson gives {"page", "action", "message", "fields", "options", "buttons"} for the page as it
// stands, with `message` null when the action showed no message box.
std::string PageJson(const CPage& page, std::string_view action, const ActionResult& message);

// The operation log: one text record per action, so that a result can be pasted into a bug report
// or reproduced later. The window's log panel and keywright-cli --log print the same record.
#pragma once

#include <string>
#include <string_view>

#include "common/page.h"

// LogRecord gives the record of the page's last action `action`: the time, page and action, the
// options chosen, the fields the user can type into (keys included: this is a workbench), then
// the fields the action wrote or its message. Lines end in "\n"; multi-line texts are indented.
std::string LogRecord(const CPage& page, std::string_view action, const ActionResult& message,
                      std::string_view time);

// LocalTimeText gives the local time now as "YYYY-MM-DD HH:MM:SS".
std::string LocalTimeText();

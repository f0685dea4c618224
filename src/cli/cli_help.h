// The command line's descriptions of its pages: --list and PAGE --help.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "common/page.h"

// Usage gives the three forms of the command line.
std::string Usage();
// PageList describes every page: its actions, options with their choices, and fields.
std::string PageList(const std::vector<std::unique_ptr<CPage>>& pages);
// PageHelp describes one page in full, with the defaults it starts from.
std::string PageHelp(const CPage& page);

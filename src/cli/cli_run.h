// One run of the command line on one page: gestures in order, then the action's button.
#pragma once

#include <string>
#include <vector>

#include "common/page.h"

// Exit statuses of keywright-cli.
inline constexpr int kExitOk = 0;
inline constexpr int kExitRefused = 1;  // a message refused the action, or an outcome was negative
inline constexpr int kExitUsage =
    2;  // wrong page, action, option, choice or field; refused gesture

struct CliOutput {
    std::string out;
    std::string err;
    int status = kExitOk;
};

// RunAction applies the arguments after `PAGE ACTION` to the page as the user's gestures, presses
// the action's button and renders what the action produced.
CliOutput RunAction(CPage& page, const std::string& action, const std::vector<std::string>& args);

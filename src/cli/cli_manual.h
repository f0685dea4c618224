// The manual page and the bash completion of keywright-cli, written from the page models so that
// they always describe exactly the pages, actions, options and fields the program has.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "common/page.h"

// ManPage gives keywright-cli(1) in man(7) markup for the given version.
std::string ManPage(const std::vector<std::unique_ptr<CPage>>& pages, const std::string& version);

// BashCompletion gives a bash completion script: pages, then the page's actions, then its options
// and fields (with -file and -bytes), then an option's choices.
std::string BashCompletion(const std::vector<std::unique_ptr<CPage>>& pages);

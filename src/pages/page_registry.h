// Every page of the workbench, in the window's order, with the tab group each belongs to.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "common/page.h"

// CreatePages makes one object of each page class, in the window's order: the thirteen tool pages
// in the order of their tabs, then the grouped pages group by group. The command line lists them
// in this order too.
std::vector<std::unique_ptr<CPage>> CreatePages();

// PageGroups gives, for each page of CreatePages in the same order, the caption of the group tab
// that holds it in the window, or "" for a page that has a tab of its own.
std::vector<std::string> PageGroups();

// The fourteen pages of the main window, in tab order.
#pragma once

#include <memory>
#include <vector>

#include "common/page.h"

// CreatePages makes one object of each page class, in the order of the tab strip. A page whose
// model has no buttons yet is an empty page (the command line does not offer it).
std::vector<std::unique_ptr<CPage>> CreatePages();

// CEmptyPage stands under a tab whose page is not built yet: it has no fields and no actions.
#pragma once

#include "common/page.h"

class CEmptyPage : public CPage {
public:
    using CPage::CPage;
};

// The screenshot tour: every page with a typical action done on it, grabbed as one PNG per page
// (`keywright --screenshots DIR`, run by scripts/screenshots under Xvfb for the README).
#pragma once

#include <QString>

class CKeywrightDlg;

// RunScreenshotTour visits every tab of the window, does the page's typical action and writes
// DIR/NN-PAGE.png. Gives false when a picture could not be written.
bool RunScreenshotTour(CKeywrightDlg& window, const QString& dir);

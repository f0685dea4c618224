#include "app/screenshot_tour.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QScrollArea>
#include <QTabWidget>
#include <string>
#include <utility>
#include <vector>

#include "app/keywright_dlg.h"
#include "app/page_view.h"

namespace {

// What the tour does on a page: fields typed, choices made (group, index), then one action.
struct TourStop {
    const char* page;
    std::vector<std::pair<const char*, const char*>> typed;
    std::vector<std::pair<const char*, int>> chosen;
    const char* action;
};

const std::vector<TourStop>& Tour() {
    static const std::vector<TourStop> stops = {
        {"des", {{"data", "11 22 33 44 55 66 77 88"}}, {{"keytype", 1}}, "encrypt"},
        {"mac", {{"data", "11 22 33 44 55 66 77 88 99"}}, {}, "compute"},
        {"aes", {{"data", "00112233445566778899AABBCCDDEEFF"}}, {}, "encrypt"},
        {"rsa", {}, {{"bits", 1}}, "genkey"},
        {"crt", {}, {{"bits", 1}}, "genkey"},
        {"convert", {{"input", "4B6579777269676874"}}, {}, "convert"},
        {"dataop", {{"src1", "1122334455667788"}, {"src2", "FFFFFFFF00000000"}}, {}, "compute"},
        {"checksum", {{"data", "313233343536373839"}}, {}, "compute"},
        {"bignum",
         {{"a", "123456789012345678901234567890"}, {"b", "987654321098765432109876543210"}},
         {},
         "mul"},
        {"tlv",
         {{"data", "6F1A840E315041592E5359532E4444463031A5088801025F2D027A68"}},
         {},
         "parse"},
        {"sm4", {}, {}, "encrypt"},
        {"sm3", {}, {}, "hash"},
        {"sm2", {}, {}, "sign"},
        {"emv", {}, {}, "compute"},
        {"cipher", {{"aad", "FEEDFACEDEADBEEF"}}, {{"mode", 5}}, "encrypt"},
    };
    return stops;
}

void DoTourStop(CPageView& view, const TourStop& stop) {
    CPage& page = view.Page();
    for (const auto& [group, index] : stop.chosen) {
        if (page.FindOption(group) != nullptr) {
            page.Choose(group, index);
        }
    }
    for (const auto& [field, text] : stop.typed) {
        if (page.FindField(field) != nullptr) {
            page.Type(field, text);
        }
    }
    if (const Button* button = page.FindButton(stop.action); button && button->enabled) {
        page.Press(stop.action);
    }
    view.Refresh();
    // A long page (the EMV tab) scrolls so that the result is in the picture.
    const std::vector<std::string> written = page.WrittenFields();
    auto* scroll = qobject_cast<QScrollArea*>(view.parentWidget()->parentWidget());
    if (!written.empty() && scroll != nullptr) {
        if (auto* widget = view.findChild<QWidget*>(QString::fromStdString(written.back()))) {
            QApplication::processEvents();
            scroll->ensureWidgetVisible(widget, 0, 120);
        }
    }
}

}  // namespace

bool RunScreenshotTour(CKeywrightDlg& window, const QString& dir) {
    QDir().mkpath(dir);
    bool written = true;
    for (int index = 0; index < window.PageCount(); ++index) {
        window.ShowPage(index);
        CPageView& view = *window.PageView(index);
        for (const TourStop& stop : Tour()) {
            if (view.Page().Name() == stop.page) {
                DoTourStop(view, stop);
            }
        }
        QApplication::processEvents();
        const QString name = QStringLiteral("%1-%2.png")
                                 .arg(index + 1, 2, 10, QLatin1Char('0'))
                                 .arg(QString::fromStdString(view.Page().Name()));
        written = window.grab().save(QDir(dir).filePath(name)) && written;
    }
    return written;
}

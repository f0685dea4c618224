// Keywright: the workbench window.
#include <QApplication>

#include "app/app_icon.h"
#include "app/keywright_dlg.h"
#include "app/screenshot_tour.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Keywright"));
    QApplication::setApplicationName(QStringLiteral("Keywright"));
    // `keywright --screenshots DIR` grabs every page after a typical action and ends.
    const QStringList args = QApplication::arguments();
    if (args.size() == 3 && args[1] == QStringLiteral("--icon")) {
        return AppIconPixmap(256).save(args[2]) ? 0 : 1;
    }
    if (args.size() == 3 && args[1] == QStringLiteral("--screenshots")) {
        CKeywrightDlg window;
        window.resize(1024, 700);
        window.show();
        return RunScreenshotTour(window, args[2]) ? 0 : 1;
    }
    CKeywrightDlg window(nullptr, true);
    window.show();
    return QApplication::exec();
}

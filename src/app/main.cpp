// Keywright: the workbench window.
#include <QApplication>

#include "app/app_icon.h"
#include "app/keywright_dlg.h"
#include "app/screenshot_tour.h"
#include "app/toolkit_translations.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    InstallToolkitTranslations(app);
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
    CKeywrightDlg window;
    window.show();
    return QApplication::exec();
}

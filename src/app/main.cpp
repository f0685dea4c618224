// Keywright: the workbench window.
#include <QApplication>

#include "app/keywright_dlg.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Keywright"));
    CKeywrightDlg window;
    window.show();
    return QApplication::exec();
}

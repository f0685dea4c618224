#include "app/about_dlg.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/app_icon.h"
#include "common/version.h"

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("关于 Keywright"));
    setModal(true);
    auto* icon = new QLabel;
    icon->setPixmap(AppIcon().pixmap(48, 48));
    auto* lines = new QVBoxLayout;
    lines->addWidget(new QLabel(QStringLiteral("Keywright 1.0 版")));
    lines->addWidget(new QLabel(QStringLiteral("智能卡开发与测试的密码算法工作台")));
    auto* version = new QLabel(QStringLiteral("版本 ") + QString::fromLatin1(kKeywrightVersion));
    version->setObjectName(QStringLiteral("version"));
    version->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lines->addWidget(version);
    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addLayout(lines, 1);
    auto* ok = new QPushButton(QStringLiteral("确定"));
    ok->setObjectName(QStringLiteral("ok"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);
}

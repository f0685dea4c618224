#include "app/keywright_dlg.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/about_dlg.h"
#include "app/app_icon.h"
#include "app/page_view.h"
#include "pages/page_registry.h"

CKeywrightDlg::CKeywrightDlg(QWidget* parent) : QDialog(parent), m_pages(CreatePages()) {
    setWindowTitle(QStringLiteral("Hexwellv1.3 2012-01-14"));
    setWindowIcon(AppIcon());
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);

    // A dialog has no system menu to extend on every desktop: the about item sits in a help menu
    // and answers F1.
    auto* menus = new QMenuBar(this);
    QMenu* help = menus->addMenu(QStringLiteral("帮助(&H)"));
    m_about = help->addAction(QStringLiteral("关于 Keywright(&A)..."));
    m_about->setShortcut(QKeySequence(Qt::Key_F1));
    m_about->setShortcutContext(Qt::WindowShortcut);
    addAction(m_about);
    connect(m_about, &QAction::triggered, this, &CKeywrightDlg::ShowAbout);

    // Pages are created once and only hidden on a tab change, so every page keeps its fields.
    m_tabs = new QTabWidget(this);
    m_tabs->setUsesScrollButtons(false);
    for (const auto& page : m_pages) {
        auto* view = new CPageView(*page);
        auto* scroll = new QScrollArea;
        scroll->setWidget(view);
        scroll->setWidgetResizable(true);
        scroll->setFrameShape(QFrame::NoFrame);
        m_tabs->addTab(scroll, QString::fromStdString(page->TabCaption()));
        m_views.push_back(view);
    }
    m_tabs->setCurrentIndex(0);

    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(menus);
    layout->addWidget(m_tabs);
    resize(1040, 640);
}

CKeywrightDlg::~CKeywrightDlg() = default;

void CKeywrightDlg::ShowAbout() {
    CAboutDlg about(this);
    about.exec();
}

#include "app/keywright_dlg.h"

#include <QAction>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/about_dlg.h"
#include "app/app_icon.h"
#include "app/page_view.h"
#include "app/role_style.h"
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

    QMenu* view_menu = menus->addMenu(QStringLiteral("查看(&V)"));
    m_logToggle = view_menu->addAction(QStringLiteral("操作日志"));
    m_logToggle->setCheckable(true);
    m_logToggle->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    m_logToggle->setShortcutContext(Qt::WindowShortcut);
    addAction(m_logToggle);

    // Pages are created once and only hidden on a tab change, so every page keeps its fields.
    m_tabs = new QTabWidget(this);
    m_tabs->setUsesScrollButtons(false);
    // The tabs in one row within a 1024-pixel window: the style's roomy tab padding would
    // need some sixty pixels more.
    m_tabs->setStyleSheet(QStringLiteral("QTabBar::tab { padding: 4px 7px; }"));
    const std::vector<std::string> groups = PageGroups();
    for (size_t i = 0; i < m_pages.size(); ++i) {
        AddPageTab(*m_pages[i], groups.at(i));
    }
    m_logPanel = BuildLogPanel();
    for (CPageView* view : m_views) {
        connect(view, &CPageView::ActionLogged, m_log, &QPlainTextEdit::appendPlainText);
    }
    connect(m_logToggle, &QAction::toggled, m_logPanel, &QWidget::setVisible);
    m_tabs->setCurrentIndex(0);

    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(menus);
    auto* splitter = new QSplitter(Qt::Vertical);
    splitter->addWidget(m_tabs);
    splitter->addWidget(m_logPanel);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 1);
    layout->addWidget(splitter);
    resize(1040, 640);
    AddTabShortcuts();
}

CKeywrightDlg::~CKeywrightDlg() {
    // The views are children that QWidget deletes only after this body and the members (the page
    // models) are gone; a worker still inside a page's Press must end first.
    for (CPageView* view : m_views) {
        view->StopLongAction();
    }
}

void CKeywrightDlg::AddPageTab(CPage& page, const std::string& group) {
    auto* view = new CPageView(page);
    auto* scroll = new QScrollArea;
    scroll->setWidget(view);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    const QString caption = QString::fromStdString(page.TabCaption());
    PagePlace place{scroll, nullptr, scroll};
    if (!group.empty()) {
        const QString group_caption = QString::fromStdString(group);
        auto* inner = m_tabs->findChild<QTabWidget*>(group_caption);
        if (inner == nullptr) {
            inner = new QTabWidget;
            inner->setObjectName(group_caption);
            inner->setDocumentMode(true);
            // A group of one page shows that page alone, without a bar of one tab.
            inner->setTabBarAutoHide(true);
            inner->setUsesScrollButtons(false);
            m_tabs->addTab(inner, group_caption);
        }
        inner->addTab(scroll, caption);
        place = {inner, inner, scroll};
    } else {
        m_tabs->addTab(scroll, caption);
    }
    m_views.push_back(view);
    m_places.push_back(place);
}

void CKeywrightDlg::ShowPage(int index) {
    const PagePlace& place = m_places.at(static_cast<size_t>(index));
    if (place.inner != nullptr) {
        place.inner->setCurrentWidget(place.tab);
    }
    m_tabs->setCurrentWidget(place.outer);
}

int CKeywrightDlg::CurrentPage() const {
    for (size_t i = 0; i < m_places.size(); ++i) {
        const PagePlace& place = m_places[i];
        if (m_tabs->currentWidget() == place.outer &&
            (place.inner == nullptr || place.inner->currentWidget() == place.tab)) {
            return static_cast<int>(i);
        }
    }
    return 0;
}

QWidget* CKeywrightDlg::BuildLogPanel() {
    auto* panel = new QGroupBox(QStringLiteral("操作日志"));
    panel->setObjectName(QStringLiteral("log"));
    m_log = new QPlainTextEdit;
    m_log->setReadOnly(true);
    m_log->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_log->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_log->setFont(FixedEditFont());
    auto* save = new QPushButton(QStringLiteral("保存..."));
    auto* clear = new QPushButton(QStringLiteral("清空"));
    save->setAutoDefault(false);
    clear->setAutoDefault(false);
    connect(save, &QPushButton::clicked, this, &CKeywrightDlg::SaveLog);
    connect(clear, &QPushButton::clicked, m_log, &QPlainTextEdit::clear);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(save);
    buttons->addWidget(clear);
    auto* layout = new QVBoxLayout(panel);
    layout->addWidget(m_log);
    layout->addLayout(buttons);
    panel->hide();
    return panel;
}

void CKeywrightDlg::SaveLog() {
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("保存操作日志"),
                                                      QStringLiteral("keywright-log.txt"));
    if (path.isEmpty()) {
        return;
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text) ||
        file.write(m_log->toPlainText().toUtf8()) < 0) {
        CPageView::ShowMessageBox(this, ErrorBox("The file " + path.toStdString() +
                                                 " can not be written, Pls Check !!!"));
    }
}

void CKeywrightDlg::AddTabShortcuts() {
    // The tab strip's own Ctrl+Tab works only while it has the focus; these work from any field
    // and go through every page, the pages of a group's inner tabs included.
    const auto step = [this](int by) {
        const int count = PageCount();
        ShowPage((CurrentPage() + by + count) % count);
    };
    const struct {
        QKeySequence keys;
        int by;
    } shortcuts[] = {
        {QKeySequence(Qt::CTRL | Qt::Key_Tab), 1},
        {QKeySequence(Qt::CTRL | Qt::Key_PageDown), 1},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), -1},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), -1},
        {QKeySequence(Qt::CTRL | Qt::Key_PageUp), -1},
    };
    for (const auto& shortcut : shortcuts) {
        auto* action = new QAction(this);
        action->setShortcut(shortcut.keys);
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, [step, by = shortcut.by] { step(by); });
        addAction(action);
    }
}

void CKeywrightDlg::ShowAbout() {
    CAboutDlg about(this);
    about.exec();
}

// CKeywrightDlg: the main window, a tab strip with one page shown under it: the thirteen tool pages
// each under a tab of its own, then group tabs ("EMV 运算" ...) that hold an inner tab bar of
// related pages.
#pragma once

#include <QDialog>
#include <memory>
#include <string>
#include <vector>

#include "common/page.h"

class CPageView;
class QAction;
class QPlainTextEdit;
class QTabWidget;

class CKeywrightDlg : public QDialog {
    Q_OBJECT

public:
    // Nothing is read at start-up and nothing is saved at exit: every run starts on the first tab
    // with every page at its defaults.
    explicit CKeywrightDlg(QWidget* parent = nullptr);
    // Every long action still running is cancelled and waited for before any page model goes.
    ~CKeywrightDlg() override;

    // Tabs is the top-level tab strip.
    QTabWidget* Tabs() const { return m_tabs; }
    // Pages are numbered in the order of CreatePages: the tool pages, then the grouped pages.
    int PageCount() const { return static_cast<int>(m_views.size()); }
    CPageView* PageView(int index) const { return m_views.at(static_cast<size_t>(index)); }
    // ShowPage selects the page's tab, and in a group its inner tab; CurrentPage is the page shown.
    void ShowPage(int index);
    int CurrentPage() const;
    QAction* AboutAction() const { return m_about; }
    QAction* LogAction() const { return m_logToggle; }
    // LogText is the operation log's panel: one record per action, selectable and copyable.
    QPlainTextEdit* LogText() const { return m_log; }

private:
    void ShowAbout();
    void AddTabShortcuts();
    QWidget* BuildLogPanel();
    void SaveLog();

    // Where a page sits: its top-level tab, and in a group the inner tab bar and its tab.
    struct PagePlace {
        QWidget* outer = nullptr;
        QTabWidget* inner = nullptr;
        QWidget* tab = nullptr;
    };
    void AddPageTab(CPage& page, const std::string& group);

    // The page models live as long as the window; the views refer to them.
    std::vector<std::unique_ptr<CPage>> m_pages;
    std::vector<CPageView*> m_views;
    std::vector<PagePlace> m_places;
    QTabWidget* m_tabs = nullptr;
    QAction* m_about = nullptr;
    QAction* m_logToggle = nullptr;
    QWidget* m_logPanel = nullptr;
    QPlainTextEdit* m_log = nullptr;
};

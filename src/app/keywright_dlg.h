// CKeywrightDlg: the main window, a tab strip of fourteen pages with one page shown under it.
#pragma once

#include <QDialog>
#include <memory>
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

    QTabWidget* Tabs() const { return m_tabs; }
    CPageView* PageView(int index) const { return m_views.at(static_cast<size_t>(index)); }
    QAction* AboutAction() const { return m_about; }
    QAction* LogAction() const { return m_logToggle; }
    // LogText is the operation log's panel: one record per action, selectable and copyable.
    QPlainTextEdit* LogText() const { return m_log; }

private:
    void ShowAbout();
    void AddTabShortcuts();
    QWidget* BuildLogPanel();
    void SaveLog();

    // The page models live as long as the window; the views refer to them.
    std::vector<std::unique_ptr<CPage>> m_pages;
    std::vector<CPageView*> m_views;
    QTabWidget* m_tabs = nullptr;
    QAction* m_about = nullptr;
    QAction* m_logToggle = nullptr;
    QWidget* m_logPanel = nullptr;
    QPlainTextEdit* m_log = nullptr;
};

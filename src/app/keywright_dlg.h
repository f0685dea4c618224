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
    // A window that `remembers` restores its size, position and last tab from QSettings and saves
    // them when it closes; tests leave it off so that no run depends on the one before.
    explicit CKeywrightDlg(QWidget* parent = nullptr, bool remembers = false);
    ~CKeywrightDlg() override;

    QTabWidget* Tabs() const { return m_tabs; }
    CPageView* PageView(int index) const { return m_views.at(static_cast<size_t>(index)); }
    QAction* AboutAction() const { return m_about; }
    QAction* LogAction() const { return m_logToggle; }
    // LogText is the operation log's panel: one record per action, selectable and copyable.
    QPlainTextEdit* LogText() const { return m_log; }

protected:
    void done(int result) override;

private:
    void ShowAbout();
    void AddTabShortcuts();
    QWidget* BuildLogPanel();
    void SaveLog();
    void RestoreSettings();
    void SaveSettings() const;

    // The page models live as long as the window; the views refer to them.
    std::vector<std::unique_ptr<CPage>> m_pages;
    std::vector<CPageView*> m_views;
    QTabWidget* m_tabs = nullptr;
    QAction* m_about = nullptr;
    QAction* m_logToggle = nullptr;
    QWidget* m_logPanel = nullptr;
    QPlainTextEdit* m_log = nullptr;
    bool m_remembers = false;
};

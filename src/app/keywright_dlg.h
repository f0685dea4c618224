// CKeywrightDlg: the main window, a tab strip of thirteen pages with one page shown under it.
#pragma once

#include <QDialog>
#include <memory>
#include <vector>

#include "common/page.h"

class CPageView;
class QAction;
class QTabWidget;

class CKeywrightDlg : public QDialog {
    Q_OBJECT

public:
    explicit CKeywrightDlg(QWidget* parent = nullptr);
    ~CKeywrightDlg() override;

    QTabWidget* Tabs() const { return m_tabs; }
    CPageView* PageView(int index) const { return m_views.at(static_cast<size_t>(index)); }
    QAction* AboutAction() const { return m_about; }

private:
    void ShowAbout();

    // The page models live as long as the window; the views refer to them.
    std::vector<std::unique_ptr<CPage>> m_pages;
    std::vector<CPageView*> m_views;
    QTabWidget* m_tabs = nullptr;
    QAction* m_about = nullptr;
};

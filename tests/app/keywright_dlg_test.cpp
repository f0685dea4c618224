// The main window, started offscreen: its tabs, one page at a time, fields kept across tab changes,
// gestures reaching the page models and message boxes coming back.
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>
#include <memory>

#include "app/about_dlg.h"
#include "app/keywright_dlg.h"
#include "app/page_view.h"
#include "app/toolkit_translations.h"
#include "pages/page_registry.h"

class KeywrightDlgTest : public QObject {
    Q_OBJECT

private slots:
    void HasTheTitleAndFifteenTabsInOrder();
    void ShowsOnePageAtATimeAndKeepsTypedFields();
    void TypingUpdatesCountersAndPressingShowsTheMessage();
    void OptionsEnableFieldsAtOnce();
    void AboutItemOpensTheAboutBox();
    void StartsOnTheFirstTabAndSavesNothing();
    void ClosingWhileLongActionsRunWaitsForThem();
    void TheOperationLogRecordsEveryAction();
    void TheToolkitsOwnTextsAreChinese();
    void EveryPageIsInItsGroupAndReachableByKeyboard();
};

void KeywrightDlgTest::HasTheTitleAndFifteenTabsInOrder() {
    CKeywrightDlg window;
    QCOMPARE(window.windowTitle(), QStringLiteral("Hexwellv1.3 2012-01-14"));
    const QStringList captions = {"DES 运算", "MAC 运算", "AES 运算", "RSA 运算", "CRT 运算",
                                  "数据转换", "数据运算", "校验运算", "大数运算", "TLV 运算",
                                  "SM4 运算", "SM3 运算", "SM2 运算", "EMV 运算", "扩展算法"};
    QCOMPARE(window.Tabs()->count(), captions.size());
    for (int i = 0; i < captions.size(); ++i) {
        QCOMPARE(window.Tabs()->tabText(i), captions[i]);
    }
    QCOMPARE(window.Tabs()->currentIndex(), 0);
}

void KeywrightDlgTest::ShowsOnePageAtATimeAndKeepsTypedFields() {
    CKeywrightDlg window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto visiblePages = [&] {
        int visible = 0;
        for (int i = 0; i < window.Tabs()->count(); ++i) {
            visible += window.PageView(i)->isVisible() ? 1 : 0;
        }
        return visible;
    };
    QCOMPARE(visiblePages(), 1);
    QVERIFY(window.PageView(0)->isVisible());

    window.Tabs()->setCurrentIndex(6);
    QCOMPARE(visiblePages(), 1);
    QVERIFY(window.PageView(6)->isVisible());
    auto* source = window.PageView(6)->findChild<QLineEdit*>(QStringLiteral("src1"));
    QVERIFY(source != nullptr);
    QTest::keyClicks(source, QStringLiteral("12 34"));

    window.Tabs()->setCurrentIndex(0);
    QVERIFY(!window.PageView(6)->isVisible());
    window.Tabs()->setCurrentIndex(6);
    QCOMPARE(source->text(), QStringLiteral("12 34"));
}

void KeywrightDlgTest::TypingUpdatesCountersAndPressingShowsTheMessage() {
    CKeywrightDlg window;
    window.show();
    window.Tabs()->setCurrentIndex(6);
    CPageView* view = window.PageView(6);
    std::vector<MessageBox> shown;
    view->SetMessagePresenter(
        [&](QWidget*, const MessageBox& message) { shown.push_back(message); });

    auto* source = view->findChild<QLineEdit*>(QStringLiteral("src1"));
    auto* counter = view->findChild<QLineEdit*>(QStringLiteral("src1_count"));
    QVERIFY(source != nullptr && counter != nullptr);
    QTest::keyClicks(source, QStringLiteral("11 22 3"));
    QCOMPARE(counter->text(), QStringLiteral("02"));

    auto* compute = view->findChild<QPushButton*>(QStringLiteral("compute"));
    QVERIFY(compute != nullptr);
    QTest::mouseClick(compute, Qt::LeftButton);
    QCOMPARE(shown.size(), size_t{1});
    QCOMPARE(QString::fromStdString(shown[0].caption), QStringLiteral("Error"));
    QCOMPARE(QString::fromStdString(shown[0].text),
             QStringLiteral("XOR Data should be even , and not be odd , Pls Check !!!"));
    QCOMPARE(source->text(), QStringLiteral("11 22 3"));

    source->clear();
    QTest::keyClicks(source, QStringLiteral("0F0F"));
    auto* other = view->findChild<QLineEdit*>(QStringLiteral("src2"));
    QTest::keyClicks(other, QStringLiteral("FF"));
    QTest::mouseClick(compute, Qt::LeftButton);
    QCOMPARE(shown.size(), size_t{1});
    QCOMPARE(view->findChild<QLineEdit*>(QStringLiteral("result"))->text(), QStringLiteral("0F00"));
}

void KeywrightDlgTest::OptionsEnableFieldsAtOnce() {
    CKeywrightDlg window;
    window.show();
    window.Tabs()->setCurrentIndex(6);
    CPageView* view = window.PageView(6);
    auto* other = view->findChild<QLineEdit*>(QStringLiteral("src2"));
    QVERIFY(other->isEnabled());
    const auto radios = view->findChildren<QRadioButton*>();
    QRadioButton* notRadio = nullptr;
    for (QRadioButton* radio : radios) {
        if (radio->text() == QStringLiteral("取反NOT运算")) {
            notRadio = radio;
        }
    }
    QVERIFY(notRadio != nullptr);
    QTest::mouseClick(notRadio, Qt::LeftButton);
    QVERIFY(notRadio->isChecked());
    QVERIFY(!other->isEnabled());
    int checked = 0;
    for (QRadioButton* radio : radios) {
        checked += radio->isChecked() ? 1 : 0;
    }
    QCOMPARE(checked, 1);
}

void KeywrightDlgTest::AboutItemOpensTheAboutBox() {
    CKeywrightDlg window;
    window.show();
    QCOMPARE(window.AboutAction()->text(), QStringLiteral("关于 Keywright(&A)..."));
    QCOMPARE(window.AboutAction()->shortcut(), QKeySequence(Qt::Key_F1));
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* about = qobject_cast<CAboutDlg*>(QApplication::activeModalWidget());
        QVERIFY(about != nullptr);
        QCOMPARE(about->windowTitle(), QStringLiteral("关于 Keywright"));
        bool hasVersion = false;
        for (QLabel* label : about->findChildren<QLabel*>()) {
            hasVersion = hasVersion || label->text() == QStringLiteral("Keywright 1.0 版");
        }
        QVERIFY(hasVersion);
        auto* ok = about->findChild<QPushButton*>(QStringLiteral("ok"));
        QCOMPARE(ok->text(), QStringLiteral("确定"));
        seen = true;
        ok->click();
    });
    window.AboutAction()->trigger();
    QVERIFY(seen);
}

void KeywrightDlgTest::StartsOnTheFirstTabAndSavesNothing() {
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName(QStringLiteral("KeywrightTest"));
    QCoreApplication::setApplicationName(QStringLiteral("KeywrightTest"));
    QSettings().clear();
    {
        CKeywrightDlg window;
        window.show();
        window.Tabs()->setCurrentIndex(5);
        window.resize(900, 650);
        window.reject();
    }
    QCOMPARE(QSettings().allKeys(), QStringList());
    CKeywrightDlg again;
    QCOMPARE(again.Tabs()->currentIndex(), 0);
}

void KeywrightDlgTest::ClosingWhileLongActionsRunWaitsForThem() {
    // The page models go with the window: a worker still inside one of them must have ended
    // first (the sanitizer build reports any use of a freed page).
    auto window = std::make_unique<CKeywrightDlg>();
    window->show();
    const auto press = [&](int tab, const char* button) {
        window->Tabs()->setCurrentIndex(tab);
        CPageView* view = window->PageView(tab);
        QTest::mouseClick(view->findChild<QPushButton*>(QString::fromLatin1(button)),
                          Qt::LeftButton);
        QVERIFY(view->Busy());
    };
    CPageView* sm4 = window->PageView(10);
    QTest::mouseClick(
        sm4->findChild<QGroupBox*>(QStringLiteral("repeat"))->findChildren<QRadioButton*>().at(0),
        Qt::LeftButton);
    auto* count = sm4->findChild<QLineEdit*>(QStringLiteral("count"));
    count->selectAll();
    QTest::keyClicks(count, QStringLiteral("2147483647"));
    press(10, "encrypt");
    press(3, "genkey");
    window->close();
    window.reset();
}

void KeywrightDlgTest::TheOperationLogRecordsEveryAction() {
    CKeywrightDlg window;
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QWidget* panel = window.findChild<QWidget*>(QStringLiteral("log"));
    QVERIFY(!panel->isVisible());
    QTest::keyClick(&window, Qt::Key_L, Qt::ControlModifier);
    QVERIFY(panel->isVisible());
    CPageView* des = window.PageView(0);
    QTest::keyClicks(des->findChild<QLineEdit*>(QStringLiteral("data")),
                     QStringLiteral("1122334455667788"));
    QTest::mouseClick(des->findChild<QPushButton*>(QStringLiteral("encrypt")), Qt::LeftButton);
    const QString log = window.LogText()->toPlainText();
    QVERIFY2(log.contains(QStringLiteral("] des encrypt (加密)\n")), qPrintable(log));
    QVERIFY2(log.contains(QStringLiteral("  => result: B4CC3FD9D8D95214")), qPrintable(log));
}

// A field's context menu (Undo, Paste ...) in the window's language.
void KeywrightDlgTest::TheToolkitsOwnTextsAreChinese() {
    QVERIFY(InstallToolkitTranslations(*QCoreApplication::instance()));
    QLineEdit edit;
    const std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
    QStringList texts;
    for (const QAction* action : menu->actions()) {
        texts << action->text();
    }
    QVERIFY2(texts.join(QString()).contains(QStringLiteral("粘贴")), qPrintable(texts.join(',')));
    QVERIFY2(!texts.join(QString()).contains(QStringLiteral("Paste")), qPrintable(texts.join(',')));
}

// Every page sits under the tab its registry line names, the tab strip fits a 1024-pixel window
// without scroll buttons, and Ctrl+PgDown / Ctrl+PgUp walk every page, inner tabs included.
void KeywrightDlgTest::EveryPageIsInItsGroupAndReachableByKeyboard() {
    CKeywrightDlg window;
    window.resize(1024, 700);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    const std::vector<std::string> groups = PageGroups();
    QCOMPARE(static_cast<size_t>(window.PageCount()), groups.size());
    for (int i = 0; i < window.PageCount(); ++i) {
        window.ShowPage(i);
        QCOMPARE(window.CurrentPage(), i);
        QVERIFY(window.PageView(i)->isVisible());
        const QString expected =
            groups[static_cast<size_t>(i)].empty()
                ? QString::fromStdString(window.PageView(i)->Page().TabCaption())
                : QString::fromStdString(groups[static_cast<size_t>(i)]);
        QCOMPARE(window.Tabs()->tabText(window.Tabs()->currentIndex()), expected);
    }
    QVERIFY(window.Tabs()->tabBar()->sizeHint().width() <= window.Tabs()->width());
    window.ShowPage(0);
    for (int step = 1; step <= window.PageCount(); ++step) {
        QTest::keyClick(&window, Qt::Key_PageDown, Qt::ControlModifier);
        QCOMPARE(window.CurrentPage(), step % window.PageCount());
    }
    QTest::keyClick(&window, Qt::Key_PageUp, Qt::ControlModifier);
    QCOMPARE(window.CurrentPage(), window.PageCount() - 1);
}

QTEST_MAIN(KeywrightDlgTest)
#include "keywright_dlg_test.moc"

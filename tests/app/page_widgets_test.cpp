// Every page driven through its widgets as a person drives it: typing, clicking radios and
// buttons, and reading the widgets back (never the model). One result and one message per page,
// the states an option changes, and the keyboard.
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QtTest>
#include <vector>

#include "app/keywright_dlg.h"
#include "app/page_view.h"

namespace {

// A gesture on a widget: typing into the field `id`, or (choice >= 0) clicking a choice of the
// group `id`.
struct WidgetGesture {
    const char* id;
    const char* text = "";
    int choice = -1;
};

WidgetGesture Typed(const char* id, const char* text) {
    return {id, text, -1};
}
WidgetGesture Clicked(const char* id, int choice) {
    return {id, "", choice};
}

struct PageCase {
    const char* page;
    std::vector<WidgetGesture> gestures;
    const char* button;
    const char* field;  // the widget read back; empty when a message is expected
    const char* shown;  // its text (contained, for multi-line results), or the message
};

// Results from published vectors or textbook values: FIPS 197 C.1, GB/T 32905/32907 examples,
// CRC-32 check value, RSA with n = 187, e = 7 (88^7 mod 187 = 11), the EMV worked example P3 AC.
const std::vector<PageCase>& ResultCases() {
    static const std::vector<PageCase> cases = {
        {"des", {Typed("data", "1122334455667788")}, "encrypt", "result", "B4CC3FD9D8D95214"},
        {"mac", {Typed("data", "1122334455667788")}, "compute", "result", "5345E865"},
        {"aes",
         {Typed("data", "00112233445566778899AABBCCDDEEFF")},
         "encrypt",
         "result",
         "69C4E0D86A7B0430D8CDB78070B4C55A"},
        {"rsa",
         {Typed("n", "BB"), Typed("e", "7"), Typed("d", "17"), Typed("input", "58")},
         "encrypt",
         "output",
         "B"},
        {"convert", {Typed("input", "414243")}, "convert", "output", "ABC"},
        {"dataop",
         {Clicked("op", 1), Typed("src1", "0F"), Typed("src2", "F0")},
         "compute",
         "result",
         "FF"},
        {"checksum",
         {Clicked("type", 7), Typed("data", "313233343536373839")},
         "compute",
         "result",
         "CBF43926"},
        {"bignum", {Typed("a", "2"), Typed("b", "3")}, "add", "c", "5"},
        {"tlv", {Typed("data", "5A021234")}, "parse", "result", "[5A]\t02\t1234"},
        {"sm4", {}, "encrypt", "result", "681EDF34D206965E86B3E94F536E4246"},
        {"sm3",
         {},
         "hash",
         "digest",
         "66C7F0F462EEEDD9D1F2D46BDC10E4E24167C4875CF2F7A2297DA02B8F4BA8E0"},
        {"sm2", {Clicked("op", 3)}, "encrypt", "r", "0411C88AE04CEC1BA554D03D5B5970333A8358"},
        {"emv", {}, "compute", "ac", "5D016C91005E7CC2"},
    };
    return cases;
}

const std::vector<PageCase>& MessageCases() {
    static const std::vector<PageCase> cases = {
        {"des",
         {Typed("data", "112")},
         "encrypt",
         "",
         "Encrypt Data should be even , and not be odd , Pls Check !!!"},
        {"mac",
         {Typed("key", "")},
         "compute",
         "",
         "Des Key or Encrypt Data can not be null, Pls input !!!"},
        {"aes",
         {Typed("data", "1122")},
         "decrypt",
         "",
         "Decrypt Data should be an integer multiple of 16, Pls Check !!!"},
        {"rsa", {}, "encrypt", "", "N必须大于D、E"},
        {"crt", {}, "decrypt", "", "P不得为0"},
        {"convert",
         {Typed("input", "4G")},
         "convert",
         "",
         "The 1 byte of the Hex Data is the illegal, Pls Check !!!"},
        {"dataop",
         {Clicked("op", 1), Typed("src1", "1"), Typed("src2", "22")},
         "compute",
         "",
         "XOR Data should be even , and not be odd , Pls Check !!!"},
        {"checksum",
         {Typed("data", "1G")},
         "compute",
         "",
         "The 1 byte of the SHA Data is the illegal, Pls Check !!!"},
        {"bignum", {Typed("a", "5"), Typed("b", "0")}, "div", "", "B不得为0"},
        {"sm4",
         {Typed("key", "11")},
         "encrypt",
         "",
         "sm4 Key should be 16 bytes, Pls input the correct !!!"},
        {"sm3", {}, "hmac", "", "sm3 Key or Encrypt Data can not be null, Pls input !!!"},
        {"sm2",
         {Clicked("op", 1), Typed("px", "")},
         "verify",
         "",
         "请首先输入或生成签名公钥Px和Py数据后，再进行签名验证操作!!!!!"},
        {"emv",
         {Typed("mk", "")},
         "compute",
         "",
         "Issuer Master Key or PAN can not be null, Pls input !!!"},
    };
    return cases;
}

int TabOf(CKeywrightDlg& window, const char* page) {
    for (int i = 0; i < window.Tabs()->count(); ++i) {
        if (window.PageView(i)->Page().Name() == page) {
            return i;
        }
    }
    return -1;
}

QString TextOf(CPageView* view, const char* id) {
    if (auto* line = view->findChild<QLineEdit*>(QString::fromLatin1(id))) {
        return line->text();
    }
    if (auto* text = view->findChild<QPlainTextEdit*>(QString::fromLatin1(id))) {
        return text->toPlainText();
    }
    return QStringLiteral("<no widget %1>").arg(QString::fromLatin1(id));
}

// Drive applies the gestures through the widgets and clicks the button, waiting for an action
// that runs on the worker thread.
bool Drive(CPageView* view, const PageCase& c) {
    for (const WidgetGesture& g : c.gestures) {
        const QString id = QString::fromLatin1(g.id);
        if (g.choice >= 0) {
            auto* group = view->findChild<QGroupBox*>(id);
            if (group == nullptr) {
                return false;
            }
            QTest::mouseClick(group->findChildren<QRadioButton*>().at(g.choice), Qt::LeftButton);
        } else if (auto* line = view->findChild<QLineEdit*>(id)) {
            line->selectAll();
            QTest::keyClick(line, Qt::Key_Delete);
            QTest::keyClicks(line, QString::fromUtf8(g.text));
        } else if (auto* text = view->findChild<QPlainTextEdit*>(id)) {
            text->selectAll();
            QTest::keyClick(text, Qt::Key_Delete);
            QTest::keyClicks(text, QString::fromUtf8(g.text));
        } else {
            return false;
        }
    }
    auto* button = view->findChild<QPushButton*>(QString::fromLatin1(c.button));
    if (button == nullptr || !button->isEnabled()) {
        return false;
    }
    QTest::mouseClick(button, Qt::LeftButton);
    return QTest::qWaitFor([view] { return !view->Busy(); }, 30000);
}

}  // namespace

class PageWidgetsTest : public QObject {
    Q_OBJECT

private slots:
    void ShowsTheResult_data();
    void ShowsTheResult();
    void ShowsTheMessage_data();
    void ShowsTheMessage();
    void OptionsChangeWhatIsEnabledAndShown();
    void TabOrderIsFieldsThenOptionsThenButtons();
    void EnterPressesTheFirstActionAndCtrlTabSwitchesTabs();
    void EnterPressesTheActionOfItsField();
    void AWrittenOneRowValueShowsItsStart();
    void TheSm2ButtonsStayWhereTheyAre();
    void TheRsaKeyLengthComesFirstAndTheModulusLengthIsCentred();
    void EveryCaptionFitsItsButtonWithAMargin();
};

void PageWidgetsTest::ShowsTheResult_data() {
    QTest::addColumn<int>("index");
    for (size_t i = 0; i < ResultCases().size(); ++i) {
        QTest::newRow(ResultCases()[i].page) << static_cast<int>(i);
    }
}

void PageWidgetsTest::ShowsTheResult() {
    QFETCH(int, index);
    const PageCase& c = ResultCases()[static_cast<size_t>(index)];
    CKeywrightDlg window;
    window.show();
    window.Tabs()->setCurrentIndex(TabOf(window, c.page));
    CPageView* view = window.PageView(window.Tabs()->currentIndex());
    std::vector<MessageBox> shown;
    view->SetMessagePresenter([&shown](QWidget*, const MessageBox& m) { shown.push_back(m); });
    QVERIFY(Drive(view, c));
    QVERIFY2(shown.empty(), shown.empty() ? "" : shown.front().text.c_str());
    const QString text = TextOf(view, c.field);
    QVERIFY2(text.contains(QString::fromUtf8(c.shown)), qPrintable(text));
}

void PageWidgetsTest::ShowsTheMessage_data() {
    QTest::addColumn<int>("index");
    for (size_t i = 0; i < MessageCases().size(); ++i) {
        QTest::newRow(MessageCases()[i].page) << static_cast<int>(i);
    }
}

void PageWidgetsTest::ShowsTheMessage() {
    QFETCH(int, index);
    const PageCase& c = MessageCases()[static_cast<size_t>(index)];
    CKeywrightDlg window;
    window.show();
    window.Tabs()->setCurrentIndex(TabOf(window, c.page));
    CPageView* view = window.PageView(window.Tabs()->currentIndex());
    std::vector<MessageBox> shown;
    view->SetMessagePresenter([&shown](QWidget*, const MessageBox& m) { shown.push_back(m); });
    QVERIFY(Drive(view, c));
    QCOMPARE(shown.size(), size_t{1});
    QCOMPARE(QString::fromStdString(shown.front().text), QString::fromUtf8(c.shown));
}

void PageWidgetsTest::OptionsChangeWhatIsEnabledAndShown() {
    CKeywrightDlg window;
    window.show();
    const auto view_of = [&](const char* page) {
        window.Tabs()->setCurrentIndex(TabOf(window, page));
        return window.PageView(window.Tabs()->currentIndex());
    };
    const auto click = [](CPageView* view, const char* group, int choice) {
        auto* box = view->findChild<QGroupBox*>(QString::fromLatin1(group));
        QTest::mouseClick(box->findChildren<QRadioButton*>().at(choice), Qt::LeftButton);
    };

    CPageView* des = view_of("des");
    auto* iv = des->findChild<QLineEdit*>(QStringLiteral("iv"));
    QVERIFY(!iv->isEnabled());
    click(des, "mode", 1);
    QVERIFY(iv->isEnabled());

    CPageView* sm4 = view_of("sm4");
    click(sm4, "mode", 2);
    QCOMPARE(sm4->findChild<QPushButton*>(QStringLiteral("encrypt"))->text(),
             QStringLiteral("计算MAC"));
    QVERIFY(!sm4->findChild<QPushButton*>(QStringLiteral("decrypt"))->isEnabled());

    CPageView* sm2 = view_of("sm2");
    auto* s_field = sm2->findChild<QLineEdit*>(QStringLiteral("s"));
    auto* r_label = sm2->findChild<QLabel*>(QStringLiteral("r_label"));
    QVERIFY(s_field->isVisible());
    click(sm2, "op", 3);
    QVERIFY(!s_field->isVisible());
    QCOMPARE(r_label->text(), QStringLiteral("加密结果："));
    QVERIFY(sm2->findChild<QPushButton*>(QStringLiteral("encrypt"))->isEnabled());
    QVERIFY(!sm2->findChild<QPushButton*>(QStringLiteral("sign"))->isEnabled());
}

// Following the focus chain from the first field meets, section by section, the fields in form
// order, then the option choices, then the buttons.
void PageWidgetsTest::TabOrderIsFieldsThenOptionsThenButtons() {
    CKeywrightDlg window;
    window.show();
    for (int tab = 0; tab < window.Tabs()->count(); ++tab) {
        CPageView* view = window.PageView(tab);
        const CPage& page = view->Page();
        QStringList expected;
        for (const Section& section : page.Sections()) {
            for (const std::string& id : section.fields) {
                expected << QString::fromStdString(id);
            }
            for (const std::string& id : section.buttons) {
                expected << QString::fromStdString("button:" + id);
            }
        }
        QStringList seen;
        QWidget* first = view->findChild<QWidget*>(
            QString::fromStdString(page.Sections().front().fields.front()));
        QWidget* w = first;
        do {
            const QString name = w->objectName();
            if (qobject_cast<QPushButton*>(w) != nullptr && name != QStringLiteral("cancel")) {
                seen << QStringLiteral("button:") + name;
            } else if (expected.contains(name) && !seen.contains(name)) {
                seen << name;
            }
            w = w->nextInFocusChain();
        } while (w != first && view->isAncestorOf(w));
        QCOMPARE(seen.mid(0, expected.size()), expected);
    }
}

void PageWidgetsTest::EnterPressesTheFirstActionAndCtrlTabSwitchesTabs() {
    CKeywrightDlg window;
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    CPageView* des = window.PageView(0);
    auto* data = des->findChild<QLineEdit*>(QStringLiteral("data"));
    QTest::keyClicks(data, QStringLiteral("1122334455667788"));
    QTest::keyClick(data, Qt::Key_Return);
    QCOMPARE(des->findChild<QLineEdit*>(QStringLiteral("result"))->text(),
             QStringLiteral("B4CC3FD9D8D95214"));

    const int count = window.Tabs()->count();
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int tab;
    } steps[] = {
        {Qt::Key_Tab, Qt::ControlModifier, 1},
        {Qt::Key_PageDown, Qt::ControlModifier, 2},
        {Qt::Key_PageUp, Qt::ControlModifier, 1},
        {Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier, 0},
        {Qt::Key_PageUp, Qt::ControlModifier, count - 1},
    };
    for (const auto& step : steps) {
        QTest::keyClick(&window, step.key, step.modifiers);
        QCOMPARE(window.Tabs()->currentIndex(), step.tab);
    }
}

// Enter in E on the RSA page encrypts (it used to regenerate the key and reset E). Which action
// each field's Enter presses on every page is the page models' table (page_machinery_test).
void PageWidgetsTest::EnterPressesTheActionOfItsField() {
    CKeywrightDlg window;
    window.show();
    const struct {
        PageCase setup;
        const char* enter_in;
        const char* untouched;  // a field another action would have written
    } cases[] = {
        {{"rsa",
          {Typed("n", "BB"), Typed("d", "17"), Typed("input", "58"), Typed("e", "7")},
          "",
          "output",
          "B"},
         "e",
         "d"},
    };
    for (const auto& c : cases) {
        window.Tabs()->setCurrentIndex(TabOf(window, c.setup.page));
        CPageView* view = window.PageView(TabOf(window, c.setup.page));
        std::vector<MessageBox> shown;
        view->SetMessagePresenter(
            [&](QWidget*, const MessageBox& message) { shown.push_back(message); });
        PageCase typing = c.setup;
        typing.button = "";
        for (const WidgetGesture& g : typing.gestures) {
            auto* line = view->findChild<QLineEdit*>(QString::fromLatin1(g.id));
            auto* text = view->findChild<QPlainTextEdit*>(QString::fromLatin1(g.id));
            QWidget* edit = line != nullptr ? static_cast<QWidget*>(line) : text;
            QVERIFY2(edit != nullptr, g.id);
            QTest::keyClicks(edit, QString::fromUtf8(g.text));
        }
        const QString before = TextOf(view, c.untouched);
        QTest::keyClick(view->findChild<QLineEdit*>(QString::fromLatin1(c.enter_in)),
                        Qt::Key_Return);
        QVERIFY(QTest::qWaitFor([view] { return !view->Busy(); }, 30000));
        QCOMPARE(TextOf(view, c.setup.field), QString::fromLatin1(c.setup.shown));
        QCOMPARE(TextOf(view, c.untouched), before);
        QVERIFY(shown.empty());
    }
}

void PageWidgetsTest::AWrittenOneRowValueShowsItsStart() {
    CKeywrightDlg window;
    window.resize(1024, 700);
    window.show();
    const PageCase cases[] = {
        {"des",
         {Typed("data",
                "00112233445566778899AABBCCDDEEFF00112233445566778899AABBCCDDEEFF"
                "00112233445566778899AABBCCDDEEFF"),
          Clicked("spaced", 0)},
         "encrypt",
         "result",
         ""},
        {"sm2", {Clicked("op", 3)}, "encrypt", "r", ""},
    };
    for (const PageCase& c : cases) {
        window.Tabs()->setCurrentIndex(TabOf(window, c.page));
        CPageView* view = window.PageView(TabOf(window, c.page));
        QVERIFY2(Drive(view, c), c.page);
        auto* result = view->findChild<QLineEdit*>(QString::fromLatin1(c.field));
        QVERIFY(result->text().size() > 100);
        QCOMPARE(result->cursorPosition(), 0);
    }
}

// Each operation shows other rows; the buttons under them do not move.
void PageWidgetsTest::TheSm2ButtonsStayWhereTheyAre() {
    CKeywrightDlg window;
    window.resize(1024, 700);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const int tab = TabOf(window, "sm2");
    window.Tabs()->setCurrentIndex(tab);
    CPageView* view = window.PageView(tab);
    auto* clear = view->findChild<QPushButton*>(QStringLiteral("clear"));
    auto* op = view->findChild<QGroupBox*>(QStringLiteral("op"));
    const int operations = static_cast<int>(view->Page().FindOption("op")->choices.size());
    const QList<QRadioButton*> radios = op->findChildren<QRadioButton*>();
    QVERIFY(radios.size() >= operations);
    QList<int> heights;
    for (int i = 0; i < operations; ++i) {
        QTest::mouseClick(radios[i], Qt::LeftButton);
        QCoreApplication::processEvents();
        heights << clear->mapTo(view, QPoint(0, 0)).y();
    }
    QCOMPARE(heights.count(heights.front()), operations);
}

void PageWidgetsTest::TheRsaKeyLengthComesFirstAndTheModulusLengthIsCentred() {
    CKeywrightDlg window;
    window.show();
    const int tab = TabOf(window, "rsa");
    window.Tabs()->setCurrentIndex(tab);
    CPageView* view = window.PageView(tab);
    QCoreApplication::processEvents();
    auto* modlen = view->findChild<QLineEdit*>(QStringLiteral("modlen"));
    QVERIFY(modlen->isReadOnly());
    QCOMPARE(modlen->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    QWidget* bits = view->findChild<QWidget*>(QStringLiteral("bits"));
    QVERIFY(bits->mapTo(view, QPoint(0, 0)).y() < modlen->mapTo(view, QPoint(0, 0)).y());
}

void PageWidgetsTest::EveryCaptionFitsItsButtonWithAMargin() {
    CKeywrightDlg window;
    window.resize(1024, 700);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    for (int tab = 0; tab < window.Tabs()->count(); ++tab) {
        window.Tabs()->setCurrentIndex(tab);
        QCoreApplication::processEvents();
        for (QPushButton* push : window.PageView(tab)->findChildren<QPushButton*>()) {
            if (!push->isVisible()) {
                continue;
            }
            const int text = push->fontMetrics().horizontalAdvance(push->text());
            QVERIFY2(push->width() >= text + 2 * 10, qPrintable(push->text()));
        }
    }
}

QTEST_MAIN(PageWidgetsTest)
#include "page_widgets_test.moc"

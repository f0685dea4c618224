// The generic page view against the real page models: nothing typed is cut or lost, line breaks
// round-trip, every kind of option control reaches the model, and a faulty page cannot end the
// program.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QtTest>

#include "app/keywright_dlg.h"
#include "app/page_view.h"
#include "pages/page_registry.h"

namespace {

// The tab index of a page by its command-line name.
int TabOf(const char* name) {
    const auto pages = CreatePages();
    for (size_t i = 0; i < pages.size(); ++i) {
        if (pages[i]->Name() == name) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

QRadioButton* Radio(CPageView* view, const QString& caption) {
    for (QRadioButton* radio : view->findChildren<QRadioButton*>()) {
        if (radio->text() == caption) {
            return radio;
        }
    }
    return nullptr;
}

class CThrowingPage : public CPage {
public:
    CThrowingPage() : CPage("faulty", "故障") {
        AddField({.id = "data", .label = "数据："});
        AddButton("go", "计算", [this]() -> ActionResult {
            SetText("no_such_field", "");
            return std::nullopt;
        });
        AddSection({.caption = "故障", .fields = {"data"}, .buttons = {"go"}});
    }
};

}  // namespace

class PageViewTest : public QObject {
    Q_OBJECT

private slots:
    void LongInputArrivesWholeInEveryEditableField();
    void SingleLineFieldsAreNotCutAtQtsDefaultLimit();
    void LineBreaksRoundTripAsCrLf();
    void DropDownAndCheckBoxReachTheModel();
    void KeyTypeRadiosCanAllBeCleared();
    void AFaultyPageShowsAnInternalErrorInsteadOfEnding();
};

// A megabyte pasted into each editable field of every page arrives whole in the model, and
// typing one more character into it keeps it whole.
void PageViewTest::LongInputArrivesWholeInEveryEditableField() {
    CKeywrightDlg window;
    window.show();
    const QString megabyte(1 << 20, QLatin1Char('A'));
    for (int tab = 0; tab < window.Tabs()->count(); ++tab) {
        window.Tabs()->setCurrentIndex(tab);
        CPageView* view = window.PageView(tab);
        for (QPlainTextEdit* edit : view->findChildren<QPlainTextEdit*>()) {
            if (edit->isReadOnly() || !edit->isEnabled()) {
                continue;
            }
            const std::string id = edit->objectName().toStdString();
            edit->clear();
            edit->insertPlainText(megabyte);
            QTest::keyClick(edit, Qt::Key_B);
            const Field* field = view->Page().FindField(id);
            QVERIFY(field != nullptr);
            QCOMPARE(field->text.size(), size_t{(1 << 20) + 1});
            QCOMPARE(edit->toPlainText().size(), (1 << 20) + 1);
        }
    }
}

void PageViewTest::SingleLineFieldsAreNotCutAtQtsDefaultLimit() {
    CKeywrightDlg window;
    window.show();
    CPageView* view = window.PageView(TabOf("des"));
    auto* data = view->findChild<QLineEdit*>(QStringLiteral("data"));
    QVERIFY(data != nullptr);
    data->clear();
    data->insert(QString(40000, QLatin1Char('0')));
    QCOMPARE(view->Page().FindField("data")->text.size(), size_t{40000});
    QCOMPARE(view->findChild<QLineEdit*>(QStringLiteral("data_count"))->text(),
             QStringLiteral("20000"));
    QTest::mouseClick(view->findChild<QPushButton*>(QStringLiteral("encrypt")), Qt::LeftButton);
    QCOMPARE(view->findChild<QLineEdit*>(QStringLiteral("result"))->text().size(), 40000);
}

void PageViewTest::LineBreaksRoundTripAsCrLf() {
    CKeywrightDlg window;
    window.show();
    window.Tabs()->setCurrentIndex(TabOf("tlv"));
    CPageView* view = window.PageView(TabOf("tlv"));
    auto* data = view->findChild<QPlainTextEdit*>(QStringLiteral("data"));
    QVERIFY(data != nullptr);
    data->clear();
    QTest::keyClicks(data, QStringLiteral("9F36 02"));
    QTest::keyClick(data, Qt::Key_Return);
    QTest::keyClicks(data, QStringLiteral("0001"));
    QCOMPARE(view->Page().FindField("data")->text, std::string("9F36 02\r\n0001"));
    QTest::mouseClick(view->findChild<QPushButton*>(QStringLiteral("parse")), Qt::LeftButton);
    const std::string listing = view->Page().FindField("result")->text;
    QVERIFY(listing.find("\r\n") != std::string::npos);
    auto* result = view->findChild<QPlainTextEdit*>(QStringLiteral("result"));
    QVERIFY(!result->toPlainText().contains(QLatin1Char('\r')));
    QCOMPARE(result->toPlainText().replace(QStringLiteral("\n"), QStringLiteral("\r\n")),
             QString::fromStdString(listing));
}

void PageViewTest::DropDownAndCheckBoxReachTheModel() {
    CKeywrightDlg window;
    window.show();
    CPageView* rsa = window.PageView(TabOf("rsa"));
    auto* bits = rsa->findChild<QComboBox*>();
    QVERIFY(bits != nullptr);
    bits->setCurrentIndex(3);
    emit bits->activated(3);
    QCOMPARE(rsa->Page().FindOption("bits")->selected, 3);

    window.Tabs()->setCurrentIndex(TabOf("convert"));
    CPageView* convert = window.PageView(TabOf("convert"));
    auto* spaced = convert->findChild<QCheckBox*>();
    QVERIFY(spaced != nullptr);
    QTest::mouseClick(spaced, Qt::LeftButton);
    QVERIFY(spaced->isChecked());
    QCOMPARE(convert->Page().FindOption("spaced")->selected, 1);
    Radio(convert, QStringLiteral("ASCII转十六进制"))->click();
    auto* input = convert->findChild<QPlainTextEdit*>(QStringLiteral("input"));
    QTest::keyClicks(input, QStringLiteral("AB"));
    QTest::mouseClick(convert->findChild<QPushButton*>(QStringLiteral("convert")), Qt::LeftButton);
    QCOMPARE(convert->findChild<QPlainTextEdit*>(QStringLiteral("output"))->toPlainText(),
             QStringLiteral("41 42 "));
}

void PageViewTest::KeyTypeRadiosCanAllBeCleared() {
    CKeywrightDlg window;
    window.show();
    CPageView* view = window.PageView(TabOf("des"));
    auto* key = view->findChild<QLineEdit*>(QStringLiteral("key"));
    QRadioButton* single = Radio(view, QStringLiteral("单倍DES运算"));
    QRadioButton* twice = Radio(view, QStringLiteral("双倍DES运算"));
    QVERIFY(single != nullptr && twice != nullptr);
    QVERIFY(single->isChecked());
    key->clear();
    QTest::keyClicks(key, QStringLiteral("00112233445566778899"));
    for (QRadioButton* radio : view->findChildren<QRadioButton*>()) {
        if (radio->text().contains(QStringLiteral("DES运算"))) {
            QVERIFY2(!radio->isChecked(), qPrintable(radio->text()));
        }
    }
    QTest::mouseClick(twice, Qt::LeftButton);
    QVERIFY(twice->isChecked());
    QCOMPARE(key->text(), QStringLiteral("0123456789ABCDEFFEDCBA9876543210"));
    // A second click on a selected radio does not clear it: the model's choice stands.
    QTest::mouseClick(twice, Qt::LeftButton);
    QVERIFY(twice->isChecked());
}

void PageViewTest::AFaultyPageShowsAnInternalErrorInsteadOfEnding() {
    CThrowingPage page;
    CPageView view(page);
    std::vector<MessageBox> shown;
    view.SetMessagePresenter(
        [&](QWidget*, const MessageBox& message) { shown.push_back(message); });
    QTest::mouseClick(view.findChild<QPushButton*>(QStringLiteral("go")), Qt::LeftButton);
    QCOMPARE(shown.size(), size_t{1});
    QCOMPARE(QString::fromStdString(shown[0].caption), QStringLiteral("Error"));
    QVERIFY(QString::fromStdString(shown[0].text)
                .startsWith(QStringLiteral("Internal error in page faulty")));
    QTest::keyClicks(view.findChild<QLineEdit*>(QStringLiteral("data")), QStringLiteral("12"));
    QCOMPARE(page.FindField("data")->text, std::string("12"));
}

QTEST_MAIN(PageViewTest)
#include "page_view_test.moc"

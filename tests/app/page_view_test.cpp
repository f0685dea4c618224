// The generic page view against the real page models: nothing typed is cut or lost, line breaks
// round-trip, every kind of option control reaches the model, and a faulty page cannot end the
// program.
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
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
        // A value that is no std::exception at all.
        AddButton("throw", "抛出", []() -> ActionResult { throw 42; });
        AddSection({.caption = "故障", .fields = {"data"}, .buttons = {"go", "throw"}});
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
    void ALongActionRunsOnAWorkerAndShowsItsResult();
    void ACancelledLongActionChangesNothingAndSaysNothing();
    void FilesLoadIntoFieldsAndResultsSaveAsTextOrBytes();
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
    QTRY_VERIFY(!view->Busy());
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
    for (const char* button : {"go", "throw"}) {
        shown.clear();
        QTest::mouseClick(view.findChild<QPushButton*>(QString::fromLatin1(button)),
                          Qt::LeftButton);
        QCOMPARE(shown.size(), size_t{1});
        QCOMPARE(QString::fromStdString(shown[0].caption), QStringLiteral("Error"));
        QVERIFY(QString::fromStdString(shown[0].text)
                    .startsWith(QStringLiteral("Internal error in page faulty")));
    }
    QTest::keyClicks(view.findChild<QLineEdit*>(QStringLiteral("data")), QStringLiteral("12"));
    QCOMPARE(page.FindField("data")->text, std::string("12"));
}

namespace {

// Sm4RepeatRun shows the SM4 page with the repeat run chosen and `count` typed, and collects the
// messages the page would show.
CPageView* Sm4RepeatRun(CKeywrightDlg& window, const QString& count,
                        std::vector<MessageBox>& shown) {
    const int tab = TabOf("sm4");
    window.Tabs()->setCurrentIndex(tab);
    CPageView* view = window.PageView(tab);
    view->SetMessagePresenter(
        [&shown](QWidget*, const MessageBox& message) { shown.push_back(message); });
    auto* repeat = view->findChild<QGroupBox*>(QStringLiteral("repeat"));
    QTest::mouseClick(repeat->findChildren<QRadioButton*>().at(0), Qt::LeftButton);
    auto* count_edit = view->findChild<QLineEdit*>(QStringLiteral("count"));
    count_edit->selectAll();
    QTest::keyClicks(count_edit, count);
    return view;
}

}  // namespace

void PageViewTest::ALongActionRunsOnAWorkerAndShowsItsResult() {
    CKeywrightDlg window;
    window.show();
    std::vector<MessageBox> shown;
    CPageView* view = Sm4RepeatRun(window, QStringLiteral("1000000"), shown);
    auto* encrypt = view->findChild<QPushButton*>(QStringLiteral("encrypt"));
    QTest::mouseClick(encrypt, Qt::LeftButton);
    QVERIFY(view->Busy());
    QVERIFY(!encrypt->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(!view->Busy(), 60000);
    // GB/T 32907 example 2.
    QCOMPARE(view->findChild<QLineEdit*>(QStringLiteral("result"))->text(),
             QStringLiteral("595298C7C6FD271F0402F804C33D3F66"));
    QVERIFY(encrypt->isEnabled());
    QVERIFY(shown.empty());
}

void PageViewTest::ACancelledLongActionChangesNothingAndSaysNothing() {
    CKeywrightDlg window;
    window.show();
    std::vector<MessageBox> shown;
    CPageView* view = Sm4RepeatRun(window, QStringLiteral("2147483647"), shown);
    auto* data_label = view->findChild<QLabel*>(QStringLiteral("data_label"));
    const QString label_before = data_label->text();
    QTest::mouseClick(view->findChild<QPushButton*>(QStringLiteral("encrypt")), Qt::LeftButton);
    QVERIFY(view->Busy());
    QTRY_VERIFY(view->findChild<QProgressBar*>(QStringLiteral("progress"))->isVisible());
    QTest::mouseClick(view->findChild<QPushButton*>(QStringLiteral("cancel")), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!view->Busy(), 1000);
    QCOMPARE(view->findChild<QLineEdit*>(QStringLiteral("result"))->text(), QString());
    QCOMPARE(data_label->text(), label_before);
    QVERIFY(shown.empty());
    QVERIFY(!view->findChild<QProgressBar*>(QStringLiteral("progress"))->isVisible());
}

void PageViewTest::FilesLoadIntoFieldsAndResultsSaveAsTextOrBytes() {
    CKeywrightDlg window;
    window.show();
    const int tab = TabOf("des");
    window.Tabs()->setCurrentIndex(tab);
    CPageView* view = window.PageView(tab);
    QTemporaryDir dir;
    const auto write = [&](const char* name, const QByteArray& content) {
        QFile file(dir.filePath(QString::fromLatin1(name)));
        file.open(QIODevice::WriteOnly);
        file.write(content);
        return file.fileName();
    };
    auto* data = view->findChild<QLineEdit*>(QStringLiteral("data"));
    QVERIFY(view->LoadFile("data", write("dump.hex", "11 22 33\n")));
    QCOMPARE(data->text(), QStringLiteral("11 22 33"));
    QVERIFY(view->LoadFile("data", write("image.bin", QByteArray("\x00\xFF\x11", 3))));
    QCOMPARE(data->text(), QStringLiteral("00FF11"));
    QCOMPARE(view->findChild<QLineEdit*>(QStringLiteral("data_count"))->text(),
             QStringLiteral("03"));

    QTest::mouseClick(view->findChild<QPushButton*>(QStringLiteral("encrypt")), Qt::LeftButton);
    // OpenSSL des-ecb of 00 FF 11 80 00 00 00 00 under 0123456789ABCDEF.
    const QString raw = dir.filePath(QStringLiteral("result.bin"));
    const QString text = dir.filePath(QStringLiteral("result.txt"));
    QVERIFY(view->SaveFile("result", raw, true));
    QVERIFY(view->SaveFile("result", text, false));
    QFile raw_file(raw);
    QVERIFY(raw_file.open(QIODevice::ReadOnly));
    QCOMPARE(raw_file.readAll(), QByteArray::fromHex("9E257F5B3F6CFCC5"));
    QFile text_file(text);
    QVERIFY(text_file.open(QIODevice::ReadOnly));
    QCOMPARE(text_file.readAll(), QByteArray("9E257F5B3F6CFCC5"));

    std::vector<MessageBox> shown;
    view->SetMessagePresenter(
        [&shown](QWidget*, const MessageBox& message) { shown.push_back(message); });
    QVERIFY(!view->LoadFile("data", dir.path()));
    QCOMPARE(shown.size(), size_t{1});
    QCOMPARE(data->text(), QStringLiteral("00FF11"));
}

QTEST_MAIN(PageViewTest)
#include "page_view_test.moc"

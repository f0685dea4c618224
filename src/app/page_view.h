// CPageView: the widgets of one page, bound to its page model.
//
// The view builds its widgets from the model's form, hands every user gesture to the model (typing,
// choosing, pressing) and then copies the model's state back into the widgets. It holds no logic of
// its own: what a gesture does is the model's business.
#pragma once

#include <QString>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/page.h"

class QAbstractButton;
class QProgressBar;
class QThread;
class QTimer;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

class CPageView : public QWidget {
    Q_OBJECT

public:
    // The page model must outlive the view.
    explicit CPageView(CPage& page, QWidget* parent = nullptr);
    // A long action still running is cancelled and waited for.
    ~CPageView() override;

    CPage& Page() { return m_page; }

    // MessagePresenter shows an action's message box; tests replace it to read the message.
    using MessagePresenter = std::function<void(QWidget* parent, const MessageBox& message)>;
    void SetMessagePresenter(MessagePresenter presenter) { m_presenter = std::move(presenter); }
    static void ShowMessageBox(QWidget* parent, const MessageBox& message);

    // Refresh copies the model's whole state into the widgets.
    void Refresh();

    // Busy tells whether a long action is running on the worker thread; CancelLongAction asks
    // it to stop (the Cancel button).
    bool Busy() const { return m_worker != nullptr; }
    void CancelLongAction();
    // StopLongAction cancels a running long action and waits for its worker to end, without
    // showing or logging anything: the window calls it before its page models go.
    void StopLongAction();

    // LoadFile types a file into a hex field ("从文件载入...", or a file dropped on it): a hex
    // dump as its text, any other file as the hex of its bytes. SaveFile writes a result field
    // ("保存到文件...") as its hex text, or as the bytes it stands for when `raw`. Both show a
    // message box and give false when the file cannot be read or written.
    bool LoadFile(const std::string& field_id, const QString& path);
    bool SaveFile(const std::string& field_id, const QString& path, bool raw);

signals:
    // ActionLogged gives the operation-log record of every action that ran to its end.
    void ActionLogged(const QString& record);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // What the widgets of a field show, so that a refresh touches only what the model changed:
    // rewriting a megabyte field on every keystroke elsewhere would make typing quadratic.
    struct FieldShown {
        std::string text;
        std::string label;
        std::string counter;
        bool enabled = true;
        bool visible = true;
        bool read_only = false;
    };
    struct FieldWidgets {
        QLabel* label = nullptr;
        QLineEdit* line = nullptr;
        QPlainTextEdit* text = nullptr;
        QLineEdit* counter = nullptr;
        QLabel* bytesWord = nullptr;
        std::optional<FieldShown> shown;
    };
    struct OptionWidgets {
        std::vector<QAbstractButton*> radios;
        QCheckBox* check = nullptr;
        QComboBox* combo = nullptr;
        QGroupBox* frame = nullptr;
        std::optional<int> shown;
    };
    struct ButtonShown {
        std::string caption;
        bool enabled = true;
    };
    struct ButtonWidgets {
        QPushButton* push = nullptr;
        std::optional<ButtonShown> shown;
    };

    QWidget* BuildSection(const Section& section);
    // AddFieldRow puts the field's label, edit, counter and "字节" into the row from `column` on.
    void AddFieldRow(class QGridLayout* grid, int row, const Field& field, int column);
    QWidget* BuildOption(const OptionGroup& group);
    QPushButton* BuildButton(const Button& button);

    void OnTyped(const std::string& field_id, const QString& text);
    void OnChosen(const std::string& group_id, int index);
    void OnPressed(const std::string& button_id);
    // A long action runs on a worker thread while the form is disabled and a progress bar with
    // a Cancel button shows; the model is not touched from this thread until it has finished.
    void StartLongAction(const std::string& button_id);
    void OnLongActionFinished();
    void ShowProgress();
    // Guarded runs a gesture on the model; an exception from it (a fault of the page, never of
    // the user's input) is shown as one internal-error message instead of ending the program.
    ActionResult Guarded(const std::function<ActionResult()>& gesture);

    void AddFileActions(QWidget* edit, const Field& field);
    void ShowContextMenu(QWidget* edit, const Field& field, const QPoint& pos);
    void AskLoadFile(const std::string& field_id);
    void AskSaveFile(const std::string& field_id);
    void Present(const MessageBox& message) { m_presenter(this, message); }
    void Log(const std::string& action, const ActionResult& message);

    void RefreshField(const Field& field);
    void RefreshOption(const OptionGroup& group);
    void RefreshButton(const Button& button);

    CPage& m_page;
    std::map<std::string, FieldWidgets> m_fields;
    std::map<std::string, OptionWidgets> m_options;
    std::map<std::string, ButtonWidgets> m_buttons;
    MessagePresenter m_presenter = &CPageView::ShowMessageBox;
    bool m_refreshing = false;

    QWidget* m_form = nullptr;
    QWidget* m_busy = nullptr;
    QProgressBar* m_progressBar = nullptr;
    QTimer* m_progressTimer = nullptr;
    QThread* m_worker = nullptr;
    std::unique_ptr<CProgress> m_progress;
    std::string m_workerAction;
    ActionResult m_workerResult;
};

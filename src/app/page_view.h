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
#include <optional>
#include <string>
#include <vector>

#include "common/page.h"

class QAbstractButton;
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

    CPage& Page() { return m_page; }

    // MessagePresenter shows an action's message box; tests replace it to read the message.
    using MessagePresenter = std::function<void(QWidget* parent, const MessageBox& message)>;
    void SetMessagePresenter(MessagePresenter presenter) { m_presenter = std::move(presenter); }
    static void ShowMessageBox(QWidget* parent, const MessageBox& message);

    // Refresh copies the model's whole state into the widgets.
    void Refresh();

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
    void AddFieldRow(class QGridLayout* grid, int row, const Field& field);
    QWidget* BuildOption(const OptionGroup& group);
    QPushButton* BuildButton(const Button& button);

    void OnTyped(const std::string& field_id, const QString& text);
    void OnChosen(const std::string& group_id, int index);
    void OnPressed(const std::string& button_id);
    // Guarded runs a gesture on the model; an exception from it (a fault of the page, never of
    // the user's input) is shown as one internal-error message instead of ending the program.
    ActionResult Guarded(const std::function<ActionResult()>& gesture);

    void RefreshField(const Field& field);
    void RefreshOption(const OptionGroup& group);
    void RefreshButton(const Button& button);

    CPage& m_page;
    std::map<std::string, FieldWidgets> m_fields;
    std::map<std::string, OptionWidgets> m_options;
    std::map<std::string, ButtonWidgets> m_buttons;
    MessagePresenter m_presenter = &CPageView::ShowMessageBox;
    bool m_refreshing = false;
};

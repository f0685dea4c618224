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
    struct FieldWidgets {
        QLabel* label = nullptr;
        QLineEdit* line = nullptr;
        QPlainTextEdit* text = nullptr;
        QLineEdit* counter = nullptr;
        QLabel* bytesWord = nullptr;
    };
    struct OptionWidgets {
        std::vector<QAbstractButton*> radios;
        QCheckBox* check = nullptr;
        QComboBox* combo = nullptr;
        QGroupBox* frame = nullptr;
    };

    QWidget* BuildSection(const Section& section);
    void AddFieldRow(class QGridLayout* grid, int row, const Field& field);
    QWidget* BuildOption(const OptionGroup& group);
    QPushButton* BuildButton(const Button& button);

    void OnTyped(const std::string& field_id, const QString& text);
    void OnChosen(const std::string& group_id, int index);
    void OnPressed(const std::string& button_id);

    void RefreshField(const Field& field);
    void RefreshOption(const OptionGroup& group);

    CPage& m_page;
    std::map<std::string, FieldWidgets> m_fields;
    std::map<std::string, OptionWidgets> m_options;
    std::map<std::string, QPushButton*> m_buttons;
    MessagePresenter m_presenter = &CPageView::ShowMessageBox;
    bool m_refreshing = false;
};

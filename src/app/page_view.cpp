#include "app/page_view.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>
#include <limits>
#include <utility>

#include "app/role_style.h"
#include "common/operation_log.h"

namespace {

QString ToQt(const std::string& text) {
    return QString::fromStdString(text);
}

// The model keeps line breaks as CR LF, as an edit control holds them; the widget shows LF.
QString ModelToWidget(const std::string& text) {
    QString shown = ToQt(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return shown;
}

std::string WidgetToModel(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return text.toStdString();
}

QLineEdit* MakeCounter() {
    auto* counter = new QLineEdit;
    counter->setReadOnly(true);
    counter->setAlignment(Qt::AlignCenter);
    counter->setFont(FixedEditFont());
    counter->setFixedWidth(48);
    counter->setFocusPolicy(Qt::NoFocus);
    return counter;
}

// FitCaption widens a button so that its caption in the heavy button font keeps a margin of at
// least kButtonMargin pixels on each side (a four-character caption touches the edges otherwise).
constexpr int kButtonMargin = 12;
void FitCaption(QPushButton* push) {
    const QFontMetrics metrics(push->font());
    push->setMinimumWidth(metrics.horizontalAdvance(push->text()) + 2 * kButtonMargin +
                          push->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, push));
}

}  // namespace

CPageView::CPageView(CPage& page, QWidget* parent) : QWidget(parent), m_page(page) {
    setObjectName(ToQt(page.Name()));
    auto* layout = new QVBoxLayout(this);
    m_form = new QWidget;
    auto* form = new QVBoxLayout(m_form);
    form->setContentsMargins(0, 0, 0, 0);
    for (const Section& section : page.Sections()) {
        form->addWidget(BuildSection(section));
    }
    layout->addWidget(m_form);

    m_busy = new QWidget;
    auto* busy = new QHBoxLayout(m_busy);
    busy->setContentsMargins(0, 0, 0, 0);
    m_progressBar = new QProgressBar;
    m_progressBar->setObjectName(QStringLiteral("progress"));
    auto* cancel = new QPushButton(QStringLiteral("取消"));
    cancel->setObjectName(QStringLiteral("cancel"));
    connect(cancel, &QPushButton::clicked, this, &CPageView::CancelLongAction);
    busy->addWidget(m_progressBar, 1);
    busy->addWidget(cancel);
    m_busy->hide();
    layout->addWidget(m_busy);
    layout->addStretch(1);

    m_progressTimer = new QTimer(this);
    m_progressTimer->setInterval(50);
    connect(m_progressTimer, &QTimer::timeout, this, &CPageView::ShowProgress);
    Refresh();
}

CPageView::~CPageView() {
    StopLongAction();
}

QWidget* CPageView::BuildSection(const Section& section) {
    auto* frame = new QGroupBox(ToQt(section.caption));
    ApplyCaptionRole(frame, section.caption_role);
    auto* layout = new QVBoxLayout(frame);

    auto* grid = new QGridLayout;
    int row = 0;
    for (const std::string& id : section.fields) {
        AddFieldRow(grid, row, *m_page.FindField(id), 0);
        // A small field that belongs to this one (the key's check value) shares its row.
        for (const Field& beside : m_page.Fields()) {
            if (beside.beside == id) {
                AddFieldRow(grid, row, beside, 4);
            }
        }
        ++row;
    }
    grid->setColumnStretch(1, 1);

    // Option groups fill rows of at most seven choices (three groups at most), so that a page
    // with many groups stays within the window's width and short enough to show its results.
    auto* options = new QVBoxLayout;
    QHBoxLayout* row_layout = nullptr;
    int row_choices = 0;
    int row_groups = 0;
    for (const std::string& id : section.options) {
        const OptionGroup& group = *m_page.FindOption(id);
        const int width = group.kind == OptionKind::CheckBox ? 1
                          : group.columns > 0                ? group.columns
                                              : static_cast<int>(group.choices.size());
        if (row_layout == nullptr || row_choices + width > 7 || row_groups == 3) {
            if (row_layout != nullptr) {
                row_layout->addStretch(1);
            }
            row_layout = new QHBoxLayout;
            options->addLayout(row_layout);
            row_choices = 0;
            row_groups = 0;
        }
        row_layout->addWidget(BuildOption(group), 0, Qt::AlignTop);
        row_choices += width;
        ++row_groups;
    }
    if (row_layout != nullptr) {
        row_layout->addStretch(1);
    }
    QLayout* fields = grid;
    QLayout* choices = options;
    layout->addLayout(section.options_first ? choices : fields);
    layout->addLayout(section.options_first ? fields : choices);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (const std::string& id : section.buttons) {
        buttons->addWidget(BuildButton(*m_page.FindButton(id)));
    }
    buttons->addStretch(1);
    layout->addLayout(buttons);

    for (const std::string& note : section.notes) {
        auto* label = new QLabel(ToQt(note));
        label->setWordWrap(true);
        ApplyCaptionRole(label, Role::Plain);
        layout->addWidget(label);
    }
    return frame;
}

void CPageView::AddFieldRow(QGridLayout* grid, int row, const Field& field, int column) {
    FieldWidgets widgets;
    widgets.label = new QLabel;
    ApplyCaptionRole(widgets.label, field.label_role);
    grid->addWidget(widgets.label, row, column,
                    field.kind == FieldKind::MultiLine ? Qt::AlignTop : Qt::Alignment());

    QWidget* edit = nullptr;
    const std::string id = field.id;
    if (field.kind == FieldKind::MultiLine) {
        widgets.text = new QPlainTextEdit;
        widgets.text->setMinimumHeight(50);
        // Wrapping at word boundaries is quadratic in the length of a run without blanks, and a
        // hex field is one such run: it wraps anywhere, or not at all where the page says so.
        if (field.wrap_lines) {
            widgets.text->setWordWrapMode(QTextOption::WrapAnywhere);
        } else {
            widgets.text->setLineWrapMode(QPlainTextEdit::NoWrap);
        }
        connect(widgets.text, &QPlainTextEdit::textChanged, this,
                [this, id, text = widgets.text] { OnTyped(id, text->toPlainText()); });
        edit = widgets.text;
    } else {
        widgets.line = new QLineEdit;
        widgets.line->setMinimumHeight(26);
        // Qt's default limit of 32,767 characters would cut a pasted field without a word.
        widgets.line->setMaxLength(std::numeric_limits<int>::max());
        connect(widgets.line, &QLineEdit::textEdited, this,
                [this, id](const QString& text) { OnTyped(id, text); });
        // Enter in a one-row field presses the action the page declares for it (加密, 计算 ...).
        connect(widgets.line, &QLineEdit::returnPressed, this, [this, id] {
            if (const std::string action = m_page.EnterAction(id); !action.empty()) {
                OnPressed(action);
            }
        });
        edit = widgets.line;
    }
    edit->setObjectName(ToQt(field.id));
    if (field.fixed_font) {
        edit->setFont(FixedEditFont());
    }
    ApplyFieldRole(edit, field.role);
    AddFileActions(edit, field);
    if (field.centred && widgets.line != nullptr) {
        widgets.line->setAlignment(Qt::AlignCenter);
    }
    if (field.width_chars > 0) {
        const QFontMetrics metrics(edit->font());
        edit->setFixedWidth(metrics.horizontalAdvance(QString(field.width_chars + 2, QChar('0'))));
    }
    grid->addWidget(edit, row, column + 1);

    if (field.HasCounter()) {
        widgets.counter = MakeCounter();
        widgets.counter->setObjectName(ToQt(field.id + "_count"));
        widgets.bytesWord = new QLabel(QStringLiteral("字节"));
        ApplyCaptionRole(widgets.bytesWord, Role::Plain);
        const Qt::Alignment align =
            field.kind == FieldKind::MultiLine ? Qt::AlignTop : Qt::AlignVCenter;
        grid->addWidget(widgets.counter, row, column + 2, align);
        grid->addWidget(widgets.bytesWord, row, column + 3, align);
    }
    widgets.label->setObjectName(ToQt(field.id + "_label"));
    // A hidden row keeps its place, as a fixed dialog layout does, so that the buttons under the
    // fields stay where the hand is when an option shows or hides rows.
    for (QWidget* part :
         {static_cast<QWidget*>(widgets.label), edit, static_cast<QWidget*>(widgets.counter),
          static_cast<QWidget*>(widgets.bytesWord)}) {
        if (part != nullptr) {
            QSizePolicy policy = part->sizePolicy();
            policy.setRetainSizeWhenHidden(true);
            part->setSizePolicy(policy);
        }
    }
    m_fields[field.id] = widgets;
}

QWidget* CPageView::BuildOption(const OptionGroup& group) {
    OptionWidgets widgets;
    const std::string id = group.id;
    QWidget* result = nullptr;
    if (group.kind == OptionKind::CheckBox) {
        widgets.check = new QCheckBox(ToQt(group.choices.back().caption));
        ApplyCaptionRole(widgets.check, group.choices.back().role);
        connect(widgets.check, &QCheckBox::clicked, this,
                [this, id](bool checked) { OnChosen(id, checked ? 1 : 0); });
        result = widgets.check;
    } else if (group.kind == OptionKind::DropDown) {
        auto* box = new QWidget;
        auto* row = new QHBoxLayout(box);
        row->setContentsMargins(0, 0, 0, 0);
        auto* caption = new QLabel(ToQt(group.caption));
        ApplyCaptionRole(caption, group.caption_role);
        widgets.combo = new QComboBox;
        widgets.combo->setFont(FixedEditFont());
        for (const Choice& choice : group.choices) {
            widgets.combo->addItem(ToQt(choice.caption));
        }
        connect(widgets.combo, &QComboBox::activated, this,
                [this, id](int index) { OnChosen(id, index); });
        row->addWidget(caption);
        row->addWidget(widgets.combo);
        result = box;
    } else {
        widgets.frame = new QGroupBox(ToQt(group.caption));
        ApplyCaptionRole(widgets.frame, group.caption_role);
        auto* grid = new QGridLayout(widgets.frame);
        const int columns =
            group.columns > 0 ? group.columns : static_cast<int>(group.choices.size());
        for (size_t i = 0; i < group.choices.size(); ++i) {
            auto* radio = new QRadioButton(ToQt(group.choices[i].caption));
            // Radios are not exclusive by themselves: the model decides what is selected, and a
            // key-type group may have none selected.
            radio->setAutoExclusive(false);
            ApplyCaptionRole(radio, group.choices[i].role);
            const int index = static_cast<int>(i);
            connect(radio, &QRadioButton::clicked, this,
                    [this, id, index] { OnChosen(id, index); });
            grid->addWidget(radio, index / columns, index % columns);
            widgets.radios.push_back(radio);
        }
        if (!group.field.empty()) {
            auto* row = new QGridLayout;
            AddFieldRow(row, 0, *m_page.FindField(group.field), 0);
            grid->addLayout(row, 0, columns);
        }
        result = widgets.frame;
    }
    result->setObjectName(ToQt(group.id));
    m_options[group.id] = widgets;
    return result;
}

QPushButton* CPageView::BuildButton(const Button& button) {
    auto* push = new QPushButton(ToQt(button.caption));
    push->setObjectName(ToQt(button.id));
    push->setFont(HeavyButtonFont());
    push->setMinimumHeight(36);
    FitCaption(push);
    // In a dialog every push button would otherwise be a default button that Enter also presses.
    push->setAutoDefault(false);
    const std::string id = button.id;
    connect(push, &QPushButton::clicked, this, [this, id] { OnPressed(id); });
    m_buttons[button.id].push = push;
    return push;
}

void CPageView::OnTyped(const std::string& field_id, const QString& text) {
    if (m_refreshing) {
        return;
    }
    std::string typed = WidgetToModel(text);
    // The widget already shows what was typed: only what the model makes of it is copied back.
    if (FieldWidgets& widgets = m_fields.at(field_id); widgets.shown) {
        widgets.shown->text = typed;
    }
    const ActionResult message = Guarded([&] {
        m_page.Type(field_id, std::move(typed));
        return ActionResult{};
    });
    Refresh();
    if (message) {
        m_presenter(this, *message);
    }
}

void CPageView::OnChosen(const std::string& group_id, int index) {
    if (m_refreshing) {
        return;
    }
    // A click may have toggled the widget by itself (a second click unticks a radio): whatever
    // it shows now, the model's choice is written back.
    m_options.at(group_id).shown.reset();
    const ActionResult message = Guarded([&] {
        m_page.Choose(group_id, index);
        return ActionResult{};
    });
    Refresh();
    if (message) {
        m_presenter(this, *message);
    }
}

void CPageView::OnPressed(const std::string& button_id) {
    if (m_worker != nullptr) {
        return;
    }
    if (const Button* button = m_page.FindButton(button_id); button && button->long_running) {
        StartLongAction(button_id);
        return;
    }
    const ActionResult message = Guarded([&] { return m_page.Press(button_id); });
    Refresh();
    Log(button_id, message);
    if (message) {
        m_presenter(this, *message);
    }
}

void CPageView::Log(const std::string& action, const ActionResult& message) {
    emit ActionLogged(ToQt(LogRecord(m_page, action, message, LocalTimeText())));
}

ActionResult CPageView::Guarded(const std::function<ActionResult()>& gesture) {
    try {
        return gesture();
    } catch (const std::exception& error) {
        return InternalErrorBox(m_page.Name(), error.what());
    } catch (...) {
        return InternalErrorBox(m_page.Name(), kUnknownFault);
    }
}

void CPageView::ShowMessageBox(QWidget* parent, const MessageBox& message) {
    QMessageBox box(parent);
    box.setWindowTitle(ToQt(message.caption));
    box.setText(ToQt(message.text));
    box.setIcon(message.icon == MessageIcon::Error      ? QMessageBox::Critical
                : message.icon == MessageIcon::Question ? QMessageBox::Question
                                                        : QMessageBox::NoIcon);
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

void CPageView::Refresh() {
    m_refreshing = true;
    for (const Field& field : m_page.Fields()) {
        RefreshField(field);
    }
    for (const OptionGroup& group : m_page.Options()) {
        RefreshOption(group);
    }
    for (const Button& button : m_page.Buttons()) {
        RefreshButton(button);
    }
    m_refreshing = false;
}

void CPageView::RefreshField(const Field& field) {
    const auto it = m_fields.find(field.id);
    if (it == m_fields.end()) {
        return;
    }
    FieldWidgets& w = it->second;
    const bool all = !w.shown;
    FieldShown& shown = all ? w.shown.emplace() : *w.shown;
    QWidget* edit = w.line != nullptr ? static_cast<QWidget*>(w.line) : w.text;
    if (all || shown.text != field.text) {
        const QString text = ModelToWidget(field.text);
        if (w.line != nullptr) {
            w.line->setText(text);
            // Hex is read from the left: a value the page wrote shows its start, not its end. A
            // field the user is typing in keeps the cursor where typing left it.
            if (field.read_only || !w.line->hasFocus()) {
                w.line->setCursorPosition(0);
            }
        } else {
            w.text->setPlainText(text);
        }
        shown.text = field.text;
    }
    if (all || shown.read_only != field.read_only) {
        if (w.line != nullptr) {
            w.line->setReadOnly(field.read_only);
        } else {
            w.text->setReadOnly(field.read_only);
            // A result is there to be copied: selectable by keyboard as well as by mouse.
            if (field.read_only) {
                w.text->setTextInteractionFlags(Qt::TextSelectableByMouse |
                                                Qt::TextSelectableByKeyboard);
            }
        }
        shown.read_only = field.read_only;
    }
    if (all || shown.enabled != field.enabled) {
        edit->setEnabled(field.enabled);
        shown.enabled = field.enabled;
    }
    if (all || shown.label != field.label) {
        w.label->setText(ToQt(field.label));
        shown.label = field.label;
    }
    if (all || shown.visible != field.visible) {
        for (QWidget* part :
             {static_cast<QWidget*>(w.label), edit, static_cast<QWidget*>(w.counter),
              static_cast<QWidget*>(w.bytesWord)}) {
            if (part != nullptr) {
                part->setVisible(field.visible);
            }
        }
        shown.visible = field.visible;
    }
    if (w.counter != nullptr && (all || shown.counter != field.counter)) {
        w.counter->setText(ToQt(field.counter));
        shown.counter = field.counter;
    }
}

void CPageView::RefreshOption(const OptionGroup& group) {
    OptionWidgets& w = m_options.at(group.id);
    if (w.shown == group.selected) {
        return;
    }
    for (size_t i = 0; i < w.radios.size(); ++i) {
        w.radios[i]->setChecked(static_cast<int>(i) == group.selected);
    }
    if (w.check != nullptr) {
        w.check->setChecked(group.selected == 1);
    }
    if (w.combo != nullptr) {
        w.combo->setCurrentIndex(group.selected);
    }
    w.shown = group.selected;
}

void CPageView::RefreshButton(const Button& button) {
    ButtonWidgets& w = m_buttons.at(button.id);
    if (w.shown && w.shown->caption == button.caption && w.shown->enabled == button.enabled) {
        return;
    }
    w.push->setText(ToQt(button.caption));
    FitCaption(w.push);
    w.push->setEnabled(button.enabled);
    w.shown = ButtonShown{button.caption, button.enabled};
}

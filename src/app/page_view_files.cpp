// CPageView's files: a hex field loads a file (its context menu, or a file dropped on it) and a
// result saves as hex text or raw bytes.
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QUrl>

#include "app/page_view.h"
#include "common/file_text.h"

void CPageView::AddFileActions(QWidget* edit, const Field& field) {
    // Only hex fields (the fixed-pitch ones) take files; a read-only one is a result to save.
    if (!field.fixed_font) {
        return;
    }
    edit->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(edit, &QWidget::customContextMenuRequested, this,
            [this, edit, id = field.id](const QPoint& pos) {
                ShowContextMenu(edit, *m_page.FindField(id), pos);
            });
    if (!field.read_only) {
        QWidget* target = edit;
        if (auto* text = qobject_cast<QPlainTextEdit*>(edit)) {
            target = text->viewport();
        }
        target->setProperty("keywrightField", QString::fromStdString(field.id));
        target->installEventFilter(this);
    }
}

void CPageView::ShowContextMenu(QWidget* edit, const Field& field, const QPoint& pos) {
    QMenu* menu = nullptr;
    if (auto* line = qobject_cast<QLineEdit*>(edit)) {
        menu = line->createStandardContextMenu();
    } else {
        menu = static_cast<QPlainTextEdit*>(edit)->createStandardContextMenu(pos);
    }
    menu->addSeparator();
    const std::string id = field.id;
    if (field.read_only) {
        menu->addAction(QStringLiteral("保存到文件..."), this, [this, id] { AskSaveFile(id); });
    } else {
        QAction* load =
            menu->addAction(QStringLiteral("从文件载入..."), this, [this, id] { AskLoadFile(id); });
        load->setEnabled(field.enabled && m_worker == nullptr);
    }
    menu->exec(edit->mapToGlobal(pos));
    delete menu;
}

void CPageView::AskLoadFile(const std::string& field_id) {
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("从文件载入"));
    if (!path.isEmpty()) {
        LoadFile(field_id, path);
    }
}

void CPageView::AskSaveFile(const std::string& field_id) {
    const QString hex_filter = QStringLiteral("十六进制文本 (*.txt *.hex)");
    const QString raw_filter = QStringLiteral("二进制数据 (*.bin)");
    QString chosen;
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("保存到文件"), QString(),
                                                      hex_filter + ";;" + raw_filter, &chosen);
    if (!path.isEmpty()) {
        SaveFile(field_id, path, chosen == raw_filter);
    }
}

bool CPageView::LoadFile(const std::string& field_id, const QString& path) {
    QFile file(path);
    if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly)) {
        Present(ErrorBox("The file " + path.toStdString() + " can not be read, Pls Check !!!"));
        return false;
    }
    const QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        Present(ErrorBox("The file " + path.toStdString() + " can not be read, Pls Check !!!"));
        return false;
    }
    const ActionResult message = Guarded([&] {
        const std::string_view bytes(content.data(), static_cast<size_t>(content.size()));
        m_page.Type(field_id, TypedText(*m_page.FindField(field_id), FileTextForField(bytes)));
        return ActionResult{};
    });
    Refresh();
    if (message) {
        Present(*message);
    }
    return !message;
}

bool CPageView::SaveFile(const std::string& field_id, const QString& path, bool raw) {
    const std::string& text = m_page.FindField(field_id)->text;
    QByteArray content;
    if (raw) {
        const auto bytes = FieldBytes(text);
        if (!bytes) {
            Present(ErrorBox("The field holds no whole hex bytes to save, Pls Check !!!"));
            return false;
        }
        content = QByteArray(reinterpret_cast<const char*>(bytes->data()),
                             static_cast<qsizetype>(bytes->size()));
    } else {
        content = QByteArray::fromStdString(text);
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(content) != content.size() || !file.flush()) {
        Present(ErrorBox("The file " + path.toStdString() + " can not be written, Pls Check !!!"));
        return false;
    }
    return true;
}

bool CPageView::eventFilter(QObject* watched, QEvent* event) {
    const QVariant field = watched->property("keywrightField");
    if (!field.isValid()) {
        return QWidget::eventFilter(watched, event);
    }
    if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
        auto* drag = static_cast<QDropEvent*>(event);
        if (drag->mimeData()->hasUrls() && drag->mimeData()->urls().value(0).isLocalFile()) {
            drag->acceptProposedAction();
            return true;
        }
    } else if (event->type() == QEvent::Drop) {
        auto* drop = static_cast<QDropEvent*>(event);
        if (drop->mimeData()->hasUrls() && drop->mimeData()->urls().value(0).isLocalFile()) {
            drop->acceptProposedAction();
            if (m_worker == nullptr) {
                LoadFile(field.toString().toStdString(),
                         drop->mimeData()->urls().value(0).toLocalFile());
            }
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

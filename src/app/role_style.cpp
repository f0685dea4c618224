#include "app/role_style.h"

#include <QApplication>
#include <QFontDatabase>
#include <QPalette>
#include <QWidget>

QColor RoleTextColor(Role role) {
    switch (role) {
        case Role::Input:
            return QColor(0, 0, 255);
        case Role::Key:
            return QColor(128, 128, 0);
        case Role::Result:
            return QColor(128, 0, 0);
        case Role::Label:
            return QColor(0, 128, 0);
        case Role::Frame:
            return QColor(255, 128, 0);
        case Role::Option:
            return QColor(128, 128, 255);
        case Role::Plain:
            break;
    }
    return QColor();
}

namespace {

// Sets a palette colour for the active and inactive states; the disabled state keeps the style's
// greyed look, as a disabled control should.
void SetEnabledColor(QPalette& palette, QPalette::ColorRole role, const QColor& color) {
    palette.setColor(QPalette::Active, role, color);
    palette.setColor(QPalette::Inactive, role, color);
}

}  // namespace

void ApplyFieldRole(QWidget* field, Role role) {
    QPalette palette = field->palette();
    const QPalette base = QApplication::palette();
    const QColor color = RoleTextColor(role);
    const bool coloured =
        color.isValid() && role != Role::Label && role != Role::Frame && role != Role::Option;
    SetEnabledColor(palette, QPalette::Text, coloured ? color : base.color(QPalette::Text));
    SetEnabledColor(palette, QPalette::Base,
                    coloured ? QColor(Qt::white) : base.color(QPalette::Base));
    field->setPalette(palette);
}

void ApplyCaptionRole(QWidget* caption, Role role) {
    QPalette palette = caption->palette();
    const QColor color = RoleTextColor(role);
    // Set explicitly even for plain captions, so that a caption never inherits a frame's colour.
    SetEnabledColor(palette, QPalette::WindowText,
                    color.isValid() ? color : QApplication::palette().color(QPalette::WindowText));
    caption->setPalette(palette);
}

QFont FixedEditFont() {
    return QFontDatabase::systemFont(QFontDatabase::FixedFont);
}

QFont HeavyButtonFont() {
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setWeight(QFont::Black);
    font.setPixelSize(18);
    return font;
}

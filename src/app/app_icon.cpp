#include "app/app_icon.h"

#include <QPainter>
#include <QPixmap>

QIcon AppIcon() {
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 256}) {
        icon.addPixmap(AppIconPixmap(size));
    }
    return icon;
}

QPixmap AppIconPixmap(int size) {
    QPixmap pixmap(size, size);
    {
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setBrush(QColor(128, 128, 0));
        painter.setPen(Qt::NoPen);
        painter.drawRoundedRect(QRectF(0, 0, size, size), size / 6.0, size / 6.0);
        QFont font(QStringLiteral("Arial"));
        font.setStyleHint(QFont::SansSerif);
        font.setWeight(QFont::Black);
        font.setPixelSize(size * 9 / 20);
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(pixmap.rect(), Qt::AlignCenter, QStringLiteral("KW"));
    }
    return pixmap;
}

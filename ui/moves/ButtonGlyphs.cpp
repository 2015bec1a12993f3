#include "ButtonGlyphs.h"

#include <QPainter>
#include <QPainterPath>

namespace vornik::ui {

namespace {
QPixmap blank(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    return pixmap;
}
} // namespace

QPixmap recordGlyph() {
    QPixmap pixmap = blank(24);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    painter.drawEllipse(QRectF(4, 4, 16, 16));
    return pixmap;
}

QPixmap compoundKeyGlyph() {
    QPixmap pixmap = blank(16);
    QPainter painter(&pixmap);
    painter.fillRect(QRect(4, 2, 3, 12), Qt::black);
    painter.fillRect(QRect(9, 2, 3, 12), Qt::black);
    return pixmap;
}

QPixmap checkMarkGlyph() {
    QPixmap pixmap = blank(16);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0, 128, 0), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QPainterPath tick;
    tick.moveTo(2.5, 8.5);
    tick.lineTo(6.5, 12.5);
    tick.lineTo(13.5, 3.5);
    painter.drawPath(tick);
    return pixmap;
}

} // namespace vornik::ui

#include "KeyPicture.h"

#include "KeyLabels.h"
#include "PictureStore.h"

#include <QPainter>

namespace vornik::ui {

namespace {
constexpr int kLabelPadding = 3; // pixels between a framed label and its frame
} // namespace

DrawOp pictureOp(const QPixmap& picture, const QString& name, const QRect& target, const QRect& source) {
    DrawOp op;
    op.kind = DrawOp::Kind::Picture;
    op.picture = &picture;
    op.pictureName = name;
    op.target = target;
    op.source = source;
    return op;
}

DrawOp textOp(const QString& text, QPoint topLeft) {
    DrawOp op;
    op.kind = DrawOp::Kind::Text;
    op.text = text;
    op.target = QRect(topLeft, QSize(0, 0));
    return op;
}

DrawOp frameOp(const QRect& rect) {
    DrawOp op;
    op.kind = DrawOp::Kind::Frame;
    op.target = rect;
    return op;
}

void paintDrawOps(QPainter& painter, const DrawOps& ops) {
    for (const DrawOp& op : ops) {
        switch (op.kind) {
        case DrawOp::Kind::Picture:
            if (op.picture != nullptr && !op.picture->isNull())
                painter.drawPixmap(op.target, *op.picture, op.source.isNull() ? op.picture->rect() : op.source);
            break;
        case DrawOp::Kind::Text: {
            // A text's box reaches far enough for any cell; the painter's clip ends it at the cell.
            const QRect box(op.target.topLeft(), QSize(4096, painter.fontMetrics().height() + 4));
            painter.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip, op.text);
            break;
        }
        case DrawOp::Kind::Frame:
            painter.save();
            painter.setBrush(Qt::NoBrush);
            // A QRect's outline covers one pixel more than its size to the right and below.
            painter.drawRect(op.target.adjusted(0, 0, -1, -1));
            painter.restore();
            break;
        }
    }
}

QString stepText(const MoveStep& step) {
    if (step.ChordKey == 0)
        return keyPictureLabel(step.Key);
    return keyPictureLabel(step.Key) + QStringLiteral("+") + keyPictureLabel(step.ChordKey);
}

QString keyPictureLabel(int code) {
    switch (code) {
    case 16:
        return QStringLiteral("Shift");
    case 17:
        return QStringLiteral("Ctrl");
    case 18:
        return QStringLiteral("Alt");
    default:
        return QString::fromStdString(KeyLabel(static_cast<uint16_t>(code)));
    }
}

int appendKeyPicture(DrawOps& ops, const KeyMap& map, const QPixmap& keybu, int code, int x, int middle,
                     const QFontMetrics& metrics) {
    const QRect key = keyRectangle(map, code);
    if (!key.isNull()) {
        // The copy is scaled onto a destination of 2 * (h div 2) rows, so an odd height loses a row.
        const int w = key.width();
        const int h = key.height();
        ops.push_back(pictureOp(keybu, QStringLiteral("keybu"), QRect(x, middle - h / 2, w, 2 * (h / 2)), key));
        return w;
    }
    const QString label = keyPictureLabel(code);
    const int w = metrics.horizontalAdvance(label) + 2 * kLabelPadding;
    const int h = metrics.height() + 2;
    const QRect frame(x, middle - h / 2, w, h);
    ops.push_back(frameOp(frame));
    ops.push_back(textOp(label, QPoint(x + kLabelPadding, frame.top() + 1)));
    return w;
}

} // namespace vornik::ui

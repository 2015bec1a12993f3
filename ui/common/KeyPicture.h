#pragma once

// Cell painting as data: a painter function returns what it would draw as a list of draw
// operations, tests check that list, and paintDrawOps() carries it out. Also the shared "key
// picture" of the joystick grid and the move lists: the key's rectangle cut out of the keyboard
// picture `keybu`, or, for a key the key-map file does not place, its label in a small frame.

#include "KeyMap.h"
#include "Tables.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPixmap>
#include <QRect>
#include <QString>

#include <vector>

namespace vornik::ui {

struct DrawOp {
    enum class Kind {
        Picture, // copy `source` of `picture` (the whole picture when null) onto `target`, scaled
        Text,    // `text` with its top-left corner at target.topLeft(), in the painter's pen and font
        Frame,   // an unfilled rectangle `target` in the painter's pen
    };
    Kind kind = Kind::Text;
    QRect target;
    QString text;
    const QPixmap* picture = nullptr;
    QRect source;
    QString pictureName; // which picture, for tests and debugging: "keybu", "mimg3", "button 5 released"

    bool operator==(const DrawOp&) const = default;
};
using DrawOps = std::vector<DrawOp>;

DrawOp pictureOp(const QPixmap& picture, const QString& name, const QRect& target, const QRect& source = {});
DrawOp textOp(const QString& text, QPoint topLeft);
DrawOp frameOp(const QRect& rect);

void paintDrawOps(QPainter& painter, const DrawOps& ops);

// Appends the picture of key `code` with its left edge at x, centred on the line y = middle, and
// returns its width. With a key-map record: the rectangle (Left, Top)-(Right, Bottom) of `keybu`
// copied to (x, middle - h div 2)-(x + w, middle + h div 2), w and h the rectangle's width and
// height. Without one: the key's label in a frame as high as a line of `metrics`' font.
int appendKeyPicture(DrawOps& ops, const KeyMap& map, const QPixmap& keybu, int code, int x, int middle,
                     const QFontMetrics& metrics);

// The text shown for a key that has no place on the keyboard picture. The generic Shift, Ctrl and
// Alt codes (16, 17, 18), which moves record, are named; every other code gets its key label.
QString keyPictureLabel(int code);

// A move step as text: its key's label, and "+" and the chord key's when it has one.
QString stepText(const MoveStep& step);

} // namespace vornik::ui

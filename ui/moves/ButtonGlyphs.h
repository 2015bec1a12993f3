#pragma once

// The small pictures of the move dialogs' flat buttons, drawn at run time.

#include <QPixmap>

namespace vornik::ui {

// A black dot: the editor's record button.
QPixmap recordGlyph();
// Two vertical bars: the recorder's compound-key button.
QPixmap compoundKeyGlyph();
// A check mark: the recorder's "結束錄製".
QPixmap checkMarkGlyph();

} // namespace vornik::ui

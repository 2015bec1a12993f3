#pragma once

// The cell painter `DCell` and the double-click handler `DbC` shared by every joystick page's
// binding grid; the grid's tag says which joystick it shows.

#include "Configuration.h"
#include "JoystickPage.h"
#include "KeyPicture.h"

#include <QFontMetrics>
#include <QPainter>
#include <QRect>

#include <array>
#include <functional>
#include <vector>

namespace vornik::ui {

class DrawGrid;
class PictureStore;
class TForm3;

class JoystickGrid {
public:
    JoystickGrid(Configuration& config, const PictureStore& pictures, std::array<JoystickPage, kMaxJoysticks>& pages)
        : m_config(config), m_pictures(pictures), m_pages(pages) {}

    // The binding dialog the grids open; it is told where the moves, the key map and `keybu` are.
    void setDialog(TForm3* dialog);
    // Runs when the dialog is about to open and none has been handed over: whoever builds the
    // dialogs builds them now, when first needed.
    void setOnDialogNeeded(std::function<void()> needed) { m_dialogNeeded = std::move(needed); }
    // Runs after a binding was written back.
    void setOnBindingEdited(std::function<void()> edited) { m_edited = std::move(edited); }

    void DCell(DrawGrid& grid, int col, int row, QPainter& painter, const QRect& rect);
    void DbC(DrawGrid& grid);

    // What DCell draws for one cell of joystick 1..32's grid; `metrics` are the grid font's.
    DrawOps cellOps(int joystick, int col, int row, const QRect& rect, const QFontMetrics& metrics) const;
    // The cell's text, as a screen reader reads it: the input's name, its binding, its auto-fire
    // and its auto-fire speed; the headers on row 0.
    QString cellText(int joystick, int col, int row) const;
    // Whether row `row` shows an entry for an input joystick 1..32 lacks (a binding kept for it):
    // drawn greyed.
    bool rowGreyed(int joystick, int row) const;

private:
    DrawOps bindingOps(int joystick, const JoystickBinding& entry, const QRect& rect, const QFontMetrics& metrics) const;
    QString bindingText(int joystick, const JoystickBinding& entry) const;
    // The bindings of joystick j's entry e on the layer its page shows, each named by when it fires
    // (or the input pressed with it); none when there is only the plain one. `first` is the binding
    // whose auto-fire the row shows: the plain one, or else the first; none on a layer above the first
    // that leaves the input to the one beneath.
    QStringList firingTexts(int joystick, int e, const JoystickBinding*& first) const;
    int shownLayer(int joystick) const;

    Configuration& m_config;
    const PictureStore& m_pictures;
    std::array<JoystickPage, kMaxJoysticks>& m_pages;
    TForm3* m_dialog = nullptr;
    std::function<void()> m_dialogNeeded;
    std::function<void()> m_edited;
};

// The binding-table entry shown on grid row `row`: 1..4 for the directions, row - 4 for the button
// rows from 9 on; 0 for the header and the diagonal rows 5..8, which have none.
int joystickEntryOfRow(int row);

// The entries of the rows after the buttons' (37..42, in order): those of the inputs the pad has,
// and with `block`, those it lacks that hold a binding all the same.
std::vector<int> padEntryRows(const JoystickCaps& caps, const JoystickBlock* block);
// The entry of row `row` of a grid set up for `caps` and `block` (SetupJoystickGrid); 0 for none.
int joystickEntryOfRow(int row, const JoystickCaps& caps, const JoystickBlock* block);

// The name of entry 1..kPadEntries on a pad: "上", "按鈕 3", "按鈕 1（A）" on a pad with a layout,
// "右搖桿：上", "左扳機（LT）".
QString entryName(const JoystickCaps& caps, int entry);
// The printed label of a trigger, 1 left or 2 right, in the pad's family: LT, L2, ZL.
QString triggerLabel(PadFamily family, int trigger);

} // namespace vornik::ui

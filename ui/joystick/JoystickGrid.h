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

private:
    DrawOps bindingOps(const JoystickBinding& entry, const QRect& rect, const QFontMetrics& metrics) const;

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

} // namespace vornik::ui

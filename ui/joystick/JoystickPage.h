#pragma once

// One page per joystick: live pictures of the stick and the buttons, the two check boxes the
// engine reads, and the binding grid.

#include "Tables.h"

#include <QCheckBox>
#include <QLabel>

#include <array>

namespace vornik::ui {

class DrawGrid;
class PictureStore;

struct JoystickPage {
    QLabel* DirectionPicture = nullptr;
    DrawGrid* BindingGrid = nullptr;                   // tag: the joystick number
    std::array<QLabel*, kMaxButtons> ButtonPictures{}; // button b in slot b - 1; only 1..M exist
    QCheckBox* TestCheckBox = nullptr;                 // "啟動測試"
    QCheckBox* StopCheckBox = nullptr;                 // "停止作用"

    QLabel* buttonPicture(int button) const { return ButtonPictures.at(static_cast<std::size_t>(button - 1)); }
};

// Creates and places the page's controls; does nothing when the joystick is not present.
void BuildJoystickPage(JoystickPage& page, QWidget* sheet, const JoystickCaps& caps, bool present,
                       const PictureStore& pictures);

// Row height, column count and widths, row count M + 9; repaints when the joystick is present.
void SetupJoystickGrid(DrawGrid* grid, const JoystickCaps& caps, bool present);

// Buttons laid out and processed for a capability record: wMaxButtons, at most 32.
int joystickButtonCount(const JoystickCaps& caps);

} // namespace vornik::ui

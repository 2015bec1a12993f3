#pragma once

// One page per joystick: live pictures of the stick and the buttons, the two check boxes the
// engine reads, the button that opens the pad's pointer settings, and the binding grid.

#include "Tables.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QToolButton>

#include <algorithm>
#include <array>

namespace vornik::ui {

class DrawGrid;
class PictureStore;

// A picture control of the live view. Its tag caches what it shows, so that the live view
// assigns a picture only on change: the direction picture 1 = centre, 0 = anything else; a button
// picture 1 = released, 2 = pressed, 0 = not yet set by the live view.
class PictureControl : public QLabel {
public:
    using QLabel::QLabel;

    int tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }
    // Shows `picture`; counted, so tests can tell an assignment from a control left alone.
    void assign(const QPixmap& picture) {
        setPixmap(picture);
        ++m_assignments;
    }
    int assignments() const { return m_assignments; }

private:
    int m_tag = 0;
    int m_assignments = 0;
};

struct JoystickPage {
    PictureControl* DirectionPicture = nullptr;
    PictureControl* RightStickPicture = nullptr; // beside the direction picture, on a pad with a right stick
    std::array<QLabel*, 2> TriggerLabels{};      // left and right trigger, on a pad that has them
    DrawGrid* BindingGrid = nullptr;                           // tag: the joystick number
    std::array<PictureControl*, kMaxButtons> ButtonPictures{}; // button b in slot b - 1; only 1..M exist
    QCheckBox* TestCheckBox = nullptr;                         // "啟動測試"
    QCheckBox* StopCheckBox = nullptr;                         // "停止作用"
    QLabel* NameLabel = nullptr;                               // the device's name, one line
    QToolButton* PadSettingsButton = nullptr;                  // "滑鼠設定…": what the stick drives
    QComboBox* LayerBox = nullptr;      // the layer the grid shows and the binding dialog edits
    QLabel* ActiveLayerLabel = nullptr; // the layer that answers the pad now, live

    // The layer the grid shows: 1..8.
    int editedLayer() const { return LayerBox != nullptr ? std::clamp(LayerBox->currentIndex() + 1, 1, kMaxLayers) : 1; }

    PictureControl* buttonPicture(int button) const {
        return button >= 1 && button <= kMaxButtons ? ButtonPictures[static_cast<std::size_t>(button - 1)] : nullptr;
    }
};

// Creates and places the page's controls; does nothing when the joystick is not present.
void BuildJoystickPage(JoystickPage& page, QWidget* sheet, const JoystickCaps& caps, bool present,
                       const PictureStore& pictures);

// The device's name on the page, one line beside the direction picture, elided when it does not
// fit; the whole name is its tooltip. Call after BuildJoystickPage; nothing when the page is empty.
void ShowJoystickName(JoystickPage& page, QWidget* sheet, const QString& name);

// The layer box's items, named as `pad` names them; the layer shown stays chosen.
void fillLayerBox(JoystickPage& page, const PadSettings& pad);
// The live line of the layer that answers the pad now.
void showActiveLayer(JoystickPage& page, const PadSettings& pad, int layer);

// Row height, column count and widths, row count M + 9 and a row for each of the right stick's
// directions and each trigger the pad has (and, with `block`, each of them it lacks that holds a
// binding); repaints when the joystick is present. On a pad with a layout the first column is wide
// enough for the buttons' names.
void SetupJoystickGrid(DrawGrid* grid, const JoystickCaps& caps, bool present, const JoystickBlock* block = nullptr);

// Buttons laid out and processed for a capability record: wMaxButtons, at most 32.
int joystickButtonCount(const JoystickCaps& caps);

// The live view's assignments: direction picture 0..8 (mimg0..mimg8), button 1..32 released or
// pressed. Each sets the control's tag to what it now shows; a control that does not exist is
// left alone.
void showDirectionPicture(JoystickPage& page, const PictureStore& pictures, int picture);
void showButtonPicture(JoystickPage& page, const PictureStore& pictures, int button, bool pressed);
// The right stick's picture 0..8; trigger 1 (left) or 2 (right) shown pressed or released.
void showRightStickPicture(JoystickPage& page, const PictureStore& pictures, int picture);
void showTriggerPressed(JoystickPage& page, int trigger, bool pressed);

} // namespace vornik::ui

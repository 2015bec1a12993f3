#pragma once

// TForm3, the joystick binding dialog (caption "設定"): binds one stick direction or button to nothing, to a
// chord of up to three keys chosen on a keyboard picture, to a move, to a pointer button or wheel
// notch, or to a layer switch, with its auto-fire. Below, when the binding fires (its activator) and
// the input pressed together with it: choosing another shows that binding of the same input and
// layer, so a tap and a hold are set in one opening. Created once and reused; the key selection and
// the radio buttons keep their state between openings.

#include "KeyMap.h"
#include "Tables.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

#include <array>
#include <vector>

namespace vornik::ui {

class DrawGrid;

class TForm3 : public QDialog {
    Q_OBJECT
public:
    explicit TForm3(QWidget* parent = nullptr);

    // Where the move names, the key map and the clean keyboard picture `keybu` live; all outlive the dialog.
    void setSources(const MoveTable* moves, const KeyMap* keyMap, const QPixmap* keybu);

    // Edits the bindings of joystick `joystick`'s entry on the grid's selected row (none for the
    // diagonal rows 5..8) on layer `layer`: fills the dialog, runs it, and on OK writes them back and
    // sets the grid up again. True when they were written back (OK).
    bool EditJoystickBinding(DrawGrid& grid, ProfileTables& tables, int joystick, int layer, const JoystickCaps& caps,
                             bool present);

    // Filling steps 3 to 10 from one entry, and the write-back of OK into it.
    void load(const JoystickBinding& entry);
    void save(JoystickBinding& entry) const;

    // Toggles the key under (x, y) of the keyboard picture; any mouse button.
    void kbimgMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    // Restores the keyboard picture from `keybu` and circles every rectangle of each selected key.
    void DrawKeyMarks();

    void CheckBox1Click();
    void CheckBox2Click();
    void RadioButton1Click();
    void RadioButton2Click();
    void RadioButton3Click();
    // The activator or the input pressed together was chosen: the binding shown so far is kept, and
    // the chosen one shown.
    void SlotChosen();

    const std::array<int, 3>& SelectedKeys() const { return m_selectedKeys; }
    int SelectedKeyCount() const { return m_selectedKeyCount; }
    // The ellipses DrawKeyMarks drew on the picture now shown, in drawing order.
    const std::vector<QRect>& marks() const { return m_marks; }
    const QPixmap& keyboardImage() const { return m_keyboardImage; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void restoreKeyboard();
    struct Slot {
        int activator = ActivatePress;
        int with = 0;
        JoystickBinding binding;
    };
    Slot& slot(int activator, int with);
    int chosenActivator() const;
    int chosenWith() const;
    std::vector<Slot> m_slots; // the bindings of the input and layer being edited
    int m_shownActivator = ActivatePress;
    int m_shownWith = 0;
    bool m_filling = false;

    const MoveTable* m_moves = nullptr;
    const KeyMap* m_keyMap = nullptr;
    const QPixmap* m_keybu = nullptr;

    std::array<int, 3> m_selectedKeys{};
    int m_selectedKeyCount = 0;
    QPixmap m_keyboardImage;
    std::vector<QRect> m_marks;

    QCheckBox* m_useBinding;
    QRadioButton* m_bindKeys;
    QLabel* m_keyboardView;
    QRadioButton* m_bindMove;
    QLabel* m_moveLabel;
    QComboBox* m_moveList;
    QRadioButton* m_bindPointer;
    QComboBox* m_pointerList;
    QRadioButton* m_bindLayer;
    QComboBox* m_layerTarget;
    QComboBox* m_layerHow;
    QComboBox* m_activator;
    QComboBox* m_with;
    QCheckBox* m_autoFire;
    QWidget* m_autoFireStyle;
    QRadioButton* m_automatic;
    QRadioButton* m_whileHeld;
    QSlider* m_autoFireDelay;
    QLabel* m_fastest;
    QLabel* m_slowest;
    QPushButton* m_ok;
    QPushButton* m_cancel;
};

} // namespace vornik::ui

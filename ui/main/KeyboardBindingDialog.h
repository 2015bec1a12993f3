#pragma once

// TForm6, the keyboard binding dialog (caption "設定"): binds one keyboard key to a move, with auto-fire.

#include "Tables.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

namespace vornik::ui {

class TForm6 : public QDialog {
    Q_OBJECT
public:
    explicit TForm6(QWidget* parent = nullptr);

    // Fills the move list and loads every control but the two radio buttons from `binding`.
    void load(const KeyBinding& binding, const MoveTable& moves);
    // The record OK writes back: `previous` changed by the controls.
    KeyBinding save(const KeyBinding& previous) const;
    // cb1 and CheckBox2 follow CheckBox1; auto, man and tb1 follow both.
    void applyEnabling();

protected:
    // Opens centred on the screen, as the other dialogs do.
    void showEvent(QShowEvent* event) override;

private:
    QCheckBox* m_useMove;
    QLabel* m_moveLabel;
    QComboBox* m_moveList;
    QCheckBox* m_autoFire;
    QRadioButton* m_automatic;
    QRadioButton* m_whileHeld;
    QSlider* m_autoFireDelay;
    QLabel* m_fastest;
    QLabel* m_slowest;
    QPushButton* m_ok;
    QPushButton* m_cancel;
};

} // namespace vornik::ui

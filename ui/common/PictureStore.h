#pragma once

// The program's compiled-in pictures: the keyboard picture (the hidden copy `keybu` that key
// pictures are cut from), the nine direction pictures, the 32 released and 32 pressed button
// pictures and the application icon.

#include "KeyMap.h"

#include <QIcon>
#include <QPixmap>
#include <QRect>

#include <array>

namespace vornik::ui {

enum class ButtonState { Released, Pressed };

class PictureStore {
public:
    // Loads everything from the resources; throws std::runtime_error naming the first one missing.
    void loadStaticPictures();
    // Start-up step 7: released set "1b".."32b", then pressed set "_1".."_32".
    void loadButtonPictures();
    void freeButtonPictures();

    const QPixmap& keybu() const { return m_keyboard; }
    const QPixmap& keyboardPicture() const { return m_keyboard; }
    // Direction picture 0..8: centre, up, down, left, right, up-left, down-left, down-right, up-right.
    const QPixmap& mimg(int index) const { return m_direction.at(static_cast<std::size_t>(index)); }
    // Button 1..32.
    const QPixmap& button(int number, ButtonState state) const;
    const QIcon& appIcon() const { return m_appIcon; }

private:
    QPixmap m_keyboard;
    std::array<QPixmap, 9> m_direction;
    std::array<QPixmap, 32> m_released;
    std::array<QPixmap, 32> m_pressed;
    QIcon m_appIcon;
};

// Resource names of button n: "7b" released, "_7" pressed.
QString buttonResourceName(int number, ButtonState state);

// The source rectangle of key `code` on the keyboard picture: (Left, Top) to (Right, Bottom),
// |Right - Left| by |Bottom - Top| pixels. Null when the key has no key-map record.
QRect keyRectangle(const KeyMap& map, int code);

// Makes the compiled-in resources available (they live in a static library).
void initResources();

} // namespace vornik::ui

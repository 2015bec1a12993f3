#pragma once

// The cell painter `DCell` and the double-click handler `DbC` shared by every joystick page's
// binding grid; the grid's tag says which joystick it shows.

#include "Configuration.h"
#include "JoystickPage.h"

#include <QPainter>
#include <QRect>

#include <array>

namespace vornik::ui {

class DrawGrid;
class PictureStore;
class TForm3;

class JoystickGrid {
public:
    JoystickGrid(Configuration& config, const PictureStore& pictures, std::array<JoystickPage, kMaxJoysticks>& pages)
        : m_config(config), m_pictures(pictures), m_pages(pages) {}

    void setDialog(TForm3* dialog) { m_dialog = dialog; }

    void DCell(DrawGrid& grid, int col, int row, QPainter& painter, const QRect& rect);
    void DbC(DrawGrid& grid);

private:
    Configuration& m_config;
    const PictureStore& m_pictures;
    std::array<JoystickPage, kMaxJoysticks>& m_pages;
    TForm3* m_dialog = nullptr;
};

} // namespace vornik::ui

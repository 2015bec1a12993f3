#pragma once

// The pages "搖桿 n" of the main window's page control: built at start-up and when a pad is plugged
// in, their grids laid out from the tables, and the live view shown on them.

#include "Configuration.h"
#include "JoystickGrid.h"
#include "JoystickPage.h"

#include <QTabWidget>

#include <array>
#include <functional>

namespace vornik::ui {

class PictureStore;

class JoystickPages {
public:
    struct Hooks {
        std::function<void()> stopTicked;                  // a page's "停止作用" was ticked
        std::function<bool(int joystick)> editPadSettings; // its "滑鼠設定…" was pressed; true: changed
    };

    JoystickPages(Configuration& config, PictureStore& pictures);

    // The page control the pages go into, once the window has built it.
    void setPageControl(QTabWidget* pages, Hooks hooks);

    JoystickPage& page(int joystick) { return m_pages.at(static_cast<std::size_t>(joystick - 1)); }
    int count() const { return m_count; }
    JoystickGrid& grid() { return m_grid; }

    // Page "搖桿 n" for joystick n at tab position `index`, its controls built and its grid's handlers
    // set; `size` is the size of the other pages.
    void add(int joystick, int index, const QSize& size);
    // A pad plugged in while the program runs: its page goes before `before`, its grid laid out.
    void attach(int joystick, QWidget* before);
    // Every page's grid laid out anew: a profile may keep bindings for a pad's missing right stick or
    // triggers, which get rows.
    void layOutGrids();

    // The live view: pictures 0..8 of the stick, buttons and triggers pressed or released. While the
    // page is shown, the input's row is selected: a player finds what to bind by pressing it.
    void showDirection(int joystick, int picture);
    void showButton(int joystick, int button, bool pressed);
    void showRightStick(int joystick, int picture);
    void showTrigger(int joystick, int trigger, bool pressed);
    // The layer that answers the pad now, on its page; returns its name.
    QString showActiveLayer(int joystick, int layer);

private:
    void layOutGrid(int joystick);
    // Selects the grid row of `entry` (0: none) while joystick n's page is the one shown.
    void selectShownRow(int joystick, int entry);

    Configuration& m_config;
    PictureStore& m_pictures;
    std::array<JoystickPage, kMaxJoysticks> m_pages{};
    JoystickGrid m_grid;
    int m_count = 0;
    QTabWidget* m_tabs = nullptr;
    Hooks m_hooks;
};

} // namespace vornik::ui

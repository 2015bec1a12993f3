#pragma once

// The start-up sequence of the main window, run once the window and its pages are built:
// the executable's folder, the key-map file, the tables, the joysticks and their pages, the window
// shown, then the lists filled; its steps are numbered in their order.

#include "Configuration.h"
#include "Engine.h"
#include "Platform.h"

#include <QString>

#include <functional>

class QMainWindow;
class QTabWidget;

namespace vornik::ui {

class JoystickPages;
class KeyboardPage;
class MovePage;
class PictureStore;

class StartupSequence {
public:
    // What the steps work on: the window, its tables and engine, its pages.
    struct Parts {
        QMainWindow* window;
        Configuration* config;
        Engine* engine;
        PictureStore* pictures;
        QTabWidget* pages;
        JoystickPages* joysticks;
        KeyboardPage* keyboardPage;
        MovePage* movePage;
    };

    // `exeDirectory`: the folder the key-map file is looked for in; empty: the running executable's.
    // `setApplicationWindow` is told the window's native handle (empty: nobody needs it).
    StartupSequence(const Parts& parts, const Platform& platform, const QString& exeDirectory,
                    std::function<void(WindowHandle)> setApplicationWindow);

    // Runs every step. A step that throws shows its error; what was built so far stays, and the
    // window still opens.
    void run();
    // The executable's folder with a trailing '/', the current folder from step 1 on.
    const QString& exeDirectory() const { return m_exeDirectory; }

private:
    void steps();
    void loadKeyMapFile();

    Parts m_parts;
    const Platform& m_platform;
    QString m_givenDirectory;
    std::function<void(WindowHandle)> m_setApplicationWindow;
    QString m_exeDirectory;
};

} // namespace vornik::ui

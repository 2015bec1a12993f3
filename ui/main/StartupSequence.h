#pragma once

// The start-up sequence of the main window (TVornik), run once the window and its pages are built:
// the executable's folder, the key-map file, the tables, the joysticks and their pages, the window
// shown, then the lists filled; its steps are numbered in their order.

#include "Platform.h"

#include <QString>

namespace vornik::ui {

class TVornik;
struct PlatformHooks;
struct StartupOptions;

class StartupSequence {
public:
    StartupSequence(TVornik& window, const Platform& platform, const StartupOptions& options,
                    const PlatformHooks& hooks);

    // Runs every step. A step that throws shows its error; what was built so far stays, and the
    // window still opens.
    void run();
    // The executable's folder with a trailing '/', the current folder from step 1 on.
    const QString& exeDirectory() const { return m_exeDirectory; }

private:
    void steps();
    void loadKeyMapFile();

    TVornik& m_window;
    const Platform& m_platform;
    const StartupOptions& m_options;
    const PlatformHooks& m_hooks;
    QString m_exeDirectory;
};

} // namespace vornik::ui

#pragma once

// The program's main window on the real X11 backend, wired as main() wires it: its message boxes
// answered by the test (Modal's test mode) and its way out counted instead of taken.

#include "Modal.h"
#include "MainWindow.h"

#include <QCoreApplication>

#include <memory>

// Last: the X11 headers define macros that clash with Qt's names.
#include "LinuxPlatform.h"

namespace vornik::ui::test {

struct ProgramOnX {
    explicit ProgramOnX(StartupOptions options = {}) {
        Modal::setTestMode(true);
        if (options.exeDirectory.isEmpty())
            options.exeDirectory = QCoreApplication::applicationDirPath();
        options.runTimer = false;
        options.quit = [this] { ++quits; };
        PlatformHooks hooks;
        hooks.setApplicationWindow = [this](WindowHandle h) { backend.windows().setApplicationHandle(h); };
        window = std::make_unique<TVornik>(backend.platform(), options, hooks);
        window->restoreSetup();
    }

    LinuxPlatform backend;
    int quits = 0;
    std::unique_ptr<TVornik> window;
};

} // namespace vornik::ui::test

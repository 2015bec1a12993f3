#pragma once

// The backend a program runs on. Each backend folder (linux/, win32/, fake/) implements the two
// functions below; the build links exactly one of them, the CMake target vornik::platform_native.

#include "Platform.h"

#include <memory>

namespace vornik {

class NativePlatform {
public:
    virtual ~NativePlatform() = default;
    // The seams the engine works through; valid as long as this object. Destroying the backend
    // releases every key it still holds down.
    virtual const Platform& platform() const = 0;
    // The program's own top-level window, which the target window list leaves out. Main thread.
    virtual void setApplicationWindow(WindowHandle window) = 0;
};

// What this backend asks of the process before the window toolkit starts (environment settings);
// main thread, before any other thread exists.
void prepareNativeToolkit();

// Creates the backend on the main thread, after the window toolkit has started (so joysticks are
// detected once everything is up); use it there only. Throws std::runtime_error, with a message for
// the user, when the backend cannot start (Linux: no X server).
std::unique_ptr<NativePlatform> makeNativePlatform();

} // namespace vornik

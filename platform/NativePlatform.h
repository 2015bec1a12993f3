#pragma once

// The backend a program runs on. Each backend folder (linux/, win32/, fake/) implements the two
// functions below; the build links exactly one of them, the CMake target vornik::platform_native.

#include "Platform.h"

#include <memory>
#include <string>
#include <vector>

namespace vornik {

class NativePlatform {
public:
    virtual ~NativePlatform() = default;
    // The seams the engine works through; valid as long as this object. The backend keeps no record
    // of what it pressed: the engine releases what it holds before this object goes.
    virtual const Platform& platform() const = 0;
    // The program's own top-level window, which the target window list leaves out. Main thread.
    virtual void setApplicationWindow(WindowHandle window) = 0;
    // The outputs this backend can send through, by name, the one in use first at start-up.
    virtual std::vector<std::string> outputNames() const = 0;
    // The name of the output in use now.
    virtual std::string outputInUse() const = 0;
    // Sends through the output `name` from now on (platform().output forwards to it); false when the
    // backend has none by that name. Let go of everything first (Engine::releaseHeldKeys).
    virtual bool chooseOutput(const std::string& name) = 0;
};

// The outputs of the Windows backend: virtual keys with their scan codes (the one in use at start-up),
// and scan codes alone, for games that read nothing else. No other backend has either.
inline constexpr const char* kWindowsKeysOutput = "sendinput";
inline constexpr const char* kWindowsScanCodesOutput = "sendinput-scancodes";

// What this backend asks of the process before the window toolkit starts (environment settings);
// main thread, before any other thread exists.
void prepareNativeToolkit();

// Gives back to the system the memory freed so far, which the allocator would otherwise keep for
// the program's whole run (a worker thread's peak in particular). Any thread.
void returnFreedMemory();

// Creates the backend on the main thread, after the window toolkit has started (so joysticks are
// detected once everything is up); use it there only. Throws std::runtime_error, with a message for
// the user, when the backend cannot start (Linux: no X server).
std::unique_ptr<NativePlatform> makeNativePlatform();

} // namespace vornik

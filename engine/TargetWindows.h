#pragma once

#include "EngineHost.h"
#include "Platform.h"
#include "Tables.h"

#include <string>
#include <vector>

namespace vornik {

// The list of candidate target windows and the chosen target process.
class TargetWindows {
public:
    TargetWindows(TargetWindowList& list, WindowSystem& windows, EngineHost& host, bool allProcesses)
        : m_list(list), m_windows(windows), m_host(host), m_allProcesses(allProcesses) {}

    // True when the program's first argument is exactly "/allproc": hidden windows are listed too.
    static bool allProcessesArgument(int argc, const char* const* argv);

    // Rebuilds the list and the combo from the desktop's top-level windows; names untitled ones.
    void RefreshTargetWindows();
    // The combo's change event: item i makes entry i + 1 the target. Items past the 300 recorded
    // entries are ignored and the target stays.
    void chooseTarget(int itemIndex);
    // Makes the first entry with this handle the target and selects it in the combo.
    void SelectForegroundTarget(WindowHandle foreground);
    // Rebuilds the list and makes the window in front the target (as CTRL+J does); false when it is
    // not in the list (no window, or the program's own).
    bool SelectFrontTarget();
    // Rebuilds the list and makes the first window of the program `name` the target: its executable's
    // file name (with or without ".exe") or another name the window system knows it by (an X class, an
    // application id), letter case aside; false when no window in the list has it.
    bool SelectProgramTarget(const std::string& name);
    // Whether the foreground window belongs to the target process.
    bool targetInFront();

    bool allProcesses() const { return m_allProcesses; }

private:
    // The target has just been chosen: tells the host, once per process, when no key can reach it.
    void targetChosen();

    TargetWindowList& m_list;
    WindowSystem& m_windows;
    EngineHost& m_host;
    bool m_allProcesses;
    std::vector<uint32_t> m_toldOutOfReach; // processes the host has been told of
    std::vector<WindowHandle> m_toldWithoutOwner; // windows without an owner the host has been told of
    // A window chosen whose owner cannot be told: the host hears of it, once.
    void chosenWithoutOwner(WindowHandle window);
};

} // namespace vornik

#include "TargetWindows.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

namespace vornik {

namespace {
constexpr int kTitleBuffer = 100; // characters, terminator included
}

bool TargetWindows::allProcessesArgument(int argc, const char* const* argv) {
    return argc >= 2 && argv[1] != nullptr && std::strcmp(argv[1], "/allproc") == 0;
}

void TargetWindows::RefreshTargetWindows() {
    m_host.clearTargetItems();
    m_list.WindowCount = 0;
    m_windows.enumWindows([this](WindowHandle h) {
        if (!m_allProcesses && !m_windows.isWindowVisible(h))
            return;
        ++m_list.WindowCount;
        if (m_windows.windowText(h, kTitleBuffer).empty()) {
            ++m_list.UntitledWindowCounter;
            char name[64];
            std::snprintf(name, sizeof name, "Process %08X%d",
                          static_cast<unsigned>(m_list.OwnApplicationHandle & 0xFFFFFFFFu),
                          m_list.UntitledWindowCounter);
            m_windows.setWindowText(h, name);
        }
        m_host.addTargetItem(m_windows.windowText(h, kTitleBuffer));
        const uint32_t pid = m_windows.windowProcessId(h);
        if (m_list.WindowCount <= kMaxTargetWindows) {
            m_list.WindowHandles[m_list.WindowCount] = h;
            m_list.ProcessIds[m_list.WindowCount] = pid;
        }
    });
}

void TargetWindows::chooseTarget(int itemIndex) {
    const int entry = itemIndex + 1;
    if (entry < 1 || entry > m_list.WindowCount || entry > kMaxTargetWindows)
        return;
    m_list.TargetProcessId = m_list.ProcessIds[entry];
    if (m_list.TargetProcessId == 0)
        chosenWithoutOwner(m_list.WindowHandles[entry]);
    targetChosen();
}

void TargetWindows::chosenWithoutOwner(WindowHandle window) {
    if (std::find(m_toldWithoutOwner.begin(), m_toldWithoutOwner.end(), window) != m_toldWithoutOwner.end())
        return;
    m_toldWithoutOwner.push_back(window);
    m_host.targetWithoutOwner(m_windows.windowText(window, kTitleBuffer));
}

void TargetWindows::SelectForegroundTarget(WindowHandle foreground) {
    const int recorded = m_list.WindowCount < kMaxTargetWindows ? m_list.WindowCount : kMaxTargetWindows;
    for (int entry = 1; entry <= recorded; ++entry) {
        if (m_list.WindowHandles[entry] == foreground) {
            m_list.TargetProcessId = m_list.ProcessIds[entry];
            m_host.selectTargetItem(entry - 1);
            if (m_list.TargetProcessId == 0)
                chosenWithoutOwner(foreground);
            targetChosen();
            return;
        }
    }
}

void TargetWindows::targetChosen() {
    const uint32_t pid = m_list.TargetProcessId;
    m_host.targetChosen(pid);
    // CTRL+J held chooses the same target on every tick; the host hears of it once.
    if (pid == 0 || std::find(m_toldOutOfReach.begin(), m_toldOutOfReach.end(), pid) != m_toldOutOfReach.end() ||
        !m_windows.processOutOfReach(pid))
        return;
    m_toldOutOfReach.push_back(pid);
    m_host.targetOutOfReach(pid);
}

bool TargetWindows::SelectFrontTarget() {
    RefreshTargetWindows();
    const WindowHandle front = m_windows.foregroundWindow();
    const int recorded = m_list.WindowCount < kMaxTargetWindows ? m_list.WindowCount : kMaxTargetWindows;
    for (int entry = 1; entry <= recorded && front != 0; ++entry) {
        if (m_list.WindowHandles[entry] == front) {
            SelectForegroundTarget(front);
            return true;
        }
    }
    return false;
}

namespace {
bool sameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}
} // namespace

bool TargetWindows::SelectProgramTarget(const std::string& name) {
    if (name.empty())
        return false;
    RefreshTargetWindows();
    const int recorded = m_list.WindowCount < kMaxTargetWindows ? m_list.WindowCount : kMaxTargetWindows;
    for (int entry = 1; entry <= recorded; ++entry) {
        std::vector<std::string> names = m_windows.windowProgramNames(m_list.WindowHandles[entry]);
        names.push_back(m_windows.processExecutableName(m_list.ProcessIds[entry]));
        const bool named = std::any_of(names.begin(), names.end(), [&name](const std::string& known) {
            return !known.empty() && (sameName(known, name) || sameName(known, name + ".exe"));
        });
        if (named && m_list.ProcessIds[entry] != 0) {
            m_list.TargetProcessId = m_list.ProcessIds[entry];
            m_host.selectTargetItem(entry - 1);
            targetChosen();
            return true;
        }
    }
    return false;
}

bool TargetWindows::targetInFront() {
    const WindowHandle fg = m_windows.foregroundWindow();
    // A window whose owner cannot be told (process id 0) never counts as the target.
    if (fg == 0 || m_list.TargetProcessId == 0)
        return false;
    return m_windows.windowProcessId(fg) == m_list.TargetProcessId;
}

} // namespace vornik

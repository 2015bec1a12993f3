#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vornik {

// A window as sway's IPC describes it (GET_TREE): what foreign-toplevel management does not tell.
struct SwayView {
    std::string appId; // the application id, or an X window's class (what sway's toplevels name it by)
    std::string title;
    uint32_t pid = 0;
    bool xwayland = false;
};

// Asks the sway behind `socketPath` ($SWAYSOCK) for its windows; empty when it does not answer within
// a fraction of a second.
std::vector<SwayView> swayViews(const std::string& socketPath);
// The views of a GET_TREE answer (for tests).
std::vector<SwayView> swayViewsOf(const std::string& json);

} // namespace vornik

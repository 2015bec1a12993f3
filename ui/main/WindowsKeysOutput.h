#pragma once

// Which output keys go out through: on a backend with the Windows outputs, the one the profile's
// Windows key settings name (by virtual key, or by scan code alone), with the shortest time a
// move's key stays down. Elsewhere those settings are only kept with the profile.

#include "MovePlayer.h"
#include "Tables.h"

#include <functional>
#include <string>

namespace vornik::ui {

class WindowsKeysOutput {
public:
    // `chooseOutput` sends through the backend's output of that name from now on, false when it
    // has none by that name; empty: the output never changes.
    WindowsKeysOutput(std::function<bool(const std::string& name)> chooseOutput, MovePlayer& player)
        : m_chooseOutput(std::move(chooseOutput)), m_player(player) {}

    // Whoever calls it has let go of every key first: a key-up goes through the output then chosen.
    void apply(const WindowsKeys& keys);
    // Whether the backend sends keys the Windows way, so that the profile's Windows key settings act.
    bool windowsKeysInEffect() const { return m_inEffect; }

private:
    std::function<bool(const std::string& name)> m_chooseOutput;
    MovePlayer& m_player;
    bool m_inEffect = false;
};

} // namespace vornik::ui

#pragma once

// Which output keys go out through: on a backend with the Windows outputs, the one the profile's
// Windows key settings name (by virtual key, or by scan code alone), with the shortest time a
// move's key stays down. Elsewhere those settings are only kept with the profile, and the player
// may choose among the backend's other ways in the file menu.

#include "MovePlayer.h"
#include "Tables.h"

#include <functional>
#include <string>
#include <vector>

#include <QString>

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
    // The ways the player may choose among: the backend's but the two Windows ones, which follow the
    // profile's Windows key settings instead.
    static std::vector<std::string> playerChoices(const std::vector<std::string>& offered);
    // The player chose `name`: sent through from now on and kept in `settingsFile` for later starts;
    // false when the backend has none by that name. Whoever calls it has let go of every key first.
    bool choose(const std::string& name, const QString& settingsFile);

private:
    std::function<bool(const std::string& name)> m_chooseOutput;
    MovePlayer& m_player;
    bool m_inEffect = false;
};

} // namespace vornik::ui

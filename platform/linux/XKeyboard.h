#pragma once

#include "Keyboard.h"
#include "XConnection.h"

#include <array>
#include <bitset>
#include <chrono>
#include <map>
#include <vector>

namespace vornik {

// The key state, by virtual-key code, and the keycode each virtual-key code sends (XTestOutput sends
// it). Main thread only.
//
// The key state is kept from the XInput 2 raw key events of every keyboard (the user's and the
// XTest devices alike), which the server sends to the root window whoever has the focus: one
// XQueryKeymap at start-up, then no round trip at all. The events that have arrived are read at
// most once per `stateLifetime`, which is shorter than the time between two engine ticks, so a key
// pressed by anyone before a tick is seen by it. An event this keyboard sends counts at once, before
// its own raw event comes back. On a server without XInput 2.0 the state is one XQueryKeymap answer
// (all 256 keys) instead, cached for `stateLifetime` and dropped after every event the program
// sends. Whoever runs the ticks may call beginTick() to read anew at once.
class XKeyboard : public Keyboard {
public:
    static constexpr std::chrono::microseconds kDefaultStateLifetime{1000};

    explicit XKeyboard(XConnection& connection);

    int16_t asyncKeyState(int vk) override;
    // Down now, or pressed by anyone but this program since the last query of `vk` (a raw key press
    // latches until then). Without XInput 2, down now.
    bool pressedSinceLastQuery(int vk) override;
    void forgetPresses() override { m_pressed.reset(); }
    // The connection's socket while the state comes from events: every key change arrives there.
    int changeDescriptor() override { return stateFromEvents() ? m_connection.descriptor() : -1; }
    bool takeChanges() override { return m_connection.processEvents() > 0; }

    // The keycode a key event for `vk` sends under the keymap in force now (a change is taken first);
    // 0 when the code has no keysym or the keysym no key.
    KeyCode keycodeToSend(int vk);
    // An event the program has just sent for `code`: it counts at once, before it comes back.
    void noteSent(KeyCode code, bool down);

    // Drops the cached key state: the next asyncKeyState asks the server again.
    void beginTick() { m_stateValid = false; }
    void setStateLifetime(std::chrono::microseconds lifetime) { m_stateLifetime = lifetime; }

    // True while the state comes from XInput 2 raw events.
    bool stateFromEvents() const { return m_xinputOpcode >= 0; }
    // Goes back to XQueryKeymap, as on a server without XInput 2 (for tests).
    void useKeymapQueries() {
        m_xinputOpcode = -1;
        m_stateValid = false;
    }
    // The key a key event for `vk` sends, as last looked up; 0 when the code has no keysym or the
    // keysym no key.
    KeyCode outputKeycode(int vk) const;

private:
    struct Keys {
        KeyCode output = 0;
        KeyCode other = 0;
    };
    bool onEvent(const XEvent& event);
    void buildTable();
    void refreshStateIfStale();
    bool isDown(KeyCode code) const;
    void selectRawEvents();
    void onRawEvent(int sourceId, int keycode, bool press);

    XConnection& m_connection;
    bool m_mappingChanged = false;
    int m_xkbEventBase = -1;
    std::array<Keys, 256> m_table{};
    std::array<char, 32> m_state{};
    bool m_stateValid = false;
    std::chrono::steady_clock::time_point m_stateTime{};
    std::chrono::microseconds m_stateLifetime = kDefaultStateLifetime;

    // The event-fed state: the keys each device holds (by XInput device id; 0 holds what was down
    // at start-up until it is released), and the program's own events not yet come back.
    int m_xinputOpcode = -1;
    std::map<int, std::bitset<256>> m_deviceKeys;
    std::array<uint8_t, 256> m_ownPending{};
    std::bitset<256> m_ownDown;
    int m_xtestDevice = -1; // the device our own events come back from, once seen
    std::bitset<256> m_pressed; // keys pressed by others since their last pressedSinceLastQuery
    std::chrono::steady_clock::time_point m_lastSent{};
};

} // namespace vornik

#pragma once

#include "Keyboard.h"
#include "XConnection.h"

#include <array>
#include <bitset>
#include <chrono>
#include <map>
#include <vector>

namespace vornik {

// Key output through the XTest extension and the key state, by virtual-key code. Main thread only.
//
// The key state is kept from the XInput 2 raw key events of every keyboard (the user's and the
// XTest devices alike), which the server sends to the root window whoever has the focus: one
// XQueryKeymap at start-up, then no round trip at all. The events that have arrived are read at
// most once per `stateLifetime`, which is shorter than the time between two engine ticks, so a key
// pressed by anyone before a tick is seen by it. An event this keyboard sends counts at once, before
// its own raw event comes back. On a server without XInput 2.0 the state is one XQueryKeymap answer
// (all 256 keys) instead, cached for `stateLifetime` and dropped after every event this keyboard
// sends. Whoever runs the ticks may call beginTick() to read anew at once.
class XKeyboard : public Keyboard {
public:
    static constexpr std::chrono::microseconds kDefaultStateLifetime{1000};

    explicit XKeyboard(XConnection& connection);

    void keyEvent(uint8_t vk, uint32_t flags) override;
    int16_t asyncKeyState(int vk) override;
    void releaseAll() override;
    bool holdsKeys() const override { return m_pressed.any(); }
    std::string unavailableReason() const override;
    // The connection's socket while the state comes from events: every key change arrives there.
    int changeDescriptor() override { return stateFromEvents() ? m_connection.descriptor() : -1; }
    bool takeChanges() override { return m_connection.processEvents() > 0; }

    // Drops the cached key state: the next asyncKeyState asks the server again.
    void beginTick() { m_stateValid = false; }
    void setStateLifetime(std::chrono::microseconds lifetime) { m_stateLifetime = lifetime; }

    // False when the server has no XTest: key events are then dropped.
    bool hasXTest() const { return m_hasXTest; }
    // True while the state comes from XInput 2 raw events.
    bool stateFromEvents() const { return m_xinputOpcode >= 0; }
    // Goes back to XQueryKeymap, as on a server without XInput 2 (for tests).
    void useKeymapQueries() {
        m_xinputOpcode = -1;
        m_stateValid = false;
    }
    // The key a key event for `vk` sends; 0 when the code has no keysym or the keysym no key.
    KeyCode outputKeycode(int vk) const;
    // Keys this keyboard pressed and has not released, ascending.
    std::vector<KeyCode> pressedKeys() const;

private:
    struct Keys {
        KeyCode output = 0;
        KeyCode other = 0;
    };
    void onEvent(const XEvent& event);
    void buildTable();
    void refreshStateIfStale();
    bool isDown(KeyCode code) const;
    void selectRawEvents();
    void onRawEvent(int sourceId, int keycode, bool press);
    void sendKey(KeyCode code, bool down);

    XConnection& m_connection;
    bool m_hasXTest = false;
    bool m_mappingChanged = false;
    int m_xkbEventBase = -1;
    std::array<Keys, 256> m_table{};
    std::array<char, 32> m_state{};
    bool m_stateValid = false;
    std::chrono::steady_clock::time_point m_stateTime{};
    std::chrono::microseconds m_stateLifetime = kDefaultStateLifetime;
    std::bitset<256> m_pressed; // by keycode

    // The event-fed state: the keys each device holds (by XInput device id; 0 holds what was down
    // at start-up until it is released), and this keyboard's own events not yet come back.
    int m_xinputOpcode = -1;
    std::map<int, std::bitset<256>> m_deviceKeys;
    std::array<uint8_t, 256> m_ownPending{};
    std::bitset<256> m_ownDown;
    int m_xtestDevice = -1; // the device our own events come back from, once seen
    std::chrono::steady_clock::time_point m_lastSent{};
};

} // namespace vornik

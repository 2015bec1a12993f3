#pragma once

#include "Keyboard.h"
#include "XConnection.h"

#include <array>
#include <bitset>
#include <chrono>
#include <vector>

namespace vornik {

// Key output through the XTest extension and key state through XQueryKeymap, by virtual-key code.
// Main thread only.
//
// The key state is one XQueryKeymap answer (all 256 keys), cached: the engine asks for well over a
// hundred keys per tick, and one round trip serves them all. The cache is dropped after every event
// this keyboard sends, so the next query sees the key just pressed, and it expires after
// `stateLifetime`, which is shorter than the engine's 30 ms period; whoever runs the ticks may also
// call beginTick() to drop it explicitly.
class XKeyboard : public Keyboard {
public:
    static constexpr std::chrono::microseconds kDefaultStateLifetime{10000};

    explicit XKeyboard(XConnection& connection);

    void keyEvent(uint8_t vk, uint32_t flags) override;
    int16_t asyncKeyState(int vk) override;
    void releaseAll() override;
    std::string unavailableReason() const override;

    // Drops the cached key state: the next asyncKeyState asks the server again.
    void beginTick() { m_stateValid = false; }
    void setStateLifetime(std::chrono::microseconds lifetime) { m_stateLifetime = lifetime; }

    // False when the server has no XTest: key events are then dropped.
    bool hasXTest() const { return m_hasXTest; }
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
    bool isDown(KeyCode code) const { return code != 0 && (m_state[code / 8] >> (code % 8)) & 1; }
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
};

} // namespace vornik

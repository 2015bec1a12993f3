#pragma once

#include "Output.h"

#include <array>
#include <vector>

namespace vornik {

// The one record of what the program holds down, keys and pointer buttons alike. Every press the
// program makes goes through it, and it alone releases: a key by the native code its key-down
// answered, so a keymap change while the key is held cannot make the key-up name another key. A key
// or button the user holds is never in it, so it is never released from here. Main thread only.
class HeldOutput {
public:
    explicit HeldOutput(Output& output) : m_output(output) {}
    // Lets go of everything still held: whatever way the program ends, nothing stays down.
    ~HeldOutput() { releaseAll(); }
    HeldOutput(const HeldOutput&) = delete;
    HeldOutput& operator=(const HeldOutput&) = delete;

    // Sends the key-down of `vk` (again, as the system's own repeat does, when it is held already).
    void pressKey(uint8_t vk);
    // Sends a key-up for every key pressed for `vk` and still held, and counts one press of each as
    // answered: a key pressed twice is held until its second release. Nothing when the program holds
    // none.
    void releaseKey(uint8_t vk);
    bool holdsKey(uint8_t vk) const;

    // Pointer buttons, where the output can send them: a press of a held button sends nothing.
    void pressButton(PointerButton button);
    void releaseButton(PointerButton button);
    bool holdsButton(PointerButton button) const { return m_buttons[index(button)]; }

    // Releases every key (in ascending virtual-key order) and then every button the program holds,
    // and waits until the events have reached the system; costs nothing when nothing is held.
    void releaseAll();
    bool holdsAnything() const;

    Output& output() { return m_output; }

private:
    static std::size_t index(PointerButton button) { return static_cast<std::size_t>(button); }

    struct Held {
        SentKey key;
        int presses = 0;
    };

    Output& m_output;
    std::vector<Held> m_keys; // in the order first pressed
    std::array<bool, kPointerButtonCount> m_buttons{};
};

} // namespace vornik

#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace vornik {

// A key an output pressed: the virtual-key code asked for and the native code that went down. Its
// key-up names the native code, so it releases the key that was pressed even when the keymap has
// changed since (on X the keycode of the keymap in force at the press).
struct SentKey {
    uint8_t vk = 0;
    uint32_t native = 0;
    bool operator==(const SentKey&) const = default;
};

enum class PointerButton : uint8_t { Left, Middle, Right, Back, Forward };
constexpr int kPointerButtonCount = 5;

// Everything the program sends into the system: key events by virtual-key code, and pointer events.
// An output keeps no record of what it holds: whoever presses records the answer and releases by it
// (the engine's HeldOutput). Main thread only.
class Output {
public:
    virtual ~Output() = default;

    // Sends the key-down of `vk`; the native code that went down, or nothing when no event was sent
    // (the code has no key in the keymap, or key events cannot be sent at all).
    virtual std::optional<uint32_t> keyDown(uint8_t vk) = 0;
    // Sends the key-up of a key this output pressed.
    virtual void keyUp(const SentKey& key) = 0;
    // Why key events cannot be sent (for instance a missing extension), or empty when they can.
    virtual std::string unavailableReason() const { return {}; }

    // Whether this output sends pointer events; when it does not, the calls below send nothing.
    virtual bool canPoint() const { return false; }
    // Presses or lets go of a pointer button; whether the event went out (a press the guard refused,
    // or one this output cannot send, did not).
    virtual bool pointerButton(PointerButton button, bool down) {
        (void)button;
        (void)down;
        return false;
    }
    // Moves the pointer by (dx, dy) pixels, right and down positive.
    virtual void pointerMotion(int dx, int dy) {
        (void)dx;
        (void)dy;
    }
    // Turns the wheel by `steps` notches: up (or right, when horizontal) positive.
    virtual void wheel(int steps, bool horizontal) {
        (void)steps;
        (void)horizontal;
    }

    // Returns once everything sent so far has reached the system (on the way out).
    virtual void flush() {}

    // Asked right before each key-down, button press and wheel notch, by an output that can make
    // the answer and the press one step (X: under a server grab, once every focus change made so
    // far has been read): while it says no, nothing is sent. The engine's says whether the target
    // is in front. Others ignore it; the engine asks before each binding anyway.
    virtual void setPressGuard(std::function<bool()> guard) { (void)guard; }
};

} // namespace vornik

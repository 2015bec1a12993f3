#pragma once

#include <cstdint>
#include <string>

namespace vornik {

constexpr uint32_t kKeyEventExtendedKey = 1; // flags of a key-down
constexpr uint32_t kKeyEventKeyUp = 2;       // flags of a key-up

// Synthesized key events and the system-wide key state, by virtual-key code. Main thread only.
class Keyboard {
public:
    virtual ~Keyboard() = default;
    // Sends one key event for `vk` (only the low byte counts): flags 1 = key-down, 2 = key-up.
    virtual void keyEvent(uint8_t vk, uint32_t flags) = 0;
    // Key state of `vk`: nonzero when the key is down (by anyone), 0 when it is up.
    virtual int16_t asyncKeyState(int vk) = 0;
    // Sends the key-up of every key this program pressed and has not released; costs nothing when
    // there is none.
    virtual void releaseAll() = 0;
    // True while a key this program pressed is down. A backend that keeps no count says true.
    virtual bool holdsKeys() const { return true; }
    // Why key events cannot be sent (for instance a missing extension), or empty when they can.
    virtual std::string unavailableReason() const { return {}; }

    // A descriptor that becomes readable when a key goes down or up (anyone's), for the main
    // thread's event loop to watch; -1 when the backend has none, and key changes are then seen
    // only by reading the state.
    virtual int changeDescriptor() { return -1; }
    // Handles whatever has arrived for the backend, without waiting; true when anything had. The
    // state read afterwards includes it.
    virtual bool takeChanges() { return false; }
};

} // namespace vornik

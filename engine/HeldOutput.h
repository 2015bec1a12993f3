#pragma once

#include "Output.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace vornik {

// Who holds a key or a pointer button: one binding (its source and entry), or the move a source plays.
// Sources are the keyboard page's bindings (0) and the pads (1..32); a source plays one move at a time,
// so the move's owner is the source with entry 0. The default owner is the keyboard page's move.
struct Owner {
    uint8_t source = 0;
    uint16_t entry = 0; // 0: the move the source plays; kPadEntries and below: a plain binding
    bool operator==(const Owner&) const = default;
};
constexpr Owner bindingOwner(int source, int entry) {
    return Owner{static_cast<uint8_t>(source), static_cast<uint16_t>(entry)};
}
constexpr Owner moveOwner(int source) {
    return Owner{static_cast<uint8_t>(source), 0};
}

// The one record of what the program holds down, keys and pointer buttons alike, and who holds it.
// Every press the program makes goes through it, and it alone releases: a key by the native code its
// key-down answered, so a keymap change while the key is held cannot make the key-up name another key.
// A key goes up only when the last of its holders lets go, so two bindings on one key, or a move
// tapping a key a binding holds, never end each other's press. A key or button the user holds is
// never in it, so it is never released from here. Main thread only.
class HeldOutput {
public:
    explicit HeldOutput(Output& output) : m_output(output) {}
    // Lets go of everything still held: whatever way the program ends, nothing stays down.
    ~HeldOutput() { releaseAll(); }
    HeldOutput(const HeldOutput&) = delete;
    HeldOutput& operator=(const HeldOutput&) = delete;

    // A move's key-down: sent every time (again, as the system's own repeat does, when the key is held
    // already), each one counted for `owner`. False when no event went out.
    bool pressKey(uint8_t vk, Owner owner = {});
    // A binding's key-down: sent only when the program holds `vk` for nobody; otherwise `owner` joins
    // its holders, so the key stays down until every holder has let go. False when nothing is held.
    bool holdKey(uint8_t vk, Owner owner);
    // Counts one press of `vk` by `owner` as answered, and sends the key-up unless another owner still
    // holds the key. Nothing when `owner` holds none: a binding never ends another's key.
    void releaseKey(uint8_t vk, Owner owner = {});
    bool holdsKey(uint8_t vk) const;
    bool holdsKey(uint8_t vk, Owner owner) const;

    // Pointer buttons, where the output can send them: the press goes out only when nobody holds the
    // button yet. True when `owner` holds it now; a press the output refused is not recorded.
    bool pressButton(PointerButton button, Owner owner = {});
    void releaseButton(PointerButton button, Owner owner = {});
    bool holdsButton(PointerButton button) const { return !m_buttons[index(button)].empty(); }

    // Lets go of everything `owner` holds; what others hold too stays down.
    void releaseOwner(Owner owner);
    // Releases every key (in ascending virtual-key order) and then every button the program holds,
    // and waits until the events have reached the system; costs nothing when nothing is held.
    void releaseAll();
    bool holdsAnything() const;

    Output& output() { return m_output; }

private:
    static std::size_t index(PointerButton button) { return static_cast<std::size_t>(button); }
    bool heldByAnother(const SentKey& key, Owner owner) const;
    // Counts one press of `vk` held by `owner` as answered, or every key and press of `owner` (no
    // `vk`), and sends the key-up of each key no other owner still holds.
    void releaseKeys(Owner owner, std::optional<uint8_t> vk);

    struct Held {
        SentKey key;
        Owner owner;
        int presses = 0;
    };

    Output& m_output;
    std::vector<Held> m_keys; // one entry per key and owner, in the order first pressed
    std::array<std::vector<Owner>, kPointerButtonCount> m_buttons{};
};

} // namespace vornik

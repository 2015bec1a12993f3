// The keymap the program's Wayland keyboard uploads: every key a binding can name is on the evdev code
// a game expects, and gives its keysym, with Shift the US layout's shifted one.

#include "VirtualKeymap.h"
#include "VirtualKeys.h"

#include <xkbcommon/xkbcommon.h>

#include <gtest/gtest.h>

#include <linux/input-event-codes.h>

#include <memory>

namespace vornik {
namespace {

struct Keymap {
    std::unique_ptr<xkb_context, decltype(&xkb_context_unref)> context{xkb_context_new(XKB_CONTEXT_NO_FLAGS),
                                                                        xkb_context_unref};
    std::unique_ptr<xkb_keymap, decltype(&xkb_keymap_unref)> keymap{
        xkb_keymap_new_from_string(context.get(), virtualKeymapText().c_str(), XKB_KEYMAP_FORMAT_TEXT_V1,
                                   XKB_KEYMAP_COMPILE_NO_FLAGS),
        xkb_keymap_unref};
};

TEST(VirtualKeymap, EveryNamedKeyGivesItsKeysymOnItsEvdevCode) {
    Keymap map;
    ASSERT_NE(map.keymap, nullptr) << virtualKeymapText();
    std::unique_ptr<xkb_state, decltype(&xkb_state_unref)> state{xkb_state_new(map.keymap.get()), xkb_state_unref};
    for (const VirtualKey& key : kVirtualKeys) {
        if (key.keysym == 0)
            continue;
        const uint32_t code = evdevCode(key.code);
        ASSERT_NE(code, 0u) << "virtual key " << int(key.code) << " has no key";
        EXPECT_EQ(xkb_state_key_get_one_sym(state.get(), code + 8), key.keysym) << "virtual key " << int(key.code);
    }
    // Where a game reads positions (SDL's scancodes are evdev codes), these are the keys it expects.
    EXPECT_EQ(evdevCode('A'), uint32_t{KEY_A});
    EXPECT_EQ(evdevCode(13), uint32_t{KEY_ENTER});
    EXPECT_EQ(evdevCode(38), uint32_t{KEY_UP});
    EXPECT_EQ(evdevCode(16), uint32_t{KEY_LEFTSHIFT});
    EXPECT_EQ(evdevCode(7), 0u);
}

TEST(VirtualKeymap, ModifiersWorkAsOnAKeyboard) {
    Keymap map;
    ASSERT_NE(map.keymap, nullptr);
    std::unique_ptr<xkb_state, decltype(&xkb_state_unref)> state{xkb_state_new(map.keymap.get()), xkb_state_unref};
    xkb_state_update_key(state.get(), KEY_LEFTSHIFT + 8, XKB_KEY_DOWN);
    EXPECT_EQ(xkb_state_key_get_one_sym(state.get(), KEY_1 + 8), uint32_t{'!'});
    EXPECT_EQ(xkb_state_key_get_one_sym(state.get(), KEY_A + 8), uint32_t{'A'});
    xkb_state_update_key(state.get(), KEY_LEFTSHIFT + 8, XKB_KEY_UP);
    xkb_state_update_key(state.get(), KEY_RIGHTCTRL + 8, XKB_KEY_DOWN);
    EXPECT_TRUE(xkb_state_mod_name_is_active(state.get(), XKB_MOD_NAME_CTRL, XKB_STATE_MODS_EFFECTIVE) > 0);
    xkb_state_update_key(state.get(), KEY_RIGHTCTRL + 8, XKB_KEY_UP);
    xkb_state_update_key(state.get(), KEY_LEFTALT + 8, XKB_KEY_DOWN);
    EXPECT_TRUE(xkb_state_mod_name_is_active(state.get(), XKB_MOD_NAME_ALT, XKB_STATE_MODS_EFFECTIVE) > 0);
}

} // namespace
} // namespace vornik

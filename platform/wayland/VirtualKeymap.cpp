#include "VirtualKeymap.h"

#include "VirtualKeys.h"

#include <linux/input-event-codes.h>
#include <xkbcommon/xkbcommon.h>

#include <set>

namespace vornik {

namespace {

struct EvdevKey {
    uint8_t vk;
    uint16_t code;
};

// clang-format off
constexpr EvdevKey kEvdevKeys[] = {
    {8, KEY_BACKSPACE}, {9, KEY_TAB}, {13, KEY_ENTER}, {16, KEY_LEFTSHIFT}, {17, KEY_LEFTCTRL},
    {18, KEY_LEFTALT}, {19, KEY_PAUSE}, {20, KEY_CAPSLOCK}, {27, KEY_ESC}, {32, KEY_SPACE},
    {33, KEY_PAGEUP}, {34, KEY_PAGEDOWN}, {35, KEY_END}, {36, KEY_HOME}, {37, KEY_LEFT}, {38, KEY_UP},
    {39, KEY_RIGHT}, {40, KEY_DOWN}, {44, KEY_SYSRQ}, {45, KEY_INSERT}, {46, KEY_DELETE},
    {48, KEY_0}, {49, KEY_1}, {50, KEY_2}, {51, KEY_3}, {52, KEY_4}, {53, KEY_5}, {54, KEY_6},
    {55, KEY_7}, {56, KEY_8}, {57, KEY_9},
    {65, KEY_A}, {66, KEY_B}, {67, KEY_C}, {68, KEY_D}, {69, KEY_E}, {70, KEY_F}, {71, KEY_G},
    {72, KEY_H}, {73, KEY_I}, {74, KEY_J}, {75, KEY_K}, {76, KEY_L}, {77, KEY_M}, {78, KEY_N},
    {79, KEY_O}, {80, KEY_P}, {81, KEY_Q}, {82, KEY_R}, {83, KEY_S}, {84, KEY_T}, {85, KEY_U},
    {86, KEY_V}, {87, KEY_W}, {88, KEY_X}, {89, KEY_Y}, {90, KEY_Z},
    {96, KEY_KP0}, {97, KEY_KP1}, {98, KEY_KP2}, {99, KEY_KP3}, {100, KEY_KP4}, {101, KEY_KP5},
    {102, KEY_KP6}, {103, KEY_KP7}, {104, KEY_KP8}, {105, KEY_KP9}, {106, KEY_KPASTERISK},
    {107, KEY_KPPLUS}, {109, KEY_KPMINUS}, {110, KEY_KPDOT}, {111, KEY_KPSLASH},
    {112, KEY_F1}, {113, KEY_F2}, {114, KEY_F3}, {115, KEY_F4}, {116, KEY_F5}, {117, KEY_F6},
    {118, KEY_F7}, {119, KEY_F8}, {120, KEY_F9}, {121, KEY_F10}, {122, KEY_F11}, {123, KEY_F12},
    {144, KEY_NUMLOCK}, {145, KEY_SCROLLLOCK}, {160, KEY_LEFTSHIFT}, {161, KEY_RIGHTSHIFT},
    {162, KEY_LEFTCTRL}, {163, KEY_RIGHTCTRL}, {164, KEY_LEFTALT}, {165, KEY_RIGHTALT},
    {186, KEY_SEMICOLON}, {187, KEY_EQUAL}, {188, KEY_COMMA}, {189, KEY_MINUS}, {190, KEY_DOT},
    {191, KEY_SLASH}, {192, KEY_GRAVE}, {219, KEY_LEFTBRACE}, {220, KEY_BACKSLASH},
    {221, KEY_RIGHTBRACE}, {222, KEY_APOSTROPHE},
};
// clang-format on

std::string keysymName(uint32_t keysym) {
    char name[64];
    if (xkb_keysym_get_name(keysym, name, sizeof name) <= 0)
        return "NoSymbol";
    return name;
}

std::string keyName(uint32_t code) {
    return "<I" + std::to_string(code) + ">"; // four characters at most: XWayland's compiler wants no more
}

} // namespace

uint32_t evdevCode(int vk) {
    for (const EvdevKey& key : kEvdevKeys) {
        if (key.vk == vk)
            return key.code;
    }
    return 0;
}

std::string virtualKeymapText() {
    std::string codes, symbols;
    std::set<uint32_t> done;
    for (const EvdevKey& key : kEvdevKeys) {
        if (!done.insert(key.code).second)
            continue; // the generic modifiers share their left-hand key
        const VirtualKey* row = findVirtualKey(key.vk);
        if (row == nullptr || row->keysym == 0)
            continue;
        codes += "    " + keyName(key.code) + " = " + std::to_string(key.code + 8) + ";\n";
        // The shifted symbol: a letter's capital, else the US layout's (the second Qt key of a
        // printable key is its shifted character, which is its Latin-1 keysym).
        uint32_t shifted = 0;
        if (row->keysym >= 'a' && row->keysym <= 'z')
            shifted = row->keysym - 'a' + 'A';
        else if (row->keysym < 0x100 && row->qtKeys[1] > 0 && row->qtKeys[1] < 0x100)
            shifted = static_cast<uint32_t>(row->qtKeys[1]);
        symbols += "    key " + keyName(key.code) + " { [ " + keysymName(row->keysym);
        if (shifted != 0)
            symbols += ", " + keysymName(shifted);
        symbols += " ] };\n";
    }
    return "xkb_keymap {\n"
           "  xkb_keycodes \"vornik\" {\n"
           "    minimum = 8;\n"
           "    maximum = 255;\n" +
           codes +
           "    indicator 1 = \"Caps Lock\";\n"
           "    indicator 2 = \"Num Lock\";\n"
           "    indicator 3 = \"Scroll Lock\";\n"
           "  };\n"
           "  xkb_types \"vornik\" { include \"complete\" };\n"
           "  xkb_compat \"vornik\" { include \"complete\" };\n"
           "  xkb_symbols \"vornik\" {\n" +
           symbols + "    modifier_map Shift { " + keyName(KEY_LEFTSHIFT) + ", " + keyName(KEY_RIGHTSHIFT) +
           " };\n"
           "    modifier_map Lock { " +
           keyName(KEY_CAPSLOCK) +
           " };\n"
           "    modifier_map Control { " +
           keyName(KEY_LEFTCTRL) + ", " + keyName(KEY_RIGHTCTRL) +
           " };\n"
           "    modifier_map Mod1 { " +
           keyName(KEY_LEFTALT) + ", " + keyName(KEY_RIGHTALT) +
           " };\n"
           "    modifier_map Mod2 { " +
           keyName(KEY_NUMLOCK) +
           " };\n"
           "  };\n"
           "};\n";
}

} // namespace vornik

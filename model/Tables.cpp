#include "Tables.h"

#include "Big5.h"

#include <algorithm>
#include <iterator>

namespace vornik {

void clearAllMoves(MoveTable& moves) {
    for (Move& m : moves) {
        m.StepCount = 0;
        m.Name = MoveName{};
    }
}

namespace {

// The order the layered list keeps: layer, entry, activator, with.
bool before(const LayeredBinding& a, int entry, int layer, int activator, int with) {
    if (a.Layer != layer)
        return a.Layer < layer;
    if (a.Entry != entry)
        return a.Entry < entry;
    if (a.Activator != activator)
        return a.Activator < activator;
    return a.With < with;
}

} // namespace

const JoystickBinding* ProfileTables::binding(int j, int entry, int layer, int activator, int with) const {
    if (isPlainSlot(layer, activator, with))
        return &joystickBindings[j][entry];
    for (const LayeredBinding& b : layeredBindings[j]) {
        if (b.at(entry, layer, activator, with))
            return &b.Binding;
    }
    return nullptr;
}

JoystickBinding& ProfileTables::bindingAt(int j, int entry, int layer, int activator, int with) {
    if (isPlainSlot(layer, activator, with))
        return joystickBindings[j][entry];
    std::vector<LayeredBinding>& list = layeredBindings[j];
    auto it = std::find_if(list.begin(), list.end(), [&](const LayeredBinding& b) {
        return !before(b, entry, layer, activator, with);
    });
    if (it == list.end() || !it->at(entry, layer, activator, with))
        it = list.insert(it, LayeredBinding{entry, layer, activator, with, {}});
    return it->Binding;
}

void ProfileTables::removeBinding(int j, int entry, int layer, int activator, int with) {
    if (isPlainSlot(layer, activator, with)) {
        joystickBindings[j][entry] = {};
        return;
    }
    std::erase_if(layeredBindings[j], [&](const LayeredBinding& b) { return b.at(entry, layer, activator, with); });
}

bool ProfileTables::layered(int j) const {
    if (!layeredBindings[j].empty())
        return true;
    return std::any_of(joystickBindings[j].begin(), joystickBindings[j].end(),
                       [](const JoystickBinding& b) { return b.BindingKind == BindingLayer; });
}

bool layerNameFits(std::string_view utf8) {
    std::size_t characters = 0;
    for (const char c : utf8) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F)
            return false;
        characters += (u & 0xC0) != 0x80;
    }
    return characters <= PadSettings::kMaxLayerNameChars;
}

void setMoveName(Move& move, std::string_view big5) {
    const std::size_t n = big5CutLength(big5, kMaxMoveNameBytes);
    move.Name = MoveName{};
    std::copy_n(big5.data(), n, move.Name.Bytes.data());
    move.Name.Length = static_cast<uint8_t>(n);
}

} // namespace vornik

namespace vornik {

std::string_view padButtonLabel(PadFamily family, PadButton role) {
    if (role == PadButton::None || family == PadFamily::Unknown)
        return {};
    // By role, from FaceA on: what each family prints on the button.
    static constexpr std::string_view kXbox[] = {"A",      "B",     "X",          "Y",     "Back",  "Guide", "Start",
                                                 "LS",     "RS",    "LB",         "RB",    "Up",    "Down",  "Left",
                                                 "Right",  "Share", "P1",         "P2",    "P3",    "P4",    "Touchpad"};
    static constexpr std::string_view kPlayStation[] = {"Cross", "Circle", "Square", "Triangle", "Share", "PS",
                                                        "Options", "L3", "R3", "L1", "R1", "Up", "Down", "Left",
                                                        "Right", "Mute", "P1", "P2", "P3", "P4", "Touchpad"};
    static constexpr std::string_view kNintendo[] = {"A",  "B",     "X",    "Y",       "-",  "Home", "+",
                                                     "LS", "RS",    "L",    "R",       "Up", "Down", "Left",
                                                     "Right", "Capture", "P1", "P2", "P3", "P4", "Touchpad"};
    static_assert(std::size(kXbox) == static_cast<std::size_t>(PadButton::Touchpad));
    static_assert(std::size(kPlayStation) == std::size(kXbox) && std::size(kNintendo) == std::size(kXbox));
    const auto i = static_cast<std::size_t>(role) - 1;
    if (i >= std::size(kXbox))
        return {};
    switch (family) {
    case PadFamily::PlayStation:
        return kPlayStation[i];
    case PadFamily::Nintendo:
        return kNintendo[i];
    default:
        return kXbox[i];
    }
}

bool entryOnPad(const JoystickCaps& caps, int entry) {
    if (entry >= 1 && entry <= 4)
        return true;
    if (entry >= buttonEntry(1) && entry <= kJoystickEntries)
        return entry - buttonEntry(1) < static_cast<int>(std::min<uint32_t>(caps.wMaxButtons, kMaxButtons));
    if (entry >= kEntryRightUp && entry <= kEntryRightRight)
        return caps.has(PadHasRightStick);
    if (entry == kEntryLeftTrigger)
        return caps.has(PadHasLeftTrigger);
    if (entry == kEntryRightTrigger)
        return caps.has(PadHasRightTrigger);
    return false;
}

} // namespace vornik

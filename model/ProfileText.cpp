// The profile text of the tables: deterministic, one entry per line, checked by loading it back.
#include "Big5.h"
#include "Profile.h"
#include "ProfileSchema.h"

#include <nlohmann/json.hpp>

#include <memory>

namespace vornik {

using detail::checkText;
using detail::keyEntryMap;

namespace {

using OrderedJson = nlohmann::ordered_json;

bool allZero(const KeyBinding& b) {
    return b.MoveNumber == 0 && b.AutoFireMode == 0 && b.AutoFireDelay == 0;
}

bool allZero(const JoystickBinding& b) {
    return b.BindingKind == 0 && b.Key1 == 0 && b.Key2 == 0 && b.Key3 == 0 && b.KeyCount == 0 && b.AutoFireMode == 0 &&
           b.AutoFireDelay == 0;
}

// A cleared slot keeps its speed, repeat count and press mode, which the move editor shows when
// the slot is opened again, so such a slot is saved too.
bool allZero(const Move& m) {
    return m.StepCount == 0 && m.Speed == 0 && m.RepeatCount == 0 && m.Overlap == 0 && m.Name.Length == 0;
}

// One value on one line, with a space after every colon and comma.
void appendInline(std::string& out, const OrderedJson& value) {
    if (value.is_object()) {
        out += '{';
        bool first = true;
        for (const auto& item : value.items()) {
            out += first ? "" : ", ";
            first = false;
            out += OrderedJson(item.key()).dump(-1, ' ', false, OrderedJson::error_handler_t::strict);
            out += ": ";
            appendInline(out, item.value());
        }
        out += '}';
    } else if (value.is_array()) {
        out += '[';
        for (std::size_t i = 0; i < value.size(); ++i) {
            out += i ? ", " : "";
            appendInline(out, value[i]);
        }
        out += ']';
    } else {
        out += value.dump(-1, ' ', false, OrderedJson::error_handler_t::strict);
    }
}

void appendList(std::string& out, const char* name, const std::vector<OrderedJson>& items, bool last) {
    out += "  \"";
    out += name;
    out += "\": [";
    for (std::size_t i = 0; i < items.size(); ++i) {
        out += i ? ",\n    " : "\n    ";
        appendInline(out, items[i]);
    }
    out += items.empty() ? "]" : "\n  ]";
    out += last ? "\n" : ",\n";
}

} // namespace

ProfileResult profileText(const Configuration& config, std::string& text) {
    const auto cannot = [](const std::string& what) {
        ProfileResult result = ProfileResult::failure("the tables hold what a profile cannot: " + what);
        result.problem = ProfileResult::Problem::Tables;
        result.detail = what;
        return result;
    };
    std::vector<OrderedJson> keyboard, joysticks, moves, pads;
    bool pointerBindings = false;
    bool padEntries = false; // the right stick's or a trigger's
    for (int i = 0; i < kKeyBindingCount; ++i) {
        const KeyBinding& b = config.keyBindings[static_cast<std::size_t>(i)];
        if (allZero(b))
            continue;
        const int code = keyEntryMap().codeOfEntry[static_cast<std::size_t>(i)];
        if (code < 0)
            return cannot("keyboard binding entry " + std::to_string(i) + " belongs to no key");
        keyboard.push_back(OrderedJson{{"key", code},
                                       {"move", b.MoveNumber},
                                       {"autoFireMode", b.AutoFireMode},
                                       {"autoFireDelay", b.AutoFireDelay}});
    }
    bool layers = false; // anything of version 4: a layered binding, a layer switch, a pad's times or names
    const auto bindingJson = [&](int j, int e, const JoystickBinding& b) {
        pointerBindings = pointerBindings || b.BindingKind == BindingPointer;
        layers = layers || b.BindingKind == BindingLayer;
        padEntries = padEntries || e > kJoystickEntries;
        return OrderedJson{{"joystick", j},
                           {"entry", e},
                           {"kind", b.BindingKind},
                           {"key1", b.Key1},
                           {"key2", b.Key2},
                           {"key3", b.Key3},
                           {"keyCount", b.KeyCount},
                           {"autoFireMode", b.AutoFireMode},
                           {"autoFireDelay", b.AutoFireDelay}};
    };
    for (int j = 1; j <= kMaxJoysticks; ++j) {
        for (int e = 1; e <= kPadEntries; ++e) {
            const JoystickBinding& b = config.joystickBindings[j][e];
            if (!allZero(b))
                joysticks.push_back(bindingJson(j, e, b));
        }
        for (const LayeredBinding& l : config.layeredBindings[j]) {
            if (allZero(l.Binding) || isPlainSlot(l.Layer, l.Activator, l.With))
                continue;
            layers = true;
            OrderedJson item = bindingJson(j, l.Entry, l.Binding);
            if (l.Layer != 1)
                item["layer"] = l.Layer;
            if (l.Activator != ActivatePress) {
                for (const auto& [name, activator] : detail::kActivatorNames) {
                    if (activator == l.Activator)
                        item["activator"] = name;
                }
                if (!item.contains("activator"))
                    return cannot("joystick " + std::to_string(j) + " entry " + std::to_string(l.Entry) +
                                  " has activator " + std::to_string(l.Activator));
            }
            if (l.With != 0)
                item["with"] = l.With;
            joysticks.push_back(std::move(item));
        }
    }
    for (int k = 1; k <= kMoveSlots; ++k) {
        const Move& m = config.moves[k];
        if (allZero(m))
            continue;
        if (m.StepCount < 0 || m.StepCount > kMaxMoveSteps)
            return cannot("move " + std::to_string(k) + " has " + std::to_string(m.StepCount) + " steps");
        const std::optional<std::string> name = big5ToUtf8(m.Name.view());
        if (!name)
            return cannot("the name of move " + std::to_string(k) + " is not Big5 text");
        OrderedJson steps = OrderedJson::array();
        for (int s = 1; s <= m.StepCount; ++s)
            steps.push_back(OrderedJson::array({m.Steps[s].Key, m.Steps[s].ChordKey}));
        moves.push_back(OrderedJson{{"number", k},
                                    {"name", *name},
                                    {"speed", m.Speed},
                                    {"repeat", m.RepeatCount},
                                    {"overlap", m.Overlap != 0},
                                    {"steps", std::move(steps)}});
    }

    const auto modeName = [](StickMode mode) {
        for (const auto& [name, stick] : detail::kStickModeNames) {
            if (stick == mode)
                return name;
        }
        return "keys";
    };
    for (int j = 1; j <= kMaxJoysticks; ++j) {
        const PadSettings& pad = config.pad(j);
        if (pad == PadSettings{})
            continue;
        pads.push_back(OrderedJson{{"joystick", j},
                                   {"leftStick", modeName(pad.leftStick)},
                                   {"rightStick", modeName(pad.rightStick)},
                                   {"leftDeadZone", pad.leftDeadZone},
                                   {"rightDeadZone", pad.rightDeadZone},
                                   {"pointerSpeed", pad.pointerSpeed},
                                   {"pointerCurve", pad.pointerCurve},
                                   {"wheelSpeed", pad.wheelSpeed},
                                   {"triggerThreshold", pad.triggerThreshold}});
        OrderedJson& item = pads.back();
        const PadSettings usual;
        if (pad.holdMs != usual.holdMs)
            item["holdMs"] = pad.holdMs;
        if (pad.doubleMs != usual.doubleMs)
            item["doubleMs"] = pad.doubleMs;
        if (pad.chordMs != usual.chordMs)
            item["chordMs"] = pad.chordMs;
        if (pad.layerNames != usual.layerNames) {
            // Up to the last layer that has a name.
            std::size_t named = pad.layerNames.size();
            while (named > 0 && pad.layerNames[named - 1].empty())
                --named;
            item["layerNames"] = std::vector<std::string>(pad.layerNames.begin(), pad.layerNames.begin() + named);
        }
        layers = layers || pad.holdMs != usual.holdMs || pad.doubleMs != usual.doubleMs ||
                 pad.chordMs != usual.chordMs || pad.layerNames != usual.layerNames;
    }

    const bool windowsKeys = !(config.windowsKeys == WindowsKeys{});

    // The lowest version that holds the tables, so older builds can still read what they can.
    const int version = layers                                                               ? 4
                        : pointerBindings || padEntries || !pads.empty() || windowsKeys ? 3
                        : !config.programs.empty()                                      ? 2
                                                                                        : 1;
    std::string out = "{\n  \"format\": \"";
    out += kProfileFormat;
    out += "\",\n  \"version\": " + std::to_string(version) + ",\n";
    if (!config.programs.empty()) {
        OrderedJson programs = OrderedJson::array();
        for (const std::string& name : config.programs)
            programs.push_back(name);
        out += "  \"programs\": " + programs.dump(-1, ' ', false, OrderedJson::error_handler_t::replace) + ",\n";
    }
    appendList(out, "keyboard", keyboard, false);
    appendList(out, "joysticks", joysticks, false);
    appendList(out, "moves", moves, pads.empty() && !windowsKeys);
    if (!pads.empty())
        appendList(out, "pads", pads, !windowsKeys);
    if (windowsKeys) {
        out += "  \"windowsKeys\": ";
        appendInline(out, OrderedJson{{"scanCodesOnly", config.windowsKeys.scanCodesOnly},
                                      {"minimumPressMs", config.windowsKeys.minimumPressMs}});
        out += "\n";
    }
    out += "}\n";

    // What is written must load again: the same checks as a load catch any value out of range.
    auto scratch = std::make_unique<ProfileTables>();
    if (const std::optional<std::string> problem = checkText(out, *scratch))
        return cannot(*problem);
    text = std::move(out);
    return {};
}

} // namespace vornik

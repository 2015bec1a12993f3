// The strict check of a profile: the JSON itself (no repeated field, no deep nesting), then every
// field of the format, into a scratch copy of the tables.
#include "ProfileSchema.h"

#include "Big5.h"
#include "KeyLabels.h"
#include "Profile.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace vornik::detail {

KeyEntryMap::KeyEntryMap() {
    codeOfEntry.fill(-1);
    entryOfCode.fill(-1);
    NamedKeyList list;
    buildNamedKeyList(list);
    // Position 1 is code 0 ("NONE"), which has no entry.
    for (int p = 2; p <= list.Count && p - 2 < kKeyBindingCount; ++p) {
        codeOfEntry[static_cast<std::size_t>(p - 2)] = list.Codes[p];
        entryOfCode[list.Codes[p]] = p - 2;
    }
}

const KeyEntryMap& keyEntryMap() {
    static const KeyEntryMap map;
    return map;
}

namespace {

using Json = nlohmann::json;

// ---------------------------------------------------------------------------------------------
// Checking a parsed document into ProfileTables. Any problem throws a Refusal naming the place.

struct Refusal {
    std::string path; // JSON path; empty for the document as a whole
    std::string problem;
};

[[noreturn]] void refuse(std::string path, std::string problem) {
    throw Refusal{std::move(path), std::move(problem)};
}

std::string member(const std::string& path, const char* key) {
    return path.empty() ? key : path + "." + key;
}
std::string element(const std::string& path, std::size_t i) {
    return path + "[" + std::to_string(i) + "]";
}

// A key of the file as a message shows it: a long one is cut, at a character boundary.
std::string shownKey(const std::string& key) {
    constexpr std::size_t kMaxShown = 40;
    if (key.size() <= kMaxShown)
        return key;
    std::size_t n = kMaxShown;
    while (n > 0 && (static_cast<unsigned char>(key[n]) & 0xC0) == 0x80)
        --n;
    return key.substr(0, n) + "...";
}

const Json& field(const Json& object, const char* key, const std::string& path) {
    const auto it = object.find(key);
    if (it == object.end())
        refuse(member(path, key), "is missing");
    return *it;
}

void onlyFields(const Json& object, std::initializer_list<const char*> known, const std::string& path) {
    for (const auto& item : object.items()) {
        const bool ok = std::any_of(known.begin(), known.end(), [&](const char* k) { return item.key() == k; });
        if (!ok)
            refuse(member(path, shownKey(item.key()).c_str()), "is not a field of a profile");
    }
}

const Json& expectObject(const Json& value, const std::string& path) {
    if (!value.is_object())
        refuse(path, std::string("expected an object, found ") + value.type_name());
    return value;
}

const Json& expectArray(const Json& value, const std::string& path) {
    if (!value.is_array())
        refuse(path, std::string("expected an array, found ") + value.type_name());
    return value;
}

std::string rangeText(int lo, int hi) {
    return std::to_string(lo) + ".." + std::to_string(hi);
}

// A place in the document, spelled out only when a refusal names it.
struct Place {
    const std::string& parent;
    const char* key = nullptr; // a field of `parent`; without one, element `index` of it
    std::size_t index = 0;
    std::string str() const { return key ? member(parent, key) : element(parent, index); }
};

int32_t integerIn(const Json& value, const Place& place, int lo, int hi) {
    if (!value.is_number_integer())
        refuse(place.str(), "expected an integer " + rangeText(lo, hi) + ", found " +
                                (value.is_number() ? std::string("a number with a fraction") : value.type_name()));
    if (value.is_number_unsigned()) {
        const auto v = value.get<uint64_t>();
        if (v < static_cast<uint64_t>(lo) || v > static_cast<uint64_t>(hi))
            refuse(place.str(), std::to_string(v) + " is out of range " + rangeText(lo, hi));
        return static_cast<int32_t>(v);
    }
    const auto v = value.get<int64_t>();
    if (v < lo || v > hi)
        refuse(place.str(), std::to_string(v) + " is out of range " + rangeText(lo, hi));
    return static_cast<int32_t>(v);
}

int32_t integerField(const Json& object, const char* key, const std::string& path, int lo, int hi) {
    return integerIn(field(object, key, path), Place{path, key}, lo, hi);
}

// Checks the header; returns the file's version.
int checkHeader(const Json& doc) {
    if (!doc.is_object())
        refuse("", std::string("not a profile: expected a JSON object, found ") + doc.type_name());
    const auto format = doc.find("format");
    if (format == doc.end() || !format->is_string() || format->get<std::string>() != kProfileFormat)
        refuse("format", std::string("not a profile: \"format\" must be \"") + kProfileFormat + "\"");
    const Json& version = field(doc, "version", "");
    if (!version.is_number_integer())
        refuse("version", std::string("expected an integer, found ") + version.type_name());
    if (version.is_number_unsigned() && version.get<uint64_t>() > static_cast<uint64_t>(kProfileVersion))
        refuse("version", "the file is of version " + std::to_string(version.get<uint64_t>()) +
                              ", newer than this program reads (version " + std::to_string(kProfileVersion) + ")");
    if (version.get<int64_t>() < 1)
        refuse("version", std::to_string(version.get<int64_t>()) + " is not a profile version");
    onlyFields(doc, {"format", "version", "programs", "keyboard", "joysticks", "moves", "pads", "windowsKeys"}, "");
    if (doc.contains("programs") && version.get<int64_t>() < 2)
        refuse("programs", "a version-1 profile has no program list (it came with version 2)");
    if (doc.contains("pads") && version.get<int64_t>() < 3)
        refuse("pads", "a version-" + std::to_string(version.get<int64_t>()) +
                           " profile has no pad settings (they came with version 3)");
    if (doc.contains("windowsKeys") && version.get<int64_t>() < 3)
        refuse("windowsKeys", "a version-" + std::to_string(version.get<int64_t>()) +
                                  " profile has no Windows key settings (they came with version 3)");
    return static_cast<int>(version.get<int64_t>());
}

// Executable file names: a name, not a path, so that the same profile serves wherever the game lives.
void checkPrograms(const Json& doc, std::vector<std::string>& programs) {
    const auto list = doc.find("programs");
    if (list == doc.end())
        return;
    expectArray(*list, "programs");
    if (list->size() > kMaxProfilePrograms)
        refuse("programs", std::to_string(list->size()) + " programs, more than " +
                               std::to_string(kMaxProfilePrograms));
    for (std::size_t i = 0; i < list->size(); ++i) {
        const Json& name = (*list)[i];
        const std::string path = element("programs", i);
        if (!name.is_string())
            refuse(path, std::string("expected a program's file name, found ") + name.type_name());
        const std::string text = name.get<std::string>();
        if (text.empty() || text.size() > 255)
            refuse(path, "a program's file name has 1 to 255 bytes");
        if (std::any_of(text.begin(), text.end(),
                        [](char c) { return c == '/' || c == '\\' || static_cast<unsigned char>(c) < 0x20; }))
            refuse(path, "\"" + text + "\" is not a file name (no folder, no control characters)");
        if (std::find(programs.begin(), programs.end(), text) != programs.end())
            refuse(path, "\"" + text + "\" is listed twice");
        programs.push_back(text);
    }
}

void checkKeyboard(const Json& list, KeyBindingTable& table) {
    const std::string path = "keyboard";
    expectArray(list, path);
    std::array<std::size_t, kKeyBindingCount> seenAt{};
    std::array<bool, kKeyBindingCount> seen{};
    for (std::size_t i = 0; i < list.size(); ++i) {
        const std::string at = element(path, i);
        const Json& item = expectObject(list[i], at);
        onlyFields(item, {"key", "move", "autoFireMode", "autoFireDelay"}, at);
        const int code = integerField(item, "key", at, 0, 255);
        const int entry = keyEntryMap().entryOfCode[static_cast<std::size_t>(code)];
        if (entry < 0)
            refuse(member(at, "key"), "key code " + std::to_string(code) + " is no key that takes a binding");
        const auto e = static_cast<std::size_t>(entry);
        if (seen[e])
            refuse(member(at, "key"),
                   "key code " + std::to_string(code) + " appears twice (also at " + element(path, seenAt[e]) + ")");
        seen[e] = true;
        seenAt[e] = i;
        KeyBinding& b = table[e];
        b.MoveNumber = integerField(item, "move", at, 0, kMoveSlots);
        b.AutoFireMode = integerField(item, "autoFireMode", at, 0, 2);
        b.AutoFireDelay = integerField(item, "autoFireDelay", at, 0, 10);
    }
}

// A field that came with a later version than the file's.
void sinceVersion(const Json& object, const char* key, const std::string& path, int version, int since,
                  const char* what) {
    if (version < since && object.contains(key))
        refuse(member(path, key), "a version-" + std::to_string(version) + " profile has no " + what +
                                      " (they came with version " + std::to_string(since) + ")");
}

int32_t activatorField(const Json& object, const std::string& path) {
    const Json& value = field(object, "activator", path);
    if (value.is_string()) {
        const std::string& name = value.get_ref<const std::string&>();
        for (const auto& [known, activator] : kActivatorNames) {
            if (name == known)
                return activator;
        }
        refuse(member(path, "activator"),
               "\"" + shownKey(name) + "\" is not an activator (press, tap, hold, double or release)");
    }
    refuse(member(path, "activator"), std::string("expected \"press\", \"tap\", \"hold\", \"double\" or "
                                                  "\"release\", found ") +
                                          value.type_name());
}

void checkJoysticks(const Json& list, int version, ProfileTables& tables) {
    const std::string path = "joysticks";
    expectArray(list, path);
    // Where each (joystick, entry, layer, activator, with) was met.
    std::vector<std::pair<std::array<int, 5>, std::size_t>> seen;
    // The right stick's and the triggers' entries came with version 3.
    const int lastEntry = version >= 3 ? kPadEntries : kJoystickEntries;
    const int lastKind = version >= 4 ? BindingLayer : version >= 3 ? BindingPointer : BindingMove;
    for (std::size_t i = 0; i < list.size(); ++i) {
        const std::string at = element(path, i);
        const Json& item = expectObject(list[i], at);
        onlyFields(item,
                   {"joystick", "entry", "kind", "key1", "key2", "key3", "keyCount", "autoFireMode", "autoFireDelay",
                    "layer", "activator", "with"},
                   at);
        sinceVersion(item, "layer", at, version, 4, "layers");
        sinceVersion(item, "activator", at, version, 4, "activators");
        sinceVersion(item, "with", at, version, 4, "inputs pressed together");
        const int joystick = integerField(item, "joystick", at, 1, kMaxJoysticks);
        const int entry = integerField(item, "entry", at, 1, lastEntry);
        const int layer = item.contains("layer") ? integerField(item, "layer", at, 1, kMaxLayers) : 1;
        const int activator = item.contains("activator") ? activatorField(item, at) : ActivatePress;
        const int with = item.contains("with") ? integerField(item, "with", at, 1, lastEntry) : 0;
        if (with == entry)
            refuse(member(at, "with"), "an input cannot be pressed together with itself (entry " +
                                           std::to_string(entry) + ")");
        if (with != 0 && activator != ActivatePress)
            refuse(member(at, "activator"), "two inputs pressed together fire as they go down: \"with\" takes no "
                                            "other activator than \"press\"");
        const std::array<int, 5> slot{joystick, entry, layer, activator, with};
        const auto met = std::find_if(seen.begin(), seen.end(), [&](const auto& s) { return s.first == slot; });
        if (met != seen.end())
            refuse(at, "joystick " + std::to_string(joystick) + " entry " + std::to_string(entry) +
                           (isPlainSlot(layer, activator, with) ? std::string()
                                                                : " with the same layer, activator and \"with\"") +
                           " appears twice (also at " + element(path, met->second) + ")");
        seen.emplace_back(slot, i);
        JoystickBinding b;
        b.BindingKind = integerField(item, "kind", at, 0, lastKind);
        if (b.BindingKind == BindingPointer) {
            // Key1 names the pointer button or wheel notch; nothing else is pressed with it.
            b.Key1 = integerField(item, "key1", at, 1, kPointerTargets);
            b.Key2 = integerField(item, "key2", at, 0, 0);
            b.Key3 = integerField(item, "key3", at, 0, 0);
            b.KeyCount = integerField(item, "keyCount", at, 0, 0);
        } else if (b.BindingKind == BindingLayer) {
            // Key2 says how, Key1 to which layer (none for going back).
            b.Key2 = integerField(item, "key2", at, LayerWhileHeld, LayerBack);
            b.Key1 = integerField(item, "key1", at, b.Key2 == LayerBack ? 0 : 1, kMaxLayers);
            b.Key3 = integerField(item, "key3", at, 0, 0);
            b.KeyCount = integerField(item, "keyCount", at, 0, 0);
        } else {
            // For a move binding Key1 holds the move number.
            b.Key1 = integerField(item, "key1", at, 0, b.BindingKind == BindingMove ? kMoveSlots : 255);
            b.Key2 = integerField(item, "key2", at, 0, 255);
            b.Key3 = integerField(item, "key3", at, 0, 255);
            b.KeyCount = integerField(item, "keyCount", at, 0, 3);
        }
        b.AutoFireMode = integerField(item, "autoFireMode", at, 0, 2);
        b.AutoFireDelay = integerField(item, "autoFireDelay", at, 0, 10);
        tables.bindingAt(joystick, entry, layer, activator, with) = b;
    }
}

void checkMoveName(const Json& value, const Place& place, Move& move) {
    if (!value.is_string())
        refuse(place.str(), std::string("expected a string, found ") + value.type_name());
    const std::string& utf8 = value.get_ref<const std::string&>();
    // A name comes from a one-line edit box; control characters would only upset the lists.
    if (std::any_of(utf8.begin(), utf8.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }))
        refuse(place.str(), "the name holds a control character");
    const std::optional<std::string> big5 = utf8ToBig5(utf8);
    if (!big5)
        refuse(place.str(), "the name holds a character that has no Big5 form");
    if (big5->size() > static_cast<std::size_t>(kMaxMoveNameBytes))
        refuse(place.str(), "the name is " + std::to_string(big5->size()) + " bytes in Big5, more than " +
                                std::to_string(kMaxMoveNameBytes));
    move.Name = MoveName{};
    std::copy(big5->begin(), big5->end(), move.Name.Bytes.begin());
    move.Name.Length = static_cast<uint8_t>(big5->size());
}

bool isCode(const Json& value) {
    return value.is_number_unsigned() && value.get<uint64_t>() <= 255;
}

void checkMoves(const Json& list, MoveTable& table) {
    const std::string path = "moves";
    expectArray(list, path);
    std::array<std::size_t, kMoveSlots + 1> seenAt;
    seenAt.fill(SIZE_MAX);
    for (std::size_t i = 0; i < list.size(); ++i) {
        const std::string at = element(path, i);
        const Json& item = expectObject(list[i], at);
        onlyFields(item, {"number", "name", "speed", "repeat", "overlap", "steps"}, at);
        const int number = integerField(item, "number", at, 1, kMoveSlots);
        if (seenAt[static_cast<std::size_t>(number)] != SIZE_MAX)
            refuse(member(at, "number"), "move " + std::to_string(number) + " appears twice (also at " +
                                             element(path, seenAt[static_cast<std::size_t>(number)]) + ")");
        seenAt[static_cast<std::size_t>(number)] = i;
        Move& move = table[number];
        checkMoveName(field(item, "name", at), Place{at, "name"}, move);
        move.Speed = integerField(item, "speed", at, 0, 100);
        move.RepeatCount = integerField(item, "repeat", at, 0, 300);
        const Json& overlap = field(item, "overlap", at);
        if (!overlap.is_boolean())
            refuse(member(at, "overlap"), std::string("expected true or false, found ") + overlap.type_name());
        move.Overlap = overlap.get<bool>() ? 1 : 0;
        const std::string stepsPath = member(at, "steps");
        const Json& steps = expectArray(field(item, "steps", at), stepsPath);
        if (steps.size() > static_cast<std::size_t>(kMaxMoveSteps))
            refuse(stepsPath, std::to_string(steps.size()) + " steps, more than " + std::to_string(kMaxMoveSteps));
        for (std::size_t s = 0; s < steps.size(); ++s) {
            const Json& step = steps[s];
            MoveStep& out = move.Steps[static_cast<int>(s) + 1];
            if (step.is_array() && step.size() == 2 && isCode(step[0]) && isCode(step[1])) {
                out = {step[0].get<uint16_t>(), step[1].get<uint16_t>()};
                continue;
            }
            // Something is wrong with this step: find what, and name it.
            const std::string stepPath = element(stepsPath, s);
            expectArray(step, stepPath);
            if (step.size() != 2)
                refuse(stepPath, "expected a pair [key, chord key], found " + std::to_string(step.size()) + " values");
            integerIn(step[0], Place{stepPath, nullptr, 0}, 0, 255);
            integerIn(step[1], Place{stepPath, nullptr, 1}, 0, 255);
        }
        move.StepCount = static_cast<int32_t>(steps.size());
    }
}

StickMode stickModeField(const Json& object, const char* key, const std::string& path) {
    const Json& value = field(object, key, path);
    if (value.is_string()) {
        const std::string& mode = value.get_ref<const std::string&>();
        for (const auto& [name, stick] : kStickModeNames) {
            if (mode == name)
                return stick;
        }
        refuse(member(path, key), "\"" + shownKey(mode) + "\" is not a stick mode (keys, pointer or wheel)");
    }
    refuse(member(path, key), std::string("expected \"keys\", \"pointer\" or \"wheel\", found ") + value.type_name());
}

double realField(const Json& object, const char* key, const std::string& path, double lo, double hi) {
    const Json& value = field(object, key, path);
    const auto range = [&] {
        char text[64];
        std::snprintf(text, sizeof text, "%.1f..%.1f", lo, hi);
        return std::string(text);
    };
    if (!value.is_number())
        refuse(member(path, key), "expected a number " + range() + ", found " + value.type_name());
    const double v = value.get<double>();
    if (!(v >= lo && v <= hi))
        refuse(member(path, key), value.dump() + " is out of range " + range());
    return v;
}

void checkLayerNames(const Json& list, const std::string& path, PadSettings& pad) {
    expectArray(list, path);
    if (list.size() > static_cast<std::size_t>(kMaxLayers))
        refuse(path, std::to_string(list.size()) + " names, more than the " + std::to_string(kMaxLayers) + " layers");
    for (std::size_t i = 0; i < list.size(); ++i) {
        const std::string at = element(path, i);
        if (!list[i].is_string())
            refuse(at, std::string("expected a string, found ") + list[i].type_name());
        const std::string& name = list[i].get_ref<const std::string&>();
        if (!layerNameFits(name))
            refuse(at, "a layer's name has at most " + std::to_string(PadSettings::kMaxLayerNameChars) +
                           " characters and no control character");
        pad.layerNames[i] = name;
    }
}

void checkPads(const Json& doc, int version, std::array<PadSettings, kMaxJoysticks>& pads) {
    const auto list = doc.find("pads");
    if (list == doc.end())
        return;
    const std::string path = "pads";
    expectArray(*list, path);
    std::array<std::size_t, kMaxJoysticks> seenAt;
    seenAt.fill(SIZE_MAX);
    for (std::size_t i = 0; i < list->size(); ++i) {
        const std::string at = element(path, i);
        const Json& item = expectObject((*list)[i], at);
        onlyFields(item,
                   {"joystick", "leftStick", "rightStick", "leftDeadZone", "rightDeadZone", "pointerSpeed",
                    "pointerCurve", "wheelSpeed", "triggerThreshold", "holdMs", "doubleMs", "chordMs", "layerNames"},
                   at);
        sinceVersion(item, "holdMs", at, version, 4, "activator times");
        sinceVersion(item, "doubleMs", at, version, 4, "activator times");
        sinceVersion(item, "chordMs", at, version, 4, "activator times");
        sinceVersion(item, "layerNames", at, version, 4, "layer names");
        const int joystick = integerField(item, "joystick", at, 1, kMaxJoysticks);
        std::size_t& seen = seenAt[static_cast<std::size_t>(joystick - 1)];
        if (seen != SIZE_MAX)
            refuse(at, "joystick " + std::to_string(joystick) + " appears twice (also at " + element(path, seen) + ")");
        seen = i;
        PadSettings pad;
        const auto has = [&](const char* key) { return item.contains(key); };
        using P = PadSettings;
        if (has("leftStick"))
            pad.leftStick = stickModeField(item, "leftStick", at);
        if (has("rightStick"))
            pad.rightStick = stickModeField(item, "rightStick", at);
        if (has("leftDeadZone"))
            pad.leftDeadZone = integerField(item, "leftDeadZone", at, P::kMinDeadZone, P::kMaxDeadZone);
        if (has("rightDeadZone"))
            pad.rightDeadZone = integerField(item, "rightDeadZone", at, P::kMinDeadZone, P::kMaxDeadZone);
        if (has("pointerSpeed"))
            pad.pointerSpeed = integerField(item, "pointerSpeed", at, P::kMinPointerSpeed, P::kMaxPointerSpeed);
        if (has("pointerCurve"))
            pad.pointerCurve = realField(item, "pointerCurve", at, P::kMinCurve, P::kMaxCurve);
        if (has("wheelSpeed"))
            pad.wheelSpeed = integerField(item, "wheelSpeed", at, P::kMinWheelSpeed, P::kMaxWheelSpeed);
        if (has("triggerThreshold"))
            pad.triggerThreshold =
                integerField(item, "triggerThreshold", at, P::kMinTriggerThreshold, P::kMaxTriggerThreshold);
        if (has("holdMs"))
            pad.holdMs = integerField(item, "holdMs", at, P::kMinHoldMs, P::kMaxHoldMs);
        if (has("doubleMs"))
            pad.doubleMs = integerField(item, "doubleMs", at, P::kMinDoubleMs, P::kMaxDoubleMs);
        if (has("chordMs"))
            pad.chordMs = integerField(item, "chordMs", at, P::kMinChordMs, P::kMaxChordMs);
        if (has("layerNames"))
            checkLayerNames(item["layerNames"], member(at, "layerNames"), pad);
        pads[static_cast<std::size_t>(joystick - 1)] = pad;
    }
}

// Both fields may be left out; the defaults are the program's usual way of sending.
void checkWindowsKeys(const Json& doc, WindowsKeys& keys) {
    const auto found = doc.find("windowsKeys");
    if (found == doc.end())
        return;
    const std::string path = "windowsKeys";
    const Json& item = expectObject(*found, path);
    onlyFields(item, {"scanCodesOnly", "minimumPressMs"}, path);
    if (const auto scanOnly = item.find("scanCodesOnly"); scanOnly != item.end()) {
        if (!scanOnly->is_boolean())
            refuse(member(path, "scanCodesOnly"),
                   std::string("expected true or false, found ") + scanOnly->type_name());
        keys.scanCodesOnly = scanOnly->get<bool>();
    }
    if (item.contains("minimumPressMs"))
        keys.minimumPressMs = integerField(item, "minimumPressMs", path, 0, WindowsKeys::kMaxMinimumPressMs);
}

void checkDocument(const Json& doc, ProfileTables& tables) {
    const int version = checkHeader(doc);
    checkPrograms(doc, tables.programs);
    checkKeyboard(field(doc, "keyboard", ""), tables.keyBindings);
    checkJoysticks(field(doc, "joysticks", ""), version, tables);
    checkMoves(field(doc, "moves", ""), tables.moves);
    checkPads(doc, version, tables.padSettings);
    checkWindowsKeys(doc, tables.windowsKeys);
}

// Parses the text, refusing what nlohmann::json would otherwise accept quietly: a key repeated
// in one object (the last would win) and nesting far deeper than a profile goes.
class StrictParse {
public:
    Json parse(std::string_view text) {
        return Json::parse(text.begin(), text.end(),
                           [this](int, Json::parse_event_t event, Json& parsed) { return onEvent(event, parsed); });
    }

private:
    static constexpr std::size_t kMaxDepth = 16;

    // Frames are reused from one object or array to the next, so their key lists keep their room.
    struct Frame {
        bool isObject = false;
        std::vector<std::string> keys; // every key met, for an object
        std::size_t index = 0;         // elements begun so far, for an array
    };

    bool onEvent(Json::parse_event_t event, const Json& parsed) {
        switch (event) {
        case Json::parse_event_t::object_start:
        case Json::parse_event_t::array_start: {
            beginElement();
            if (m_depth >= kMaxDepth)
                refuse(pathOf(m_depth), "nested more than " + std::to_string(kMaxDepth) + " levels deep");
            if (m_depth == m_frames.size())
                m_frames.emplace_back();
            Frame& f = m_frames[m_depth++];
            f.isObject = event == Json::parse_event_t::object_start;
            f.keys.clear();
            f.index = 0;
            break;
        }
        case Json::parse_event_t::object_end:
            // The object holds one member per distinct key: fewer than the keys met means a repeat.
            if (parsed.size() != m_frames[m_depth - 1].keys.size())
                refuse(member(pathOf(m_depth - 1), shownKey(repeatedKey(m_frames[m_depth - 1].keys)).c_str()),
                       "the field appears twice");
            --m_depth;
            break;
        case Json::parse_event_t::array_end:
            --m_depth;
            break;
        case Json::parse_event_t::key:
            m_frames[m_depth - 1].keys.push_back(parsed.get<std::string>());
            break;
        case Json::parse_event_t::value:
            beginElement();
            break;
        }
        return true;
    }

    void beginElement() {
        if (m_depth > 0 && !m_frames[m_depth - 1].isObject)
            ++m_frames[m_depth - 1].index;
    }

    static std::string repeatedKey(std::vector<std::string> keys) {
        std::sort(keys.begin(), keys.end());
        const auto it = std::adjacent_find(keys.begin(), keys.end());
        return it == keys.end() ? std::string() : *it;
    }

    // The path of the value being read in the first `depth` frames.
    std::string pathOf(std::size_t depth) const {
        std::string path;
        for (std::size_t i = 0; i < depth; ++i) {
            const Frame& f = m_frames[i];
            path = f.isObject ? member(path, shownKey(f.keys.back()).c_str()) : element(path, f.index - 1);
        }
        return path;
    }

    std::vector<Frame> m_frames;
    std::size_t m_depth = 0;
};

} // namespace

std::optional<std::string> checkText(std::string_view text, ProfileTables& tables) {
    if (text.size() > kMaxProfileBytes)
        return "the file is " + std::to_string(text.size()) + " bytes, more than a profile may be (1 MiB)";
    try {
        const Json doc = StrictParse().parse(text);
        checkDocument(doc, tables);
    } catch (const Refusal& r) {
        return (r.path.empty() ? "" : r.path + ": ") + r.problem;
    } catch (const Json::parse_error& e) {
        // what() starts with the library's own tag, "[json.exception.parse_error.101] ".
        std::string what = e.what();
        const auto tagEnd = what.find("] ");
        if (tagEnd != std::string::npos)
            what.erase(0, tagEnd + 2);
        return "not valid JSON: " + what;
    } catch (const Json::exception& e) {
        // A number too large for any type, for one ("number overflow parsing '1e400'").
        std::string what = e.what();
        const auto tagEnd = what.find("] ");
        if (tagEnd != std::string::npos)
            what.erase(0, tagEnd + 2);
        return "not valid JSON: " + what;
    } catch (const std::bad_alloc&) {
        return "not enough memory to read the file";
    }
    return std::nullopt;
}

} // namespace vornik::detail

#include "Profile.h"
#include "ProfileTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace vornik {
namespace {

namespace fs = std::filesystem;
using test::richConfiguration;
using test::sameTables;
using test::withoutUnsavedState;

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void writeFile(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

std::string textOf(const Configuration& c) {
    std::string text;
    const ProfileResult r = profileText(c, text);
    EXPECT_TRUE(r.ok) << r.message;
    return text;
}

// A small valid profile that the refusal cases below change in one place each.
const std::string kBase = R"({"format": "vornik-profile", "version": 1,
 "keyboard": [{"key": 65, "move": 2, "autoFireMode": 1, "autoFireDelay": 3}],
 "joysticks": [{"joystick": 1, "entry": 5, "kind": 1, "key1": 17, "key2": 88, "key3": 0, "keyCount": 2,
                "autoFireMode": 0, "autoFireDelay": 0}],
 "moves": [{"number": 2, "name": "波動拳", "speed": 10, "repeat": 1, "overlap": false,
            "steps": [[40, 0], [39, 0], [65, 0]]}]}
)";

TEST(ProfileText, RoundTripKeepsEveryTableAndGivesTheSameBytes) {
    const Configuration rich = richConfiguration();
    const std::string first = textOf(rich);

    Configuration loaded;
    loaded.targets.TargetProcessId = 99;
    const ProfileResult r = parseProfile(first, "rich.vornik", loaded);
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_TRUE(sameTables(loaded, withoutUnsavedState(rich)));
    EXPECT_EQ(loaded.targets.TargetProcessId, 99u) << "only the binding and move tables belong to a profile";
    EXPECT_EQ(textOf(loaded), first);
}

// A profile names the programs it is for from version 2 on; without any it stays a version-1 file.
TEST(ProfileText, ProgramsMakeVersionTwoAndComeBack) {
    Configuration c = richConfiguration();
    c.programs = {"dosbox", "遊戲.exe"};
    const std::string text = textOf(c);
    EXPECT_NE(text.find("\"version\": 2,\n  \"programs\": [\"dosbox\",\"遊戲.exe\"],"), std::string::npos) << text;
    Configuration loaded;
    ASSERT_TRUE(parseProfile(text, "game.vornik", loaded).ok);
    EXPECT_EQ(loaded.programs, c.programs);
    EXPECT_EQ(textOf(loaded), text);

    // A version-1 file loads as it always did, and clears the programs of the profile before it.
    ASSERT_TRUE(parseProfile(kBase, "old.vornik", loaded).ok);
    EXPECT_TRUE(loaded.programs.empty());
    EXPECT_NE(textOf(loaded).find("\"version\": 1,"), std::string::npos);
}

// Pointer bindings and pad settings make a version-3 file, and nothing less does; they come back as
// they went, and a version-3 file is as strict as the others.
TEST(ProfileText, PointerBindingsAndPadSettingsMakeVersionThreeAndComeBack) {
    Configuration c = richConfiguration();
    c.pad(3) = PadSettings{}; // default settings are not written
    EXPECT_NE(textOf(c).find("\"version\": 1,"), std::string::npos);
    EXPECT_EQ(textOf(c).find("\"pads\""), std::string::npos);

    c.joystickBindings[1][buttonEntry(3)] = {BindingPointer, PointerForward, 0, 0, 0, AutoFireWhileHeld, 2};
    const std::string withBinding = textOf(c);
    EXPECT_NE(withBinding.find("\"version\": 3,"), std::string::npos);
    c.joystickBindings[1][buttonEntry(3)] = {};
    c.pad(2).leftStick = StickMode::Wheel;
    c.pad(2).pointerCurve = 1.7;
    c.pad(7).pointerSpeed = 8000;
    c.pad(7).rightDeadZone = 0;
    const std::string text = textOf(c);
    EXPECT_NE(text.find("\"version\": 3,"), std::string::npos) << text;
    EXPECT_NE(text.find("{\"joystick\": 2, \"leftStick\": \"wheel\", \"rightStick\": \"keys\", \"leftDeadZone\": 33, "
                        "\"rightDeadZone\": 33, \"pointerSpeed\": 1200, \"pointerCurve\": 1.7, \"wheelSpeed\": 10, "
                        "\"triggerThreshold\": 35}"),
              std::string::npos)
        << text;
    Configuration loaded;
    ASSERT_TRUE(parseProfile(text, "pads.vornik", loaded).ok);
    EXPECT_TRUE(sameTables(loaded, withoutUnsavedState(c)));
    EXPECT_EQ(textOf(loaded), text);
    ASSERT_TRUE(parseProfile(withBinding, "click.vornik", loaded).ok);
    EXPECT_EQ(loaded.joystickBindings[1][buttonEntry(3)].BindingKind, BindingPointer);
    EXPECT_EQ(loaded.pad(2), PadSettings{}) << "a profile without pads gives every pad the defaults";

    // Fields left out keep their defaults; a pointer binding names one button and nothing else.
    const std::string v3 = R"({"format": "vornik-profile", "version": 3, "keyboard": [], "moves": [],
        "pads": [{"joystick": 5, "leftStick": "pointer"}], "joysticks": [)";
    ASSERT_TRUE(parseProfile(v3 + R"({"joystick": 1, "entry": 1, "kind": 3, "key1": 9, "key2": 0, "key3": 0,
        "keyCount": 0, "autoFireMode": 0, "autoFireDelay": 0}]})",
                             "v3.vornik", loaded)
                    .ok);
    EXPECT_EQ(loaded.pad(5).leftStick, StickMode::Pointer);
    EXPECT_EQ(loaded.pad(5).pointerSpeed, 1200);
    for (const auto& [binding, expected] : std::vector<std::pair<std::string, std::string>>{
             {R"("key1": 10, "key2": 0, "key3": 0, "keyCount": 0)", "joysticks[0].key1: 10 is out of range 1..9"},
             {R"("key1": 0, "key2": 0, "key3": 0, "keyCount": 0)", "joysticks[0].key1: 0 is out of range 1..9"},
             {R"("key1": 1, "key2": 65, "key3": 0, "keyCount": 0)", "joysticks[0].key2: 65 is out of range 0..0"}}) {
        Configuration kept = c;
        const ProfileResult r = parseProfile(v3 + R"({"joystick": 1, "entry": 1, "kind": 3, )" + binding +
                                                 R"(, "autoFireMode": 0, "autoFireDelay": 0}]})",
                                             "v3.vornik", kept);
        EXPECT_FALSE(r.ok);
        EXPECT_NE(r.message.find(expected), std::string::npos) << r.message;
        EXPECT_TRUE(sameTables(kept, c));
    }
}

// Windows key settings other than the defaults make a version-3 file and come back; the defaults are
// not written, and a file without them gives the defaults.
TEST(ProfileText, WindowsKeySettingsMakeVersionThreeAndComeBack) {
    Configuration c = richConfiguration();
    c.windowsKeys = WindowsKeys{};
    EXPECT_EQ(textOf(c).find("windowsKeys"), std::string::npos);
    EXPECT_NE(textOf(c).find("\"version\": 1,"), std::string::npos);

    c.windowsKeys.minimumPressMs = WindowsKeys::kMaxMinimumPressMs;
    const std::string pressOnly = textOf(c);
    EXPECT_NE(pressOnly.find("\"version\": 3,"), std::string::npos);
    c.windowsKeys = {true, 0};
    const std::string text = textOf(c);
    EXPECT_NE(text.find("\"version\": 3,"), std::string::npos);
    EXPECT_NE(text.find("  \"windowsKeys\": {\"scanCodesOnly\": true, \"minimumPressMs\": 0}\n}\n"), std::string::npos)
        << text;

    Configuration loaded;
    ASSERT_TRUE(parseProfile(pressOnly, "press.vornik", loaded).ok);
    EXPECT_EQ(loaded.windowsKeys, (WindowsKeys{false, WindowsKeys::kMaxMinimumPressMs}));
    ASSERT_TRUE(parseProfile(text, "scan.vornik", loaded).ok);
    EXPECT_TRUE(sameTables(loaded, withoutUnsavedState(c)));
    EXPECT_EQ(textOf(loaded), text);
    ASSERT_TRUE(parseProfile(kBase, "old.vornik", loaded).ok);
    EXPECT_EQ(loaded.windowsKeys, WindowsKeys{}) << "a profile without them gives the defaults";

    // Each field may be left out.
    const std::string v3 = R"({"format": "vornik-profile", "version": 3, "keyboard": [], "joysticks": [],
        "moves": [], "windowsKeys": )";
    ASSERT_TRUE(parseProfile(v3 + R"({"minimumPressMs": 40}})", "v3.vornik", loaded).ok);
    EXPECT_EQ(loaded.windowsKeys, (WindowsKeys{false, 40}));
    ASSERT_TRUE(parseProfile(v3 + R"({"scanCodesOnly": true}})", "v3.vornik", loaded).ok);
    EXPECT_EQ(loaded.windowsKeys, (WindowsKeys{true, 0}));
}

TEST(ProfileText, WritesTheDocumentedLayout) {
    Configuration c;
    c.keyBindings[32] = {3, AutoFireAutomatic, 4}; // entry 32 belongs to the 33rd labelled key, 'E' (69)
    c.joystickBindings[2][buttonEntry(1)] = {BindingKeys, 17, 88, 0, 2, AutoFireNone, 0};
    c.moves[3].StepCount = 2;
    c.moves[3].Steps[1] = {40, 0};
    c.moves[3].Steps[2] = {65, 17};
    c.moves[3].Speed = 10;
    c.moves[3].RepeatCount = 1;
    test::setName(c.moves[3], "\xAA\x69");
    EXPECT_EQ(textOf(c), R"({
  "format": "vornik-profile",
  "version": 1,
  "keyboard": [
    {"key": 69, "move": 3, "autoFireMode": 1, "autoFireDelay": 4}
  ],
  "joysticks": [
    {"joystick": 2, "entry": 5, "kind": 1, "key1": 17, "key2": 88, "key3": 0, "keyCount": 2, )"
                         R"("autoFireMode": 0, "autoFireDelay": 0}
  ],
  "moves": [
    {"number": 3, "name": "波", "speed": 10, "repeat": 1, "overlap": false, "steps": [[40, 0], [65, 17]]}
  ]
}
)");
}

TEST(ProfileText, EmptyTablesGiveEmptyListsAndLoadingThemClearsEverything) {
    const std::string empty = textOf(Configuration{});
    EXPECT_NE(empty.find("\"keyboard\": []"), std::string::npos) << empty;
    Configuration c = richConfiguration();
    ASSERT_TRUE(parseProfile(empty, "empty.vornik", c).ok);
    EXPECT_TRUE(sameTables(c, Configuration{}));
}

TEST(ProfileText, TheReadmeExampleLoads) {
    const std::string readme = readFile(fs::path(VORNIK_SOURCE_DIR) / "README.md");
    const auto section = readme.find("## Profile files");
    ASSERT_NE(section, std::string::npos);
    const auto begin = readme.find("```json\n", section);
    ASSERT_NE(begin, std::string::npos);
    const auto end = readme.find("```", begin + 8);
    const std::string example = readme.substr(begin + 8, end - begin - 8);
    Configuration c;
    const ProfileResult r = parseProfile(example, "README.md", c);
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_FALSE(sameTables(c, Configuration{}));
}

TEST(ProfileText, TablesAProfileCannotCarryAreNotWritten) {
    Configuration outOfRange;
    outOfRange.moves[4].Speed = 500;
    Configuration notBig5;
    test::setName(notBig5.moves[7], "\xFF\xFF");
    Configuration noKey;
    noKey.keyBindings[150].MoveNumber = 1;
    Configuration tooManySteps;
    tooManySteps.moves[1].StepCount = 101;
    for (const Configuration* c : {&outOfRange, &notBig5, &noKey, &tooManySteps}) {
        std::string text = "untouched";
        const ProfileResult r = profileText(*c, text);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(text, "untouched");
    }
    std::string text;
    EXPECT_NE(profileText(outOfRange, text).message.find("moves[0].speed: 500 is out of range 0..100"),
              std::string::npos);
}

// A shift layer, a tap/hold button, two buttons together and the activator times: version 4, and
// nothing less; they come back as they went, and a file without them is written as before.
TEST(ProfileText, LayersAndActivatorsMakeVersionFourAndComeBack) {
    Configuration c = richConfiguration();
    c.pad(3) = PadSettings{};
    c.joystickBindings[1][buttonEntry(5)] = {BindingLayer, 2, LayerWhileHeld, 0, 0, 0, 0};
    c.bindingAt(1, buttonEntry(1), 2, ActivatePress, 0) = {BindingKeys, 'Q', 0, 0, 1, AutoFireNone, 0};
    c.bindingAt(1, buttonEntry(2), 1, ActivateTap, 0) = {BindingKeys, 0x20, 0, 0, 1, AutoFireNone, 0};
    c.bindingAt(1, buttonEntry(2), 1, ActivateHold, 0) = {BindingKeys, 0x10, 0, 0, 1, AutoFireWhileHeld, 2};
    c.bindingAt(1, buttonEntry(3), 3, ActivatePress, buttonEntry(4)) = {BindingMove, 2, 0, 0, 0, AutoFireNone, 0};
    c.joystickBindings[2][buttonEntry(6)] = {BindingLayer, 0, LayerBack, 0, 0, 0, 0};
    c.pad(1).holdMs = 400;
    c.pad(1).chordMs = 10;
    c.pad(1).layerNames[1] = "換檔 Shift";
    const std::string text = textOf(c);
    EXPECT_NE(text.find("\"version\": 4,"), std::string::npos) << text;
    EXPECT_NE(text.find("\"entry\": 6, \"kind\": 1, \"key1\": 32, \"key2\": 0, \"key3\": 0, \"keyCount\": 1, "
                        "\"autoFireMode\": 0, \"autoFireDelay\": 0, \"activator\": \"tap\"}"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("\"layerNames\": [\"\", \"換檔 Shift\"]"), std::string::npos) << text;
    EXPECT_EQ(text.find("doubleMs"), std::string::npos) << "a default time is not written";
    Configuration loaded;
    ASSERT_TRUE(parseProfile(text, "layers.vornik", loaded).ok);
    EXPECT_TRUE(sameTables(loaded, withoutUnsavedState(c)));
    EXPECT_EQ(loaded.pad(1), c.pad(1));
    EXPECT_EQ(textOf(loaded), text);

    // Each of them alone makes version 4; without them the version is what it was.
    const auto versionOf = [](const Configuration& t) { return textOf(t).substr(0, 48); };
    Configuration plain = richConfiguration();
    plain.pad(3) = PadSettings{};
    EXPECT_NE(versionOf(plain).find("\"version\": 1,"), std::string::npos);
    Configuration one = plain;
    one.pad(9).doubleMs = 300;
    EXPECT_NE(versionOf(one).find("\"version\": 4,"), std::string::npos);
    one = plain;
    one.bindingAt(4, kEntryUp, 1, ActivateRelease, 0).BindingKind = BindingMove;
    EXPECT_NE(versionOf(one).find("\"version\": 4,"), std::string::npos);
    one.removeBinding(4, kEntryUp, 1, ActivateRelease, 0);
    EXPECT_NE(versionOf(one).find("\"version\": 1,"), std::string::npos);
}

struct Refusal {
    const char* what;
    std::string from, to; // the base text with the first `from` replaced by `to`
    std::string expected; // in the message, after the file name: the place and the problem
};

class ProfileRefusal : public testing::TestWithParam<Refusal> {};

TEST_P(ProfileRefusal, NamesFilePlaceAndProblemAndChangesNothing) {
    const Refusal& c = GetParam();
    std::string text = kBase;
    const auto at = text.find(c.from);
    ASSERT_NE(at, std::string::npos) << c.from;
    text.replace(at, c.from.size(), c.to);

    Configuration before = richConfiguration();
    before.bindingAt(2, buttonEntry(1), 5, ActivateDouble, 0) = {BindingKeys, 'Z', 0, 0, 1, AutoFireNone, 0};
    before.pad(2).layerNames[4] = "five";
    Configuration config = before;
    const ProfileResult r = parseProfile(text, "my.vornik", config);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message.rfind("Cannot load \"my.vornik\": ", 0), 0u) << r.message;
    EXPECT_NE(r.message.find(c.expected), std::string::npos) << r.message;
    EXPECT_TRUE(sameTables(config, before)) << "FirePhase and stale steps included";
}

std::string manySteps(int n) {
    std::string s;
    for (int i = 0; i < n; ++i)
        s += (i ? ", " : "") + std::string("[65, 0]");
    return s;
}

std::string repeated(const std::string& piece, int n) {
    std::string s;
    for (int i = 0; i < n; ++i)
        s += piece;
    return s;
}

// A whole file of `version` with one binding of joystick 1 entry 5 (its kind and keys `keys`, a key
// binding when empty, and `extra` fields) and one pad record with `pad` fields.
std::string four(int version, const std::string& extra, std::string keys = "", const std::string& pad = "") {
    if (keys.empty())
        keys = R"("kind": 1, "key1": 17, "key2": 0)";
    return R"({"format": "vornik-profile", "version": )" + std::to_string(version) +
           R"(, "keyboard": [], "moves": [], "joysticks": [{"joystick": 1, "entry": 5, )" + keys +
           R"(, "key3": 0, "keyCount": 0, "autoFireMode": 0, "autoFireDelay": 0)" + (extra.empty() ? "" : ", " + extra) +
           R"(}], "pads": [{"joystick": 1)" + (pad.empty() ? "" : ", " + pad) + "}]}";
}

INSTANTIATE_TEST_SUITE_P(
    Classes, ProfileRefusal,
    testing::Values(
        // The file as a whole.
        Refusal{"not JSON", "\"version\": 1,", "\"version\": 1", "not valid JSON: parse error at line 2"},
        Refusal{"bad UTF-8", "波動拳", "\xE6\xB3", "not valid JSON"},
        Refusal{"not an object", kBase, "[1, 2]", "not a profile: expected a JSON object, found array"},
        Refusal{"other format", "vornik-profile", "vornik-keymap", "format: not a profile"},
        Refusal{"no format", "\"format\": \"vornik-profile\",", "", "format: not a profile"},
        Refusal{"newer version", "\"version\": 1", "\"version\": 5",
                "version: the file is of version 5, newer than this program reads (version 4)"},
        // Layers and activators (version 4).
        Refusal{"layer in version 3", kBase, four(3, R"("layer": 2)"),
                "joysticks[0].layer: a version-3 profile has no layers (they came with version 4)"},
        Refusal{"layer 9", kBase, four(4, R"("layer": 9)"), "joysticks[0].layer: 9 is out of range 1..8"},
        Refusal{"unknown activator", kBase, four(4, R"("activator": "longpress")"),
                "joysticks[0].activator: \"longpress\" is not an activator"},
        Refusal{"activator as a number", kBase, four(4, R"("activator": 1)"),
                "joysticks[0].activator: expected \"press\""},
        Refusal{"with itself", kBase, four(4, R"("with": 5)"),
                "joysticks[0].with: an input cannot be pressed together with itself"},
        Refusal{"with and tap", kBase, four(4, R"("with": 6, "activator": "tap")"),
                "joysticks[0].activator: two inputs pressed together fire as they go down"},
        Refusal{"same layer and activator twice", kBase,
                four(4, R"("layer": 2, "activator": "hold"}, {"joystick": 1, "entry": 5, "kind": 0, "key1": 0,
                "key2": 0, "key3": 0, "keyCount": 0, "autoFireMode": 0, "autoFireDelay": 0, "activator": "hold",
                "layer": 2)"),
                "joysticks[1]: joystick 1 entry 5 with the same layer, activator and \"with\" appears twice (also at "
                "joysticks[0])"},
        Refusal{"layer switch to layer 0", kBase, four(4, R"("layer": 1)", R"("kind": 4, "key1": 0, "key2": 1)"),
                "joysticks[0].key1: 0 is out of range 1..8"},
        Refusal{"layer switch of no kind", kBase, four(4, "", R"("kind": 4, "key1": 2, "key2": 5)"),
                "joysticks[0].key2: 5 is out of range 1..4"},
        Refusal{"layer switch in version 3", kBase, four(3, "", R"("kind": 4, "key1": 2, "key2": 1)"),
                "joysticks[0].kind: 4 is out of range 0..3"},
        Refusal{"hold time 99", kBase, four(4, "", "", R"("holdMs": 99)"), "pads[0].holdMs: 99 is out of range 100..2000"},
        Refusal{"double time 1001", kBase, four(4, "", "", R"("doubleMs": 1001)"),
                "pads[0].doubleMs: 1001 is out of range 100..1000"},
        Refusal{"chord time 201", kBase, four(4, "", "", R"("chordMs": 201)"), "pads[0].chordMs: 201 is out of range 10..200"},
        Refusal{"chord time in version 3", kBase, four(3, "", "", R"("chordMs": 20)"),
                "pads[0].chordMs: a version-3 profile has no activator times (they came with version 4)"},
        Refusal{"nine layer names", kBase, four(4, "", "", R"("layerNames": ["a","b","c","d","e","f","g","h","i"])"),
                "pads[0].layerNames: 9 names, more than the 8 layers"},
        Refusal{"a layer name of 41 characters", kBase, four(4, "", "", "\"layerNames\": [\"" + repeated("換", 41) + "\"]"),
                "pads[0].layerNames[0]: a layer's name has at most 40 characters"},
        Refusal{"a layer name not text", kBase, four(4, "", "", R"("layerNames": [2])"),
                "pads[0].layerNames[0]: expected a string, found number"},
        // Pointer bindings and pad settings (version 3).
        Refusal{"pointer binding in version 1", "\"kind\": 1", "\"kind\": 3", "joysticks[0].kind: 3 is out of range 0..2"},
        Refusal{"pads in version 2", "\"version\": 1,", "\"version\": 2, \"pads\": [],",
                "pads: a version-2 profile has no pad settings (they came with version 3)"},
        Refusal{"pointer speed out of range", "\"version\": 1,",
                "\"version\": 3, \"pads\": [{\"joystick\": 1, \"pointerSpeed\": 9000}],",
                "pads[0].pointerSpeed: 9000 is out of range 100..8000"},
        Refusal{"curve out of range", "\"version\": 1,", "\"version\": 3, \"pads\": [{\"joystick\": 2, \"pointerCurve\": 3.5}],",
                "pads[0].pointerCurve: 3.5 is out of range 1.0..3.0"},
        Refusal{"unknown stick mode", "\"version\": 1,", "\"version\": 3, \"pads\": [{\"joystick\": 1, \"leftStick\": \"mouse\"}],",
                "pads[0].leftStick: \"mouse\" is not a stick mode"},
        Refusal{"a pad twice", "\"version\": 1,",
                "\"version\": 3, \"pads\": [{\"joystick\": 4}, {\"joystick\": 4, \"wheelSpeed\": 5}],",
                "pads[1]: joystick 4 appears twice (also at pads[0])"},
        // How keys go out on Windows (version 3).
        Refusal{"Windows keys in version 2", "\"version\": 1,", "\"version\": 2, \"windowsKeys\": {},",
                "windowsKeys: a version-2 profile has no Windows key settings (they came with version 3)"},
        Refusal{"minimum press out of range", "\"version\": 1,",
                "\"version\": 3, \"windowsKeys\": {\"minimumPressMs\": 501},",
                "windowsKeys.minimumPressMs: 501 is out of range 0..500"},
        Refusal{"scan codes only not a boolean", "\"version\": 1,",
                "\"version\": 3, \"windowsKeys\": {\"scanCodesOnly\": 1},",
                "windowsKeys.scanCodesOnly: expected true or false, found number"},
        Refusal{"unknown Windows key field", "\"version\": 1,",
                "\"version\": 3, \"windowsKeys\": {\"scanCodes\": true},",
                "windowsKeys.scanCodes: is not a field of a profile"},
        Refusal{"Windows keys not an object", "\"version\": 1,", "\"version\": 3, \"windowsKeys\": true,",
                "windowsKeys: expected an object, found boolean"},
        // The programs a profile is for.
        Refusal{"programs in version 1", "\"version\": 1,", "\"version\": 1, \"programs\": [\"dosbox\"],",
                "programs: a version-1 profile has no program list"},
        Refusal{"a program with a folder", "\"version\": 1,", "\"version\": 2, \"programs\": [\"bin/dosbox\"],",
                "programs[0]: \"bin/dosbox\" is not a file name"},
        Refusal{"a program twice", "\"version\": 1,", "\"version\": 2, \"programs\": [\"a.exe\", \"a.exe\"],",
                "programs[1]: \"a.exe\" is listed twice"},
        Refusal{"version 0", "\"version\": 1", "\"version\": 0", "version: 0 is not a profile version"},
        Refusal{"version as text", "\"version\": 1", "\"version\": \"1\"", "version: expected an integer"},
        Refusal{"unknown field", "\"version\": 1,", "\"version\": 1, \"extra\": 0,", "extra: is not a field"},
        Refusal{"missing table", kBase,
                R"({"format": "vornik-profile", "version": 1, "keyboard": [], "joysticks": []})", "moves: is missing"},
        Refusal{"table not a list",
                "\"keyboard\": [{\"key\": 65, \"move\": 2, \"autoFireMode\": 1, \"autoFireDelay\": 3}]",
                "\"keyboard\": {\"key\": 65}", "keyboard: expected an array, found object"},
        Refusal{"too deep", "[[40, 0]", repeated("[", 40) + "[40, 0]" + repeated("]", 40),
                "nested more than 16 levels deep"},
        Refusal{"field twice", "\"speed\": 10", "\"speed\": 10, \"speed\": 11",
                "moves[0].speed: the field appears twice"},
        // Keyboard bindings.
        Refusal{"key over 255", "\"key\": 65", "\"key\": 256", "keyboard[0].key: 256 is out of range 0..255"},
        Refusal{"key without entry", "\"key\": 65", "\"key\": 7", "keyboard[0].key: key code 7 is no key"},
        Refusal{"key NONE", "\"key\": 65", "\"key\": 0", "keyboard[0].key: key code 0 is no key"},
        Refusal{"key twice", "\"autoFireDelay\": 3}",
                "\"autoFireDelay\": 3}, {\"key\": 65, \"move\": 0, "
                "\"autoFireMode\": 0, \"autoFireDelay\": 0}",
                "keyboard[1].key: key code 65 appears twice (also at keyboard[0])"},
        Refusal{"move 101", "\"move\": 2", "\"move\": 101", "keyboard[0].move: 101 is out of range 0..100"},
        Refusal{"mode 3", "\"autoFireMode\": 1", "\"autoFireMode\": 3", "keyboard[0].autoFireMode: 3 is out of range"},
        Refusal{"delay 11", "\"autoFireDelay\": 3", "\"autoFireDelay\": 11", "keyboard[0].autoFireDelay: 11 is out"},
        Refusal{"negative", "\"autoFireDelay\": 3", "\"autoFireDelay\": -1", "keyboard[0].autoFireDelay: -1 is out"},
        Refusal{"fraction", "\"move\": 2", "\"move\": 2.0",
                "keyboard[0].move: expected an integer 0..100, found a number"},
        Refusal{"huge", "\"move\": 2", "\"move\": 18446744073709551615", "18446744073709551615 is out of range"},
        Refusal{"null", "\"move\": 2", "\"move\": null", "keyboard[0].move: expected an integer 0..100, found null"},
        Refusal{"missing field", ", \"autoFireDelay\": 3", "", "keyboard[0].autoFireDelay: is missing"},
        // Joystick bindings.
        Refusal{"joystick 0", "\"joystick\": 1", "\"joystick\": 0", "joysticks[0].joystick: 0 is out of range 1..32"},
        Refusal{"joystick 33", "\"joystick\": 1", "\"joystick\": 33", "joysticks[0].joystick: 33 is out"},
        Refusal{"entry 37", "\"entry\": 5", "\"entry\": 37", "joysticks[0].entry: 37 is out of range 1..36"},
        Refusal{"kind 3", "\"kind\": 1", "\"kind\": 3", "joysticks[0].kind: 3 is out of range 0..2"},
        Refusal{"key count 4", "\"keyCount\": 2", "\"keyCount\": 4", "joysticks[0].keyCount: 4 is out of range 0..3"},
        Refusal{"key3 256", "\"key3\": 0", "\"key3\": 256", "joysticks[0].key3: 256 is out of range 0..255"},
        Refusal{"move binding to 101", "\"kind\": 1, \"key1\": 17", "\"kind\": 2, \"key1\": 101",
                "joysticks[0].key1: 101 is out of range 0..100"},
        Refusal{"entry twice", "\"autoFireDelay\": 0}",
                "\"autoFireDelay\": 0}, {\"joystick\": 1, \"entry\": 5, "
                "\"kind\": 0, \"key1\": 0, \"key2\": 0, \"key3\": 0, \"keyCount\": 0, \"autoFireMode\": 0, "
                "\"autoFireDelay\": 0}",
                "joysticks[1]: joystick 1 entry 5 appears twice (also at joysticks[0])"},
        Refusal{"entry not an object", "[{\"joystick\"", "[7, {\"joystick\"",
                "joysticks[0]: expected an object, found number"},
        // Moves.
        Refusal{"move number 0", "\"number\": 2", "\"number\": 0", "moves[0].number: 0 is out of range 1..100"},
        Refusal{"move number 101", "\"number\": 2", "\"number\": 101", "moves[0].number: 101 is out"},
        Refusal{"move twice", "[65, 0]]}",
                "[65, 0]]}, {\"number\": 2, \"name\": \"\", \"speed\": 0, \"repeat\": 0, "
                "\"overlap\": true, \"steps\": []}",
                "moves[1].number: move 2 appears twice (also at moves[0])"},
        Refusal{"speed 101", "\"speed\": 10", "\"speed\": 101", "moves[0].speed: 101 is out of range 0..100"},
        Refusal{"repeat 301", "\"repeat\": 1", "\"repeat\": 301", "moves[0].repeat: 301 is out of range 0..300"},
        Refusal{"overlap as number", "\"overlap\": false", "\"overlap\": 0",
                "moves[0].overlap: expected true or false"},
        Refusal{"101 steps", "[[40, 0], [39, 0], [65, 0]]", "[" + manySteps(101) + "]",
                "moves[0].steps: 101 steps, more than 100"},
        Refusal{"step code 256", "[65, 0]]", "[65, 256]]", "moves[0].steps[2][1]: 256 is out of range 0..255"},
        Refusal{"step not a pair", "[39, 0]", "[39]", "moves[0].steps[1]: expected a pair"},
        Refusal{"step not a list", "[39, 0]", "39", "moves[0].steps[1]: expected an array, found number"},
        Refusal{"name not text", "\"name\": \"波動拳\"", "\"name\": 5", "moves[0].name: expected a string"},
        Refusal{"name of 251 bytes", "波動拳", std::string(251, 'a'),
                "moves[0].name: the name is 251 bytes in Big5, more than 250"},
        Refusal{"name of 126 double-byte characters", "波動拳", repeated("波", 126),
                "moves[0].name: the name is 252 bytes in Big5"},
        Refusal{"name without Big5 form", "波動拳", "波\xF0\x9F\x98\x80",
                "moves[0].name: the name holds a character "
                "that has no Big5 form"},
        Refusal{"name with a line break", "波動拳", "a\\nb", "moves[0].name: the name holds a control character"}),
    [](const testing::TestParamInfo<Refusal>& info) {
        std::string name;
        for (const char* p = info.param.what; *p; ++p)
            name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
        return name;
    });

TEST(ProfileLimits, ThePlainBaseLoads) {
    Configuration c;
    const ProfileResult r = parseProfile(kBase, "base.vornik", c);
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(c.keyBindings[28].MoveNumber, 2) << "code 65 ('A') is the 29th labelled key";
    EXPECT_EQ(c.joystickBindings[1][5].KeyCount, 2);
    EXPECT_EQ(c.moves[2].Name.view(), "\xAA\x69\xB0\xCA\xAE\xB1");
    EXPECT_EQ(c.moves[2].StepCount, 3);
}

TEST(ProfileLimits, AMessageShowsOnlyTheStartOfALongFieldName) {
    std::string text = kBase;
    text.insert(1, "\"" + repeated("波", 1000) + "\": 0, ");
    Configuration c;
    const ProfileResult r = parseProfile(text, "long.vornik", c);
    EXPECT_EQ(r.message, "Cannot load \"long.vornik\": " + repeated("波", 13) + "...: is not a field of a profile");
}

TEST(ProfileLimits, OneMebibyteIsTheMostAProfileMayBe) {
    std::string atLimit = kBase;
    atLimit.resize(kMaxProfileBytes, ' ');
    Configuration c;
    EXPECT_TRUE(parseProfile(atLimit, "big.vornik", c).ok);

    const Configuration before = richConfiguration();
    c = before;
    const ProfileResult r = parseProfile(atLimit + " ", "big.vornik", c);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.message.find("1048577 bytes, more than a profile may be (1 MiB)"), std::string::npos) << r.message;
    EXPECT_TRUE(sameTables(c, before));
}

TEST(ProfileLimits, EveryTruncationIsRefusedCleanly) {
    const std::string text = textOf(richConfiguration());
    const Configuration before = richConfiguration();
    Configuration c = before;
    for (std::size_t n = 0; n < text.size(); ++n) {
        const std::string_view cut(text.data(), n);
        const ProfileResult r = parseProfile(cut, "cut.vornik", c);
        if (text.find_first_not_of(" \n", n) == std::string::npos) { // only the final line break is gone
            EXPECT_TRUE(r.ok) << r.message;
            c = before;
            continue;
        }
        ASSERT_FALSE(r.ok) << "accepted the first " << n << " bytes";
        ASSERT_EQ(r.message.rfind("Cannot load \"cut.vornik\": ", 0), 0u) << r.message;
        ASSERT_TRUE(sameTables(c, before)) << n;
    }
}

TEST(ProfileExtension, IsAddedOnlyWhenMissing) {
    EXPECT_EQ(withProfileExtension("my"), "my.vornik");
    EXPECT_EQ(withProfileExtension("my.vornik"), "my.vornik");
    EXPECT_EQ(withProfileExtension("dir/MY.VORNIK"), "dir/MY.VORNIK");
    EXPECT_EQ(withProfileExtension("dir.vornik/my.txt"), "dir.vornik/my.txt.vornik");
}

// ---------------------------------------------------------------------------------------------

class ProfileFiles : public testing::Test {
protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() / ("vornik-profile-" + std::to_string(::getpid()) + "-" +
                                             testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override {
        std::error_code ec;
        fs::permissions(m_dir, fs::perms::owner_all, ec);
        fs::remove_all(m_dir, ec);
    }
    std::vector<std::string> filesInDir() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(m_dir))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    fs::path m_dir;
};

TEST_F(ProfileFiles, SaveThenLoadGivesTheTablesBack) {
    const Configuration rich = richConfiguration();
    const std::string path = (m_dir / "mine.vornik").string();
    writeFile(path, "an older profile");
    const ProfileResult saved = saveProfile(path, rich);
    ASSERT_TRUE(saved.ok) << saved.message;
    EXPECT_EQ(readFile(path), textOf(rich));
    EXPECT_EQ(filesInDir(), std::vector<std::string>{"mine.vornik"}) << "no temporary file is left";

    Configuration loaded;
    const ProfileResult r = loadProfile(path, loaded);
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_TRUE(sameTables(loaded, withoutUnsavedState(rich)));
}

TEST_F(ProfileFiles, SavingThroughASymbolicLinkWritesItsFileAndKeepsTheLink) {
    fs::create_directories(m_dir / "store");
    const fs::path real = m_dir / "store" / "game.vornik";
    writeFile(real.string(), "an older profile");
    fs::create_symlink(fs::path("store") / "game.vornik", m_dir / "link.vornik");
    const Configuration rich = richConfiguration();
    const ProfileResult saved = saveProfile((m_dir / "link.vornik").string(), rich);
    ASSERT_TRUE(saved.ok) << saved.message;
    EXPECT_TRUE(fs::is_symlink(m_dir / "link.vornik"));
    EXPECT_EQ(readFile(real.string()), textOf(rich));
    EXPECT_EQ(filesInDir(), (std::vector<std::string>{"link.vornik", "store"}));
}

TEST_F(ProfileFiles, LoadRefusesWhatItCannotReadNamingTheFile) {
    const Configuration before = richConfiguration();
    Configuration c = before;

    const std::string missing = (m_dir / "nowhere.vornik").string();
    ProfileResult r = loadProfile(missing, c);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.message.find("\"" + missing + "\": No such file or directory"), std::string::npos) << r.message;

    const std::string huge = (m_dir / "huge.vornik").string();
    writeFile(huge, std::string(kMaxProfileBytes + 10, ' '));
    r = loadProfile(huge, c);
    EXPECT_NE(r.message.find("\"" + huge + "\": the file is larger than a profile may be (1 MiB)"), std::string::npos)
        << r.message;
    // Read in pieces: a file of just the most a profile may be is read whole, one byte more is not.
    std::string atLimit = textOf(before);
    atLimit.resize(kMaxProfileBytes, ' ');
    writeFile(huge, atLimit);
    Configuration loaded;
    EXPECT_TRUE(loadProfile(huge, loaded).ok);
    EXPECT_TRUE(sameTables(loaded, withoutUnsavedState(before)));
    writeFile(huge, atLimit + " ");
    EXPECT_FALSE(loadProfile(huge, loaded).ok);

    r = loadProfile(m_dir.string(), c);
    EXPECT_FALSE(r.ok) << "a folder is no profile";

    const std::string bad = (m_dir / "bad.vornik").string();
    writeFile(bad, kBase.substr(0, 40));
    r = loadProfile(bad, c);
    EXPECT_NE(r.message.find("Cannot load \"" + bad + "\": not valid JSON"), std::string::npos) << r.message;
    EXPECT_TRUE(sameTables(c, before));
}

// Writes through the real calls until told to fail at one step.
class FailingWriter : public ProfileFileWriter {
public:
    enum Failure { None, ShortThenFull, ShortThenNothing, Flush, Replace } failure = None;
    std::size_t chunk = SIZE_MAX; // largest write passed on
    std::size_t written = 0;

    std::size_t write(int fd, const char* data, std::size_t size, std::error_code& error) override {
        if ((failure == ShortThenFull || failure == ShortThenNothing) && written > 0) {
            if (failure == ShortThenFull)
                error = std::make_error_code(std::errc::no_space_on_device);
            return 0;
        }
        // The first write goes only half way: a disk that fills up mid-file.
        const bool shortWrite = failure == ShortThenFull || failure == ShortThenNothing;
        const std::size_t n = shortWrite ? size / 2 : std::min(size, chunk);
        const std::size_t done = ProfileFileWriter::write(fd, data, n, error);
        written += done;
        return done;
    }
    std::error_code flush(int fd) override {
        if (failure == Flush)
            return std::make_error_code(std::errc::io_error);
        return ProfileFileWriter::flush(fd);
    }
    std::error_code replace(const std::string& temp, const std::string& target) override {
        if (failure == Replace)
            return std::make_error_code(std::errc::permission_denied);
        return ProfileFileWriter::replace(temp, target);
    }
};

TEST_F(ProfileFiles, AFailedSaveLeavesTheOldFileByteForByte) {
    const std::string path = (m_dir / "keep.vornik").string();
    const std::string old = "the old profile \x01\x02\xFF, byte for byte";
    const struct {
        FailingWriter::Failure failure;
        const char* reason;
    } cases[] = {
        {FailingWriter::ShortThenFull, "writing failed: No space left on device"},
        {FailingWriter::ShortThenNothing, "writing failed: No space left on device"},
        {FailingWriter::Flush, "flushing to disk failed: Input/output error"},
        {FailingWriter::Replace, "cannot replace the file: Permission denied"},
    };
    for (const auto& c : cases) {
        writeFile(path, old);
        FailingWriter writer;
        writer.failure = c.failure;
        const ProfileResult r = saveProfile(path, richConfiguration(), writer);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.message, "Cannot save \"" + path + "\": " + c.reason);
        EXPECT_EQ(readFile(path), old);
        EXPECT_EQ(filesInDir(), std::vector<std::string>{"keep.vornik"}) << "the temporary file is removed";
    }
}

TEST_F(ProfileFiles, ShortWritesThatMakeProgressStillSaveAll) {
    const std::string path = (m_dir / "slow.vornik").string();
    FailingWriter writer;
    writer.chunk = 7;
    ASSERT_TRUE(saveProfile(path, richConfiguration(), writer).ok);
    EXPECT_EQ(readFile(path), textOf(richConfiguration()));
}

TEST_F(ProfileFiles, TablesThatCannotBeSavedLeaveTheOldFile) {
    const std::string path = (m_dir / "keep.vornik").string();
    writeFile(path, "old");
    Configuration c = richConfiguration();
    c.moves[9].RepeatCount = 301;
    const ProfileResult r = saveProfile(path, c);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.message.find("Cannot save \"" + path + "\": the tables hold what a profile cannot: moves[2].repeat"),
              std::string::npos)
        << r.message;
    EXPECT_EQ(readFile(path), "old");
    EXPECT_EQ(filesInDir(), std::vector<std::string>{"keep.vornik"});
}

TEST_F(ProfileFiles, SavingIntoAMissingFolderNamesIt) {
    const std::string path = (m_dir / "absent" / "x.vornik").string();
    const ProfileResult r = saveProfile(path, richConfiguration());
    EXPECT_EQ(r.message, "Cannot save \"" + path + "\": cannot create a file in \"" + (m_dir / "absent").string() +
                             "\": No such file or directory");
}

#ifndef _WIN32
TEST_F(ProfileFiles, AReadOnlyFolderLeavesTheOldFile) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders; the injected failures above cover this";
    const std::string path = (m_dir / "keep.vornik").string();
    writeFile(path, "old");
    fs::permissions(m_dir, fs::perms::owner_read | fs::perms::owner_exec);
    const ProfileResult r = saveProfile(path, richConfiguration());
    fs::permissions(m_dir, fs::perms::owner_all);
    EXPECT_NE(r.message.find("Permission denied"), std::string::npos) << r.message;
    EXPECT_EQ(readFile(path), "old");
}

// A disk that fills up under the save, as the system reports it: the process may write no more
// bytes into a file than its limit, which root is held to as well.
TEST_F(ProfileFiles, ADiskFullingUpUnderTheSaveLeavesTheOldFileAndSaysWhy) {
    const std::string path = (m_dir / "keep.vornik").string();
    const std::string old(100, 'o');
    writeFile(path, old);
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 200;
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const ProfileResult r = saveProfile(path, richConfiguration());
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, "Cannot save \"" + path + "\": writing failed: " + std::strerror(EFBIG));
    EXPECT_EQ(readFile(path), old);
    EXPECT_EQ(filesInDir(), std::vector<std::string>{"keep.vornik"}) << "the temporary file is removed";
}

TEST_F(ProfileFiles, TheNewFileKeepsTheOldPermissions) {
    const std::string path = (m_dir / "perm.vornik").string();
    writeFile(path, "old");
    ::chmod(path.c_str(), 0640);
    ASSERT_TRUE(saveProfile(path, richConfiguration()).ok);
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}
#endif

} // namespace
} // namespace vornik

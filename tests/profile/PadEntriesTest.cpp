// The right stick's and the triggers' entries 37..42: written as version 3 and only then, back as
// they went, refused in older versions; a profile made before them means what it meant.
#include "Profile.h"
#include "ProfileTestSupport.h"

#include <gtest/gtest.h>

namespace vornik {
namespace {

std::string textOf(const Configuration& c) {
    std::string text;
    const ProfileResult r = profileText(c, text);
    EXPECT_TRUE(r.ok) << r.message;
    return text;
}

TEST(PadEntries, MakeVersionThreeComeBackAndAreRefusedBeforeIt) {
    Configuration c = test::richConfiguration();
    ASSERT_NE(textOf(c).find("\"version\": 1,"), std::string::npos);
    c.joystickBindings[3][kEntryRightLeft] = {BindingKeys, 'J', 0, 0, 1, AutoFireNone, 0};
    c.joystickBindings[3][kEntryRightTrigger] = {BindingKeys, 'E', 17, 0, 2, AutoFireAutomatic, 3};
    c.pad(3).rightDeadZone = 60;
    c.pad(3).triggerThreshold = 5;
    const std::string text = textOf(c);
    EXPECT_NE(text.find("\"version\": 3,"), std::string::npos) << text;
    EXPECT_NE(text.find("{\"joystick\": 3, \"entry\": 39, \"kind\": 1, \"key1\": 74,"), std::string::npos) << text;
    EXPECT_NE(text.find("{\"joystick\": 3, \"entry\": 42, \"kind\": 1,"), std::string::npos) << text;

    Configuration loaded;
    const ProfileResult r = parseProfile(text, "pad.vornik", loaded);
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_TRUE(test::sameTables(loaded, test::withoutUnsavedState(c)));
    EXPECT_EQ(textOf(loaded), text);

    // Only the entries make it version 3: a right-stick binding alone does.
    Configuration alone;
    alone.joystickBindings[1][kEntryLeftTrigger] = {BindingKeys, 'Q', 0, 0, 1};
    EXPECT_NE(textOf(alone).find("\"version\": 3,"), std::string::npos);

    const std::string entry41 = R"({"joystick": 1, "entry": 41, "kind": 1, "key1": 81, "key2": 0, "key3": 0,
                                    "keyCount": 1, "autoFireMode": 0, "autoFireDelay": 0})";
    for (const char* version : {"1", "2"}) {
        const std::string old = std::string(R"({"format": "vornik-profile", "version": )") + version +
                                R"(, "keyboard": [], "moves": [], "joysticks": [)" + entry41 + "]}";
        Configuration kept = c;
        const ProfileResult refused = parseProfile(old, "old.vornik", kept);
        EXPECT_FALSE(refused.ok);
        EXPECT_EQ(refused.message, "Cannot load \"old.vornik\": joysticks[0].entry: 41 is out of range 1..36");
        EXPECT_TRUE(test::sameTables(kept, c)) << "a refused file changes nothing";
    }
    const std::string v3 = R"({"format": "vornik-profile", "version": 3, "keyboard": [], "moves": [], "joysticks": [)" +
                           entry41 + R"(, {"joystick": 1, "entry": 43, "kind": 0, "key1": 0, "key2": 0, "key3": 0,
                           "keyCount": 0, "autoFireMode": 0, "autoFireDelay": 0}]})";
    const ProfileResult past = parseProfile(v3, "new.vornik", loaded);
    EXPECT_NE(past.message.find("joysticks[1].entry: 43 is out of range 1..42"), std::string::npos) << past.message;
}

} // namespace
} // namespace vornik

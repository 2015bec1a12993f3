#include "EngineTestSupport.h"

#include <sstream>

using namespace vornik;
using namespace vornik::test;

namespace {

constexpr uint32_t kTickMs = 10;

// A script: one token per tick, the buttons held during it ("15" buttons 1 and 5, "." none), with
// "*n" for n ticks alike. The result: every key event as "tick:KEY+" or "tick:KEY-", in order.
struct Script {
    const char* what;
    const char* ticks;
    const char* expect;
};

std::ostream& operator<<(std::ostream& os, const Script& s) {
    return os << s.what << ": " << s.ticks;
}

class ScriptFixture : public EngineFixture {
protected:
    void keys(int entry, int layer, int activator, int vk, int with = 0) {
        config->bindingAt(1, entry, layer, activator, with) = {BindingKeys, vk, 0, 0, 1, AutoFireNone, 0};
    }
    void layerSwitch(int button, int how, int layer) {
        config->joystickBindings[1][buttonEntry(button)] = {BindingLayer, layer, how, 0, 0, 0, 0};
    }

    std::string run(const char* script) {
        fake.joysticks.plug(0, 12);
        start();
        targetInFront();
        std::istringstream in(script);
        std::string token;
        std::vector<std::string> ticks;
        while (in >> token) {
            const auto star = token.find('*');
            const int n = star == std::string::npos ? 1 : std::stoi(token.substr(star + 1));
            for (int i = 0; i < n; ++i)
                ticks.push_back(token.substr(0, star));
        }
        std::string out;
        for (std::size_t t = 0; t < ticks.size(); ++t) {
            uint32_t buttons = 0;
            for (char c : ticks[t]) {
                if (c >= '1' && c <= '9')
                    buttons |= 1u << (c - '1');
            }
            fake.joysticks.devices[0].reading.dwButtons = buttons;
            fake.clock.set(static_cast<uint32_t>(t * kTickMs));
            engine->EngineTick();
            for (const KeyEventRecord& e : takeEvents()) {
                out += out.empty() ? "" : " ";
                out += std::to_string(t) + ":" + static_cast<char>(e.vk) +
                       ((e.flags & kKeyEventKeyUp) != 0 ? "-" : "+");
            }
        }
        // Whatever the script did, nothing stays down once everything is let go.
        fake.joysticks.devices[0].reading.dwButtons = 0;
        for (int t = 0; t < 40; ++t) {
            fake.clock.set(static_cast<uint32_t>((ticks.size() + t) * kTickMs));
            engine->EngineTick();
        }
        for (int vk = 0; vk < 256; ++vk)
            EXPECT_FALSE(fake.keyboard.isDown(static_cast<uint8_t>(vk))) << "key " << vk << " left down";
        return out;
    }
};

// Button 1: A, Q on layer 2, E on layer 3. Button 2: S, and D on layer 3 (layer 2 leaves it alone).
// Button 5 holds layer 2, button 6 layer 3; button 7 toggles layer 2, button 8 goes back, button 9
// is a one-shot of layer 3.
class LayerScripts : public ScriptFixture, public testing::WithParamInterface<Script> {};

TEST_P(LayerScripts, KeysFollowTheStack) {
    keys(buttonEntry(1), 1, ActivatePress, 'A');
    keys(buttonEntry(1), 2, ActivatePress, 'Q');
    keys(buttonEntry(1), 3, ActivatePress, 'E');
    keys(buttonEntry(2), 1, ActivatePress, 'S');
    keys(buttonEntry(2), 3, ActivatePress, 'D');
    layerSwitch(5, LayerWhileHeld, 2);
    layerSwitch(6, LayerWhileHeld, 3);
    layerSwitch(7, LayerToggle, 2);
    layerSwitch(8, LayerBack, 0);
    layerSwitch(9, LayerOneShot, 3);
    EXPECT_EQ(run(GetParam().ticks), GetParam().expect);
}

INSTANTIATE_TEST_SUITE_P(
    Switches, LayerScripts,
    testing::Values(
        Script{"a shift changes only the buttons it names", "5 51 5 52 5 . 1 .", "1:Q+ 2:Q- 3:S+ 4:S- 6:A+ 7:A-"},
        Script{"a key held as the shift goes down stays, once", "1 15 5 . 1 .", "0:A+ 2:A- 4:A+ 5:A-"},
        Script{"a key held as the shift goes up stays until its button does", "5 51 1 1 .", "1:Q+ 4:Q-"},
        Script{"two shifts let go in the order they came", "5 56 561 56 5 51 5 . 1 .",
               "2:E+ 3:E- 5:Q+ 6:Q- 8:A+ 9:A-"},
        Script{"two shifts let go in the other order", "5 56 561 56 6 61 6 . 1 .", "2:E+ 3:E- 5:E+ 6:E- 8:A+ 9:A-"},
        Script{"a toggle, pressed again, goes back", "7 . 1 . 7 . 1 .", "2:Q+ 3:Q- 6:A+ 7:A-"},
        Script{"back after a shift over a toggle returns to the toggle's layer, then to 1",
               "7 . 6 61 6 . 1 . 8 . 1 .", "3:E+ 4:E- 6:Q+ 7:Q- 10:A+ 11:A-"},
        Script{"a shift over a toggle let go returns to the toggle's layer", "7 . 5 6 61 . 1 . 7 . 1 .",
               "4:E+ 5:E- 6:Q+ 7:Q- 10:A+ 11:A-"},
        Script{"a one-shot serves the next press only", "9 . 1 . 1 .", "2:E+ 3:E- 4:A+ 5:A-"},
        Script{"a one-shot falls through where its layer has nothing", "9 . 2 . 2 . 1 .", "2:D+ 3:D- 4:S+ 5:S- 6:A+ 7:A-"},
        Script{"a layer change presses nothing", "5 . 7 . 7 . 9 . 8 .", ""}));

// Button 1: tap T, hold H. Button 2: press P, double D. Button 3: tap X, double Y. Button 4: release
// R. Buttons 5 and 6 together: C; alone F and G. Button 7: K and nothing else. Button 8 holds M with
// automatic auto-fire. Times: hold 250 ms, double 250 ms, chord 50 ms; a tick is 10 ms.
class ActivatorScripts : public ScriptFixture, public testing::WithParamInterface<Script> {};

TEST_P(ActivatorScripts, FireAtTheirTimeLimits) {
    keys(buttonEntry(1), 1, ActivateTap, 'T');
    keys(buttonEntry(1), 1, ActivateHold, 'H');
    keys(buttonEntry(2), 1, ActivatePress, 'P');
    keys(buttonEntry(2), 1, ActivateDouble, 'D');
    keys(buttonEntry(3), 1, ActivateTap, 'X');
    keys(buttonEntry(3), 1, ActivateDouble, 'Y');
    keys(buttonEntry(4), 1, ActivateRelease, 'R');
    keys(buttonEntry(5), 1, ActivatePress, 'C', buttonEntry(6));
    keys(buttonEntry(5), 1, ActivatePress, 'F');
    keys(buttonEntry(6), 1, ActivatePress, 'G');
    keys(buttonEntry(7), 1, ActivatePress, 'K');
    config->bindingAt(1, buttonEntry(8), 1, ActivateHold, 0) = {BindingKeys, 'M', 0, 0, 1, AutoFireAutomatic, 0};
    EXPECT_EQ(run(GetParam().ticks), GetParam().expect);
}

INSTANTIATE_TEST_SUITE_P(
    Times, ActivatorScripts,
    testing::Values(
        Script{"a press shorter than the hold time taps", "1*24 . .", "24:T+ 25:T-"},
        Script{"let go as the hold time ends still taps", "1*25 . .", "25:T+ 26:T-"},
        Script{"held one tick longer holds until let go", "1*26 . .", "25:H+ 26:H-"},
        Script{"a press binding fires at both presses, the double at the second", "2 . 2 .",
               "0:P+ 1:P- 2:P+ 2:D+ 3:P- 3:D-"},
        Script{"a second press just inside the double time", "2 .*24 2 .", "0:P+ 1:P- 25:P+ 25:D+ 26:P- 26:D-"},
        Script{"a second press at the double time is a new first", "2 .*25 2 .", "0:P+ 1:P- 26:P+ 27:P-"},
        Script{"a tap beside a double waits the double time", "3 .*30", "26:X+ 27:X-"},
        Script{"a tap beside a double fires no tap when the double comes", "3 . 3 . .*30", "2:Y+ 3:Y-"},
        Script{"a press as the double time ends taps the last one first", "3 .*25 3 .*27", "26:X+ 27:X- 52:X+ 53:X-"},
        Script{"release fires at the release", "4 4 . .", "2:R+ 3:R-"},
        Script{"two buttons together", "5 56 56 .", "1:C+ 3:C-"},
        Script{"two buttons together, the other first", "6 65 .", "1:C+ 2:C-"},
        Script{"together ends as either is let go", "56 6 6 .", "0:C+ 1:C-"},
        Script{"a lone press fires at most the chord time late", "5*8 .", "5:F+ 8:F-"},
        Script{"a lone tap fires as it is let go", "5 . .", "1:F+ 2:F-"},
        Script{"a partner after the chord time is a press of its own", "5*6 56 56 . .", "5:F+ 8:G+ 8:F- 9:G-"},
        Script{"a plain press fires at once", "7 .", "0:K+ 1:K-"},
        Script{"a hold auto-fires from its firing on, a tick each way", "8*29 . .", "25:M+ 26:M- 27:M+ 28:M-"}));

} // namespace

// Pads SDL knows a layout for, read as game controllers: SDL virtual pads attached with the game
// controller type get SDL's standard layout (buttons A B X Y Back Guide Start LS RS LB RB Up Down
// Left Right; axes left X/Y, right X/Y, left and right trigger, a trigger at rest at -32768).
#include <gtest/gtest.h>

#include "SdlJoysticks.h"
#include "VirtualJoystick.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

namespace vornik {
namespace {

using test::VirtualJoystick;
namespace fs = std::filesystem;

constexpr int kStandardButtons = 15;
constexpr int kStandardAxes = 6;

VirtualJoystick::Kind standardPad(const char* name, Uint16 vendor = 0, Uint16 product = 0) {
    return {kStandardButtons, kStandardAxes, 0, name, SDL_JOYSTICK_TYPE_GAMECONTROLLER, vendor, product};
}

std::string label(const JoyCapsRecord& caps, int button) {
    return std::string(padButtonLabel(caps.family, caps.roles[static_cast<std::size_t>(button - 1)]));
}

// A configuration folder of the test's own, so that no user's layouts come in.
class GameControllerTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_folder = fs::temp_directory_path() / ("vornik-pads-" + std::to_string(::getpid()));
        fs::create_directories(m_folder / "vornik");
        ::setenv("XDG_CONFIG_HOME", m_folder.c_str(), 1);
        ::unsetenv("SDL_GAMECONTROLLERCONFIG");
    }
    void TearDown() override { fs::remove_all(m_folder); }
    fs::path m_folder;
};

TEST_F(GameControllerTest, AnXboxStylePadIsReadWholeWithItsButtonsKeepingTheirNumbers) {
    VirtualJoystick pad(standardPad("Standard Pad"));
    pad.setAxis(4, -32768); // the triggers at rest
    pad.setAxis(5, -32768);
    SdlJoysticks joysticks;
    JoyCapsRecord caps;
    ASSERT_EQ(joysticks.getDevCaps(0, caps), 0u);
    EXPECT_EQ(caps.szPname, "Standard Pad");
    EXPECT_EQ(caps.wMaxButtons, 15u);
    EXPECT_EQ(caps.family, PadFamily::Xbox);
    EXPECT_EQ(caps.inputs, uint32_t{PadHasRightStick | PadHasLeftTrigger | PadHasRightTrigger});
    EXPECT_EQ(label(caps, 1), "A");
    EXPECT_EQ(label(caps, 4), "Y");
    EXPECT_EQ(label(caps, 5), "Back");
    EXPECT_EQ(label(caps, 6), "Guide");
    EXPECT_EQ(label(caps, 7), "Start");
    EXPECT_EQ(label(caps, 9), "RS");
    EXPECT_EQ(label(caps, 10), "LB");
    EXPECT_EQ(label(caps, 13), "Down");

    JoyReading r;
    ASSERT_EQ(joysticks.getPosEx(0, r), 0u);
    EXPECT_EQ(r.leftTrigger, 0u);
    EXPECT_EQ(r.rightTrigger, 0u);
    EXPECT_EQ(r.dwPOV, kPovCentred);

    pad.setAxis(2, 32767);  // right stick right
    pad.setAxis(3, -32768); // and up
    pad.setAxis(4, 32767);  // the left trigger all the way
    pad.setAxis(5, 0);      // the right one half way
    pad.setButton(0, true); // A: button 1, as the device numbers it
    ASSERT_EQ(joysticks.getPosEx(0, r), 0u);
    EXPECT_EQ(r.rightX, 65535u);
    EXPECT_EQ(r.rightY, 0u);
    EXPECT_EQ(r.leftTrigger, 65535u);
    EXPECT_NEAR(r.rightTrigger, 32767.0, 200.0);
    EXPECT_EQ(r.dwButtons, 1u);
    EXPECT_EQ(r.dwXpos, 32768u) << "the left stick is read as it always was";

    // The D-pad's buttons count as the hat, and stay buttons too.
    const struct {
        int buttons[2];
        uint32_t pov;
    } dpad[] = {{{11, -1}, 0}, {{14, -1}, 9000}, {{12, 13}, 22500}, {{11, 14}, 4500}, {{-1, -1}, kPovCentred}};
    pad.setButton(0, false);
    for (const auto& d : dpad) {
        for (int b = 11; b <= 14; ++b)
            pad.setButton(b, b == d.buttons[0] || b == d.buttons[1]);
        ASSERT_EQ(joysticks.getPosEx(0, r), 0u);
        EXPECT_EQ(r.dwPOV, d.pov) << d.buttons[0] << "," << d.buttons[1];
        EXPECT_EQ(r.dwButtons != 0, d.buttons[0] >= 0);
    }
}

TEST_F(GameControllerTest, APlayStationPadGetsItsOwnNames) {
    // Sony's vendor id and the DualShock 4's product id.
    VirtualJoystick pad(standardPad("Wireless Controller", 0x054c, 0x09cc));
    SdlJoysticks joysticks;
    JoyCapsRecord caps;
    ASSERT_EQ(joysticks.getDevCaps(0, caps), 0u);
    EXPECT_EQ(caps.family, PadFamily::PlayStation);
    EXPECT_EQ(label(caps, 1), "Cross");
    EXPECT_EQ(label(caps, 2), "Circle");
    EXPECT_EQ(label(caps, 3), "Square");
    EXPECT_EQ(label(caps, 4), "Triangle");
    EXPECT_EQ(label(caps, 5), "Share");
    EXPECT_EQ(label(caps, 6), "PS");
    EXPECT_EQ(label(caps, 7), "Options");
    EXPECT_EQ(label(caps, 10), "L1");
    EXPECT_EQ(label(caps, 11), "R1");
}

TEST_F(GameControllerTest, APadWithoutALayoutIsReadAsBeforeUntilTheFolderGivesItOne) {
    VirtualJoystick::Kind kind{8, 4, 1, "Plain Stick", SDL_JOYSTICK_TYPE_FLIGHT_STICK};
    std::string guid;
    {
        VirtualJoystick plain(kind);
        char text[33];
        SDL_JoystickGetGUIDString(SDL_JoystickGetDeviceGUID(plain.deviceIndex()), text, sizeof text);
        guid = text;
        guid.replace(4, 4, "0000"); // mappings name a device without the CRC of its name
        plain.setAxis(2, 32767);
        plain.setAxis(3, 32767);
        plain.setButton(7, true);
        plain.setHat(SDL_HAT_LEFT);
        SdlJoysticks joysticks;
        JoyCapsRecord caps;
        ASSERT_EQ(joysticks.getDevCaps(0, caps), 0u);
        EXPECT_EQ(caps.family, PadFamily::Unknown);
        EXPECT_EQ(caps.inputs, 0u);
        EXPECT_EQ(label(caps, 1), "");
        JoyReading r;
        ASSERT_EQ(joysticks.getPosEx(0, r), 0u);
        EXPECT_EQ(r.dwButtons, 1u << 7);
        EXPECT_EQ(r.dwPOV, 27000u);
        EXPECT_EQ(r.rightX, kAxisCentre) << "axes 2 and 3 are no right stick without a layout";
        EXPECT_EQ(r.rightY, kAxisCentre);
    }
    // The same kind of pad, with a layout in the configuration folder's gamecontrollerdb.txt.
    std::ofstream(m_folder / "vornik" / "gamecontrollerdb.txt")
        << "# layouts of the user's own\n"
        << guid << ",Plain Stick,a:b1,b:b0,x:b3,y:b2,back:b6,start:b7,leftx:a0,lefty:a1,rightx:a2,righty:a3,"
        << "dpup:h0.1,dpdown:h0.4,dpleft:h0.8,dpright:h0.2,platform:Linux,\n";
    VirtualJoystick plain(kind);
    plain.setAxis(2, 32767);
    SdlJoysticks joysticks;
    JoyCapsRecord caps;
    ASSERT_EQ(joysticks.getDevCaps(0, caps), 0u);
    EXPECT_EQ(caps.family, PadFamily::Xbox);
    EXPECT_EQ(caps.inputs, uint32_t{PadHasRightStick});
    EXPECT_EQ(label(caps, 2), "A");
    EXPECT_EQ(label(caps, 8), "Start");
    JoyReading r;
    ASSERT_EQ(joysticks.getPosEx(0, r), 0u);
    EXPECT_EQ(r.rightX, 65535u);
}

TEST_F(GameControllerTest, APadPluggedInAgainAndAgainKeepsItsLayoutAndSdlMakesNoMoreOfThem) {
    // No maker or product numbers: SDL makes this pad's layout up from its buttons and axes.
    std::optional<VirtualJoystick> pad(std::in_place, standardPad("Replugged Pad"));
    SdlJoysticks joysticks;
    JoyCapsRecord caps;
    ASSERT_EQ(joysticks.getDevCaps(0, caps), 0u);
    const int layouts = SDL_GameControllerNumMappings();
    for (int plug = 1; plug <= 4; ++plug) {
        pad.reset();
        JoyReading r;
        EXPECT_EQ(joysticks.getPosEx(0, r), SdlJoysticks::kErrorUnplugged);
        pad.emplace(standardPad("Replugged Pad"));
        pad->setButton(1, true);
        pad->setAxis(2, 32767);
        ASSERT_EQ(joysticks.getPosEx(0, r), 0u) << "plugged in again, time " << plug;
        EXPECT_EQ(r.dwButtons, 1u << 1);
        EXPECT_EQ(r.rightX, 65535u);
        ASSERT_EQ(joysticks.getDevCaps(0, caps), 0u);
        EXPECT_EQ(label(caps, 2), "B");
    }
    EXPECT_EQ(SDL_GameControllerNumMappings(), layouts) << "SDL kept a new copy of the layout at each plug";
}

} // namespace
} // namespace vornik

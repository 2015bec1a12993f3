// GoogleTest first: the X headers define macros (None, Bool, Status) that clash with it.
#include <gtest/gtest.h>

#include "SdlJoysticks.h"
#include "VirtualJoystick.h"

#include <memory>
#include <thread>

#include <poll.h>

namespace vornik {
namespace {

using test::VirtualJoystick;

TEST(SdlJoysticks, IdsAreDeviceIndicesAtStartUpWithTheirCapabilities) {
    VirtualJoystick pad(12);
    VirtualJoystick big(40);
    SdlJoysticks joysticks;
    ASSERT_TRUE(joysticks.available());

    JoyCapsRecord caps;
    ASSERT_EQ(joysticks.getDevCaps(static_cast<uint32_t>(pad.deviceIndex()), caps), 0u);
    EXPECT_EQ(caps.wXmin, 0u);
    EXPECT_EQ(caps.wXmax, 65535u);
    EXPECT_EQ(caps.wYmin, 0u);
    EXPECT_EQ(caps.wYmax, 65535u);
    EXPECT_EQ(caps.wMaxButtons, 12u);
    ASSERT_EQ(joysticks.getDevCaps(static_cast<uint32_t>(big.deviceIndex()), caps), 0u);
    EXPECT_EQ(caps.wMaxButtons, 32u) << "at most 32 buttons are reported";

    const auto past = static_cast<uint32_t>(joysticks.deviceCount());
    EXPECT_NE(joysticks.getDevCaps(past, caps), 0u);
    JoyReading reading;
    EXPECT_NE(joysticks.getPosEx(past, reading), 0u);
    EXPECT_NE(joysticks.getDevCaps(32, caps), 0u);
    EXPECT_NE(joysticks.getPosEx(1000, reading), 0u);
}

TEST(SdlJoysticks, DevicesAttachedLaterTakeTheNextIdAndAReturningDeviceItsOldOne) {
    VirtualJoystick first(4, 2, 0, "First Pad");
    SdlJoysticks joysticks;
    ASSERT_EQ(joysticks.deviceCount(), 1);
    JoyCapsRecord caps;
    ASSERT_EQ(joysticks.getDevCaps(0, caps), 0u);
    EXPECT_EQ(caps.szPname, "First Pad");
    EXPECT_NE(joysticks.getDevCaps(1, caps), 0u);

    VirtualJoystick late(6, 2, 1, "Late Pad");
    ASSERT_EQ(joysticks.getDevCaps(1, caps), 0u);
    EXPECT_EQ(caps.wMaxButtons, 6u);
    EXPECT_EQ(caps.szPname, "Late Pad");
    late.setButton(5, true);
    JoyReading reading;
    ASSERT_EQ(joysticks.getPosEx(1, reading), 0u);
    EXPECT_EQ(reading.dwButtons, 1u << 5);

    // Unplugged, the first pad's id waits for it: another kind of pad takes the next id instead.
    first.detach();
    VirtualJoystick other(4, 2, 0, "Other Pad");
    EXPECT_NE(joysticks.getDevCaps(0, caps), 0u);
    ASSERT_EQ(joysticks.getDevCaps(2, caps), 0u);
    EXPECT_EQ(caps.szPname, "Other Pad");
    VirtualJoystick firstAgain(4, 2, 0, "First Pad");
    ASSERT_EQ(joysticks.getDevCaps(0, caps), 0u);
    EXPECT_EQ(caps.szPname, "First Pad");
    EXPECT_NE(joysticks.getDevCaps(3, caps), 0u);
    EXPECT_EQ(joysticks.deviceCount(), 3);
}

TEST(SdlJoysticks, TheFirstHatIsReadAsAPointOfViewAngle) {
    const struct {
        Uint8 hat;
        uint32_t pov;
    } positions[] = {{SDL_HAT_UP, 0},
                     {SDL_HAT_RIGHTUP, 4500},
                     {SDL_HAT_RIGHT, 9000},
                     {SDL_HAT_RIGHTDOWN, 13500},
                     {SDL_HAT_DOWN, 18000},
                     {SDL_HAT_LEFTDOWN, 22500},
                     {SDL_HAT_LEFT, 27000},
                     {SDL_HAT_LEFTUP, 31500},
                     {SDL_HAT_CENTERED, kPovCentred}};
    VirtualJoystick noHat(4);
    VirtualJoystick pad(4, 2, 2);
    SdlJoysticks joysticks;
    const auto id = static_cast<uint32_t>(pad.deviceIndex());
    JoyReading reading;
    for (const auto& p : positions) {
        pad.setHat(p.hat);
        reading.dwPOV = 12345;
        ASSERT_EQ(joysticks.getPosEx(id, reading), 0u);
        EXPECT_EQ(reading.dwPOV, p.pov) << "SDL hat " << int(p.hat);
    }
    reading.dwPOV = 0;
    ASSERT_EQ(joysticks.getPosEx(static_cast<uint32_t>(noHat.deviceIndex()), reading), 0u);
    EXPECT_EQ(reading.dwPOV, kPovCentred) << "a joystick without a hat reads centred";
}

TEST(SdlJoysticks, AxesMapOntoTheFullRangeExactly) {
    struct Case {
        Sint16 value;
        uint32_t position;
    };
    const Case cases[] = {{-32768, 0}, {-32767, 1},    {-1, 32767},   {0, 32768},
                          {1, 32769},  {32766, 65534}, {32767, 65535}};
    VirtualJoystick pad(12);
    SdlJoysticks joysticks;
    const auto id = static_cast<uint32_t>(pad.deviceIndex());
    for (const Case& c : cases) {
        pad.setAxis(0, c.value);
        pad.setAxis(1, static_cast<Sint16>(-1 - c.value)); // the mirror image, to tell the axes apart
        JoyReading reading;
        ASSERT_EQ(joysticks.getPosEx(id, reading), 0u);
        EXPECT_EQ(reading.dwXpos, c.position) << "axis value " << c.value;
        EXPECT_EQ(reading.dwYpos, 65535u - c.position) << "axis value " << -1 - c.value;
    }
}

TEST(SdlJoysticks, ButtonsBecomeBitsAndOnlyTheFirst32Count) {
    VirtualJoystick pad(40);
    SdlJoysticks joysticks;
    const auto id = static_cast<uint32_t>(pad.deviceIndex());
    JoyReading reading;
    ASSERT_EQ(joysticks.getPosEx(id, reading), 0u);
    EXPECT_EQ(reading.dwButtons, 0u);

    pad.setButton(0, true);  // button 1
    pad.setButton(2, true);  // button 3
    pad.setButton(31, true); // button 32
    pad.setButton(35, true); // button 36: beyond what the program handles
    ASSERT_EQ(joysticks.getPosEx(id, reading), 0u);
    EXPECT_EQ(reading.dwButtons, (1u << 0) | (1u << 2) | (1u << 31));

    pad.setButton(2, false);
    ASSERT_EQ(joysticks.getPosEx(id, reading), 0u);
    EXPECT_EQ(reading.dwButtons, (1u << 0) | (1u << 31)) << "a reading reflects the state at the time of the read";
}

TEST(SdlJoysticks, DetachedDeviceFailsItsReadsUntilItComesBack) {
    auto pad = std::make_unique<VirtualJoystick>(12);
    SdlJoysticks joysticks;
    const auto id = static_cast<uint32_t>(pad->deviceIndex());
    JoyReading reading;
    ASSERT_EQ(joysticks.getPosEx(id, reading), 0u);

    pad->detach();
    EXPECT_EQ(joysticks.getPosEx(id, reading), SdlJoysticks::kErrorUnplugged);
    EXPECT_EQ(joysticks.getPosEx(id, reading), SdlJoysticks::kErrorUnplugged) << "every read fails while it is gone";
    JoyCapsRecord caps;
    EXPECT_NE(joysticks.getDevCaps(id, caps), 0u);

    // The same kind of device plugged in again is taken up under the old id.
    VirtualJoystick again(12);
    again.setButton(4, true);
    ASSERT_EQ(joysticks.getPosEx(id, reading), 0u);
    EXPECT_EQ(reading.dwButtons, 1u << 4);
}

// A pad plugged in or out is announced on the change descriptor, from whichever thread plugs it, and
// told once to whoever takes it.
TEST(SdlJoysticks, PadsPluggedInOrOutAreAnnouncedOnTheChangeDescriptor) {
    SdlJoysticks joysticks;
    ASSERT_TRUE(joysticks.available());
    const auto readable = [&joysticks] {
        pollfd watch{joysticks.changeDescriptor(), POLLIN, 0};
        return ::poll(&watch, 1, 2000) == 1;
    };
    joysticks.drainChanges();
    EXPECT_FALSE(joysticks.takeDeviceChanges());

    std::unique_ptr<VirtualJoystick> pad;
    std::thread([&pad] { pad = std::make_unique<VirtualJoystick>(4, 2, 0, "Plugged Pad"); }).join();
    ASSERT_TRUE(readable());
    joysticks.drainChanges();
    EXPECT_TRUE(joysticks.deviceChangesWaiting());
    EXPECT_TRUE(joysticks.deviceChangesWaiting()) << "until taken";
    EXPECT_TRUE(joysticks.takeDeviceChanges());
    EXPECT_FALSE(joysticks.takeDeviceChanges()) << "told once";
    JoyCapsRecord caps;
    ASSERT_EQ(joysticks.getDevCaps(0, caps), 0u);
    EXPECT_EQ(caps.szPname, "Plugged Pad");

    pad->detach();
    ASSERT_TRUE(readable());
    joysticks.drainChanges();
    EXPECT_TRUE(joysticks.takeDeviceChanges());
}

} // namespace
} // namespace vornik

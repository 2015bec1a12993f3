// GoogleTest first: the X headers define macros (None, Bool, Status) that clash with it.
#include <gtest/gtest.h>

#include "SdlJoysticks.h"
#include "VirtualJoystick.h"

#include <memory>

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

TEST(SdlJoysticks, DeviceAttachedLaterIsNotSeen) {
    VirtualJoystick first(4);
    SdlJoysticks joysticks;
    VirtualJoystick late(4);
    JoyCapsRecord caps;
    EXPECT_EQ(joysticks.getDevCaps(static_cast<uint32_t>(first.deviceIndex()), caps), 0u);
    EXPECT_NE(joysticks.getDevCaps(static_cast<uint32_t>(late.deviceIndex()), caps), 0u);
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

} // namespace
} // namespace vornik

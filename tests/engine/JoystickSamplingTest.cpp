#include "EngineTestSupport.h"

#include <algorithm>

using namespace vornik;
using namespace vornik::test;
using Events = std::vector<KeyEventRecord>;

TEST(AxisZone, SplitsTheRangeIntoThirdsAndClamps) {
    const struct {
        int32_t min, max, pos;
        int zone;
    } cases[] = {
        {0, 65535, 0, 1},
        {0, 65535, 21844, 1},
        {0, 65535, 21845, 2},
        {0, 65535, 32767, 2},
        {0, 65535, 43689, 2},
        {0, 65535, 43690, 3},
        {0, 65535, 65535, 3},
        {0, 65535, 200000, 3},
        {0, 65535, -1, 1},
        {0, 65535, -21846, 0},
        {100, 400, 50, 1}, // the position is not offset
        {0, 2, 0, 2},
        {0, 2, 2, 2},
        {5, 5, 99, 2},
        {10, 0, 3, 2}, // no usable range
        {INT32_MIN, INT32_MAX, INT32_MAX, 2},
        {INT32_MIN, INT32_MAX, INT32_MIN, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Engine::AxisZone(c.min, c.max, c.pos), c.zone) << c.min << ".." << c.max << " at " << c.pos;
}

class SamplingTest : public EngineFixture {
protected:
    void SetUp() override {
        EngineFixture::SetUp();
        fake.joysticks.plug(0, 12);
        start();
        targetInFront();
        bindKeys(1, kEntryUp, {'W'});
        bindKeys(1, kEntryDown, {'S'});
        bindKeys(1, kEntryLeft, {'A'});
        bindKeys(1, kEntryRight, {'D'});
    }
    void stick(uint32_t x, uint32_t y) {
        fake.joysticks.devices[0].reading.dwXpos = x;
        fake.joysticks.devices[0].reading.dwYpos = y;
        engine->EngineTick();
    }
};

TEST_F(SamplingTest, DirectionsPressOnceAndReleaseWhenCentred) {
    stick(0, 32767);
    stick(0, 32767);
    EXPECT_EQ(takeEvents(), (Events{down(1000, 'A')}));
    stick(32767, 32767);
    stick(32767, 32767);
    EXPECT_EQ(takeEvents(), (Events{up(1000, 'A')}));
    stick(0, 0); // up-left: both entries
    EXPECT_EQ(takeEvents(), (Events{down(1000, 'A'), down(1000, 'W')}));
    stick(32767, 65535); // x centred releases left (and right), y low third presses down
    EXPECT_EQ(takeEvents(), (Events{up(1000, 'A'), down(1000, 'S')}));
}

TEST_F(SamplingTest, AStickJumpingFromLeftToRightHoldsBothUntilCentred) {
    stick(0, 32767);
    stick(65535, 32767);
    EXPECT_TRUE(fake.keyboard.isDown('A'));
    EXPECT_TRUE(fake.keyboard.isDown('D'));
    stick(32767, 32767);
    EXPECT_EQ(takeEvents(), (Events{down(1000, 'A'), down(1000, 'D'), up(1000, 'A'), up(1000, 'D')}));
}

TEST_F(SamplingTest, DirectionsIgnoreTheirAutoFireSettings) {
    entry(1, kEntryLeft).AutoFireMode = AutoFireAutomatic;
    entry(1, kEntryLeft).AutoFireDelay = 1;
    for (int t = 0; t < 4; ++t)
        stick(0, 32767);
    EXPECT_EQ(takeEvents(), (Events{down(1000, 'A')}));
    EXPECT_EQ(engine->fireState(1, kEntryLeft).phase, 0);
    EXPECT_EQ(engine->fireState(1, kEntryLeft).countdown, 0);
}

TEST_F(SamplingTest, OnlyTheReportedNumberOfButtonsIsProcessed) {
    bindKeys(1, buttonEntry(12), {'L'});
    bindKeys(1, buttonEntry(13), {'M'});
    bindKeys(1, buttonEntry(32), {'N'});
    fake.joysticks.devices[0].reading.dwButtons = 0xFFFFFFFFu;
    engine->EngineTick();
    EXPECT_EQ(takeEvents(), (Events{down(1000, 'L')}));
}

TEST_F(SamplingTest, ANarrowAxisReadsCentredAndReleasesItsKeys) {
    stick(0, 32767);
    config->joystickCaps[0].wXmax = 2; // a broken axis range
    stick(0, 32767);
    EXPECT_EQ(takeEvents(), (Events{down(1000, 'A'), up(1000, 'A')}));
}

class LiveViewTest : public EngineFixture {
protected:
    void SetUp() override {
        EngineFixture::SetUp();
        fake.joysticks.plug(0, 4);
        start();
        host.testBox[1] = true;
    }
};

TEST_F(LiveViewTest, ACentredStickAssignsItsPictureOnceAndButtonsOnlyOnChange) {
    for (int t = 0; t < 3; ++t)
        engine->EngineTick();
    EXPECT_EQ(host.directionPictures, (std::vector<std::pair<int, int>>{{1, 0}}));
    EXPECT_EQ(engine->liveViewTags(1).direction, 1);
    ASSERT_EQ(host.buttonPictures.size(), 4u); // each button's released picture, once
    host.buttonPictures.clear();

    fake.joysticks.devices[0].reading.dwButtons = 1u << 2; // button 3
    engine->EngineTick();
    engine->EngineTick();
    fake.joysticks.devices[0].reading.dwButtons = 0;
    engine->EngineTick();
    engine->EngineTick();
    EXPECT_EQ(host.buttonPictures, (std::vector<std::tuple<int, int, bool>>{{1, 3, true}, {1, 3, false}}));
}

TEST_F(LiveViewTest, OffCentreDirectionsAreAssignedEveryTickAndCentreAgainOnce) {
    auto& reading = fake.joysticks.devices[0].reading;
    const struct {
        uint32_t x, y;
        int picture;
    } nine[] = {{0, 0, 5},         {32767, 0, 1}, {65535, 0, 8},     {0, 32767, 3},
                {65535, 32767, 4}, {0, 65535, 6}, {32767, 65535, 2}, {65535, 65535, 7}};
    for (const auto& d : nine) {
        reading.dwXpos = d.x;
        reading.dwYpos = d.y;
        host.directionPictures.clear();
        engine->EngineTick();
        engine->EngineTick();
        EXPECT_EQ(host.directionPictures, (std::vector<std::pair<int, int>>{{1, d.picture}, {1, d.picture}}));
        EXPECT_EQ(engine->liveViewTags(1).direction, 0);
    }
    reading.dwXpos = reading.dwYpos = 32767;
    host.directionPictures.clear();
    engine->EngineTick();
    engine->EngineTick();
    EXPECT_EQ(host.directionPictures, (std::vector<std::pair<int, int>>{{1, 0}}));
}

TEST_F(LiveViewTest, ANegativePositionAssignsNoDirectionPicture) {
    config->joystickCaps[0] = {0, 65535, 0, 65535, 4};
    fake.joysticks.devices[0].reading.dwXpos = static_cast<uint32_t>(-30000);
    engine->EngineTick();
    EXPECT_TRUE(host.directionPictures.empty());
    EXPECT_EQ(engine->liveViewTags(1).direction, 0);
}

// The D-pad (first hat) read as the stick, by the bindings and by the live view alike: each case is
// held for two ticks, then everything is centred again.
TEST_F(SamplingTest, TheDPadCountsAsTheStick) {
    host.testBox[1] = true;
    constexpr uint32_t C = 32767;
    const struct {
        const char* what;
        uint32_t x, y, pov;
        std::vector<uint8_t> pressed; // in the order the engine presses them: X axis first
        int picture;
    } cases[] = {
        {"hat up", C, C, 0, {'W'}, 1},
        {"hat right", C, C, 9000, {'D'}, 4},
        {"hat down", C, C, 18000, {'S'}, 2},
        {"hat left", C, C, 27000, {'A'}, 3},
        {"hat up-right", C, C, 4500, {'D', 'W'}, 8},
        {"hat down-right", C, C, 13500, {'D', 'S'}, 7},
        {"hat down-left", C, C, 22500, {'A', 'S'}, 6},
        {"hat up-left", C, C, 31500, {'A', 'W'}, 5},
        {"an angle between up and up-right counts as up", C, C, 2249, {'W'}, 1},
        {"hat right over the stick held left", 0, C, 9000, {'D'}, 4},
        {"hat down over the stick held up-left", 0, 0, 18000, {'A', 'S'}, 6},
        {"hat left with the stick held up: each keeps its axis", C, 0, 27000, {'A', 'W'}, 5},
        {"no hat: the stick alone", 65535, 0, kPovCentred, {'D', 'W'}, 8},
        {"a hat value past 359 degrees is centred", 0, C, 36000, {'A'}, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto& reading = fake.joysticks.devices[0].reading;
        reading.dwPOV = c.pov;
        host.directionPictures.clear();
        stick(c.x, c.y);
        stick(c.x, c.y);
        Events pressed;
        for (uint8_t vk : c.pressed)
            pressed.push_back(down(1000, vk));
        EXPECT_EQ(takeEvents(), pressed) << "pressed once, then held";
        EXPECT_EQ(host.directionPictures, (std::vector<std::pair<int, int>>{{1, c.picture}, {1, c.picture}}));

        reading.dwPOV = kPovCentred;
        stick(C, C);
        Events released;
        for (uint8_t vk : {'A', 'D', 'W', 'S'}) // left, right, up, down: the engine's release order
            if (std::find(c.pressed.begin(), c.pressed.end(), vk) != c.pressed.end())
                released.push_back(up(1000, vk));
        EXPECT_EQ(takeEvents(), released);
        EXPECT_EQ(host.directionPictures.back(), (std::pair<int, int>{1, 0}));
    }
}

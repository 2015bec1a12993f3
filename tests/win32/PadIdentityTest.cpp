// The Windows backend's pad identity and axis roles, on this machine: the parts of it that take
// what the system says as plain values (XInputSlots, winmmAxes).

#include "WinmmAxes.h"
#include "XInputSlots.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vornik {
namespace {

using Users = XInputSlots::Users;
constexpr uint32_t kXbox360 = 0x045E028E, kXboxOne = 0x045E02EA;
constexpr uint32_t kA = 1, kB = 2, kY = 8;

Users connected(std::initializer_list<int> slots, uint32_t product = 0) {
    Users users{};
    for (int s : slots)
        users[static_cast<std::size_t>(s)] = {true, product, 0};
    return users;
}

// A script of what the system says, step by step, and the slot each joystick is read through after
// it: the faults each catches are in the names.
struct Step {
    std::string what;
    enum Kind { Bind, Press, Release } kind;
    uint32_t id;
    Users users;
    uint32_t winmmButtons = 0; // Press: what winmm reads on joystick id
    std::vector<int> slots;    // after the step: the slot of joystick 0, 1, ...
};

void play(const std::vector<Step>& script) {
    XInputSlots slots;
    for (const Step& step : script) {
        SCOPED_TRACE(step.what);
        switch (step.kind) {
        case Step::Bind:
            slots.bind(step.id, 0, step.users);
            break;
        case Step::Press:
            slots.confirmPress(step.id, step.winmmButtons, step.users);
            break;
        case Step::Release:
            slots.release(step.id);
            break;
        }
        for (std::size_t id = 0; id < step.slots.size(); ++id)
            EXPECT_EQ(slots.user(static_cast<uint32_t>(id)), step.slots[id]) << "joystick " << id;
    }
}

TEST(XInputSlots, TwoXboxPadsTheFirstDropsOutTheSecondKeepsItsSlotAndTheFirstItsLoss) {
    Users oneLeft = connected({1});
    play({
        {"both pads found", Step::Bind, 0, connected({0, 1}), 0, {0, -1}},
        {"", Step::Bind, 1, connected({0, 1}), 0, {0, 1}},
        // The old matching took "the first connected slot" for joystick 0: the second pad.
        {"the first pad's battery goes flat: nothing moves", Step::Press, 1, [&] {
             Users u = oneLeft;
             u[1].faceButtons = kB;
             return u;
         }(), kB, {0, 1}},
        {"winmm drops the first joystick: its slot is free", Step::Release, 0, oneLeft, 0, {-1, 1}},
        {"the first pad back, in its old slot, on its old joystick", Step::Bind, 0, connected({0, 1}), 0, {0, 1}},
    });
}

TEST(XInputSlots, PadsListedInOtherOrdersTradeSlotsOnTheirFirstPress) {
    Users pressB = connected({0, 1});
    pressB[0].faceButtons = kB; // slot 0's pad is the one winmm lists second
    Users pressA = connected({0, 1});
    pressA[1].faceButtons = kA;
    Users both = connected({0, 1});
    both[0].faceButtons = kY;
    both[1].faceButtons = kY;
    Users swappedPress = connected({0, 1});
    swappedPress[1].faceButtons = kB;
    play({
        {"found in order", Step::Bind, 0, connected({0, 1}), 0, {0, -1}},
        {"", Step::Bind, 1, connected({0, 1}), 0, {0, 1}},
        {"both pressed alike: no telling", Step::Press, 0, both, kY, {0, 1}},
        {"a press on no pad XInput reads changes nothing", Step::Press, 0, connected({0, 1}), kA, {0, 1}},
        {"joystick 1's press is slot 0's: they trade", Step::Press, 1, pressB, kB, {1, 0}},
        {"joystick 0's press is its new slot's: settled", Step::Press, 0, pressA, kA, {1, 0}},
        // Wine lists the pads anew when one goes: winmm's joystick 1 is now slot 1's pad.
        {"settled pages never swap again", Step::Press, 1, swappedPress, kB, {1, 0}},
        {"", Step::Press, 0, pressB, kB, {1, 0}},
    });
}

TEST(XInputSlots, AJoystickTakesAFreeSlotOfItsOwnProductAndNoneThatIsTaken) {
    XInputSlots slots;
    Users users = connected({0, 1, 2});
    users[0].product = kXboxOne;
    users[1].product = kXbox360;
    users[2].product = kXbox360;
    EXPECT_EQ(slots.bind(0, kXbox360, users), 1);
    EXPECT_EQ(slots.bind(0, kXboxOne, users), 1) << "bound once";
    EXPECT_EQ(slots.bind(1, kXbox360, users), 2);
    EXPECT_EQ(slots.bind(2, kXbox360, users), 0) << "no slot of its product left: the lowest free one";
    EXPECT_EQ(slots.bind(3, 0, users), -1);
    EXPECT_EQ(slots.bind(40, 0, users), -1);
}

TEST(XInputSlots, AJoystickWhosePadLeftKeepsItsSlotEmptyRatherThanTakeAnother) {
    XInputSlots slots;
    EXPECT_EQ(slots.bind(0, 0, connected({0})), 0);
    // Its pad gone and another's plugged in: still slot 0, which no longer answers.
    EXPECT_EQ(slots.bind(0, 0, connected({1})), 0);
    EXPECT_EQ(slots.bind(1, 0, connected({1})), 1);
    EXPECT_FALSE(slots.confirmPress(0, kA, connected({1})));
    EXPECT_EQ(slots.user(0), 0);
}

WinmmAxisRanges ranges(std::array<bool, 4> present, std::array<uint32_t, 4> rest, uint32_t max = 65535) {
    WinmmAxisRanges r;
    r.present = present;
    r.max = {max, max, max, max};
    r.rest = rest;
    return r;
}

TEST(WinmmAxes, TheRightStickAndTheTriggersByWhereTheAxesRest) {
    constexpr int N = WinmmAxes::kNone, Z = WinmmAxes::Z, R = WinmmAxes::R, U = WinmmAxes::U, V = WinmmAxes::V;
    const uint32_t mid = 32767;
    const struct {
        const char* pad;
        WinmmAxisRanges axes;
        bool xboxStyle;
        WinmmAxes expected;
    } cases[] = {
        {"Z and R centred: the right stick", ranges({true, true, false, false}, {mid, mid, 0, 0}), false, {Z, R, N, N, false}},
        {"Z and R at rest at the bottom: triggers", ranges({true, true, false, false}, {0, 0, 0, 0}), false, {N, N, Z, R, false}},
        {"triggers resting at the top", ranges({true, true, false, false}, {255, 250, 0, 0}, 255), false, {N, N, Z, R, false}},
        {"stick on Z and R, triggers on U and V", ranges({true, true, true, true}, {mid, mid, 0, 0}), false, {Z, R, U, V, false}},
        {"U and V centred beside a stick: no second stick", ranges({true, true, true, true}, {mid, mid, mid, mid}), false, {Z, R, N, N, false}},
        {"Z and R oddly at rest: the stick, as before", ranges({true, true, false, false}, {0, mid, 0, 0}), false, {Z, R, N, N, false}},
        {"U and V oddly at rest: nothing", ranges({false, false, true, true}, {0, 0, 0, mid}), false, {N, N, N, N, false}},
        {"Z alone: nothing", ranges({true, false, false, false}, {0, 0, 0, 0}), false, {N, N, N, N, false}},
        {"an Xbox pad through winmm: triggers share Z, stick on U and R", ranges({true, true, true, false}, {mid, mid, mid, 0}), true, {U, R, N, N, true}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(winmmAxes(c.axes, c.xboxStyle), c.expected) << c.pad;
}

TEST(WinmmAxes, ATriggerReadsFromItsRestWhicheverEndThatIs) {
    EXPECT_EQ(triggerPosition(0, 0, 0, 255), 0u);
    EXPECT_EQ(triggerPosition(255, 0, 0, 255), 65535u);
    EXPECT_EQ(triggerPosition(255, 255, 0, 255), 0u);
    EXPECT_EQ(triggerPosition(0, 255, 0, 255), 65535u);
    EXPECT_EQ(triggerPosition(300, 0, 0, 255), 65535u);
    EXPECT_EQ(triggerPosition(5, 5, 5, 5), 0u);
}

} // namespace
} // namespace vornik

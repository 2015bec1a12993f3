#include "EngineTestSupport.h"

using namespace vornik;
using namespace vornik::test;

class TargetList : public EngineFixture {
protected:
    void SetUp() override {
        EngineFixture::SetUp();
        fake.windows.windows.clear();
        config->targets.OwnApplicationHandle = 0x0001A2B3;
    }
    TargetWindows& targets() { return engine->targets(); }
};

TEST_F(TargetList, ListsVisibleWindowsOnlyUnlessAllProcessesWasAsked) {
    fake.windows.add(1, 10, "Visible");
    fake.windows.add(2, 20, "Hidden", false);
    start();
    EXPECT_EQ(host.items, (std::vector<std::string>{"Visible"}));
    EXPECT_EQ(config->targets.WindowCount, 1);

    start(true);
    EXPECT_EQ(host.items, (std::vector<std::string>{"Visible", "Hidden"}));
    EXPECT_EQ(config->targets.WindowHandles[2], 2u);
    EXPECT_EQ(config->targets.ProcessIds[2], 20u);
}

TEST(TargetListArgument, OnlyTheExactFirstArgumentCounts) {
    const char* exact[] = {"vornik", "/allproc"};
    const char* upper[] = {"vornik", "/ALLPROC"};
    const char* second[] = {"vornik", "profile.vornik", "/allproc"};
    const char* none[] = {"vornik"};
    EXPECT_TRUE(TargetWindows::allProcessesArgument(2, exact));
    EXPECT_FALSE(TargetWindows::allProcessesArgument(2, upper));
    EXPECT_FALSE(TargetWindows::allProcessesArgument(3, second));
    EXPECT_FALSE(TargetWindows::allProcessesArgument(1, none));
}

TEST_F(TargetList, UntitledWindowsAreNamedOnceAndKeepTheirNames) {
    fake.windows.add(1, 10);
    fake.windows.add(2, 20, "Titled");
    fake.windows.add(3, 30);
    start();
    EXPECT_EQ(host.items, (std::vector<std::string>{"Process 0001A2B31", "Titled", "Process 0001A2B32"}));
    EXPECT_EQ(fake.windows.windows[1].title, "Process 0001A2B31");

    targets().RefreshTargetWindows();
    EXPECT_EQ(host.items, (std::vector<std::string>{"Process 0001A2B31", "Titled", "Process 0001A2B32"}));
    EXPECT_EQ(config->targets.UntitledWindowCounter, 2);

    fake.windows.add(4, 40);
    targets().RefreshTargetWindows();
    EXPECT_EQ(host.items.back(), "Process 0001A2B33");
}

TEST_F(TargetList, LongTitlesAreReadToNinetyNineCharacters) {
    fake.windows.add(1, 10, std::string(150, 't'));
    start();
    EXPECT_EQ(host.items.at(0).size(), 99u);
}

TEST_F(TargetList, ChoosingAnItemSetsTheTargetWhichOutlivesARefresh) {
    fake.windows.add(1, 10, "One");
    fake.windows.add(2, 20, "Two");
    start();
    targets().chooseTarget(1);
    EXPECT_EQ(config->targets.TargetProcessId, 20u);
    targets().RefreshTargetWindows();
    EXPECT_EQ(config->targets.TargetProcessId, 20u);
    EXPECT_EQ(host.selectedItem, -1);
    targets().chooseTarget(-1); // nothing chosen
    targets().chooseTarget(2);  // past the list
    EXPECT_EQ(config->targets.TargetProcessId, 20u);
}

TEST_F(TargetList, OnlyTheFirst300WindowsAreRecordedButAllAreListed) {
    for (WindowHandle h = 1; h <= 305; ++h)
        fake.windows.add(h, static_cast<uint32_t>(1000 + h), "w" + std::to_string(h));
    start();
    EXPECT_EQ(config->targets.WindowCount, 305);
    EXPECT_EQ(host.items.size(), 305u);
    EXPECT_EQ(config->targets.WindowHandles[300], 300u);

    targets().chooseTarget(299);
    EXPECT_EQ(config->targets.TargetProcessId, 1300u);
    targets().chooseTarget(303); // no recorded entry: ignored, the target stays
    EXPECT_EQ(config->targets.TargetProcessId, 1300u);

    targets().SelectForegroundTarget(303); // past the recorded entries: no match
    EXPECT_EQ(host.selectedItem, -1);
    targets().SelectForegroundTarget(5);
    EXPECT_EQ(host.selectedItem, 4);
    EXPECT_EQ(config->targets.TargetProcessId, 1005u);
}

TEST_F(TargetList, AnyWindowOfTheTargetProcessCountsAsInFront) {
    fake.windows.add(1, 10, "Main");
    fake.windows.add(2, 10, "Tool window");
    fake.windows.add(3, 30, "Other");
    start();
    targets().chooseTarget(0);
    fake.windows.foreground = 2;
    EXPECT_TRUE(targets().targetInFront());
    fake.windows.foreground = 3;
    EXPECT_FALSE(targets().targetInFront());
}

// A target above the program's level of trust hears none of its keys: the host is told once for that
// process, however it is chosen again (from the list, or CTRL+J held over many ticks); a plain one never.
TEST_F(TargetList, AnElevatedTargetIsToldOnceAndAPlainOneNever) {
    fake.windows.add(1, 10, "Admin tool");
    fake.windows.add(2, 20, "Game");
    fake.windows.elevated.insert(10);
    start();
    targets().chooseTarget(1);
    EXPECT_TRUE(host.outOfReach.empty());

    targets().chooseTarget(0);
    EXPECT_EQ(host.outOfReach, std::vector<uint32_t>{10});
    targets().chooseTarget(1);
    targets().chooseTarget(0);
    fake.windows.foreground = 1;
    fake.keyboard.hold(0x11); // CTRL+J, held
    fake.keyboard.hold(0x4A);
    for (int tick = 0; tick < 5; ++tick)
        engine->EngineTick();
    EXPECT_EQ(config->targets.TargetProcessId, 10u);
    EXPECT_EQ(host.outOfReach, std::vector<uint32_t>{10});
}

// A window that does not tell its owner can never count as in front: choosing it, from the list or with
// CTRL+J, says so, once (CTRL+J on it used to do nothing, without a word).
TEST_F(TargetList, AWindowWithoutAnOwnerIsNamedOnceWhicheverWayItIsChosen) {
    fake.windows.add(1, 0, "No owner");
    fake.windows.add(2, 20, "Game");
    start();
    fake.windows.foreground = 1;
    fake.keyboard.hold(0x11); // CTRL+J, held
    fake.keyboard.hold(0x4A);
    for (int tick = 0; tick < 3; ++tick)
        engine->EngineTick();
    EXPECT_EQ(host.withoutOwner, std::vector<std::string>{"No owner"});
    targets().chooseTarget(0);
    targets().chooseTarget(1);
    EXPECT_EQ(host.withoutOwner, std::vector<std::string>{"No owner"});
    EXPECT_EQ(config->targets.TargetProcessId, 20u);
}

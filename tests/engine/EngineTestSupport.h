#pragma once

#include "Engine.h"
#include "FakePlatform.h"
#include "KeyLabels.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vornik::test {

// The main window as the engine sees it: plain fields the test sets, and a record of every call.
struct RecordingHost : EngineHost {
    bool visible = true;
    std::array<bool, 33> testBox{};
    std::array<bool, 33> stopBox{};
    bool keyboardStop = false;
    std::deque<Answer> answers; // next answers to the connection-error box; Ok when empty
    std::function<void()> onAsk; // runs as the connection-error box comes up

    std::vector<std::pair<int, int>> directionPictures; // (joystick, picture)
    std::vector<std::tuple<int, int, bool>> buttonPictures;
    std::vector<std::pair<int, int>> rightStickPictures; // (joystick, picture)
    std::vector<std::tuple<int, int, bool>> triggerPictures;
    std::vector<int> attached; // joysticks announced after start-up
    std::vector<std::string> items;
    int selectedItem = -1;
    int errorBoxes = 0;
    int endCalls = 0;
    std::vector<uint32_t> outOfReach; // processes the host was told no key can reach

    bool mainWindowVisible() override { return visible; }
    bool testBoxTicked(int t) override { return testBox[static_cast<std::size_t>(t)]; }
    bool stopBoxTicked(int t) override { return stopBox[static_cast<std::size_t>(t)]; }
    bool keyboardStopBoxTicked() override { return keyboardStop; }
    void showDirectionPicture(int t, int picture) override { directionPictures.emplace_back(t, picture); }
    void showButtonPicture(int t, int b, bool pressed) override { buttonPictures.emplace_back(t, b, pressed); }
    void showRightStickPicture(int t, int picture) override { rightStickPictures.emplace_back(t, picture); }
    void showTriggerPicture(int t, int trigger, bool pressed) override {
        triggerPictures.emplace_back(t, trigger, pressed);
    }
    void joystickAttached(int t) override { attached.push_back(t); }
    void clearTargetItems() override {
        items.clear();
        selectedItem = -1;
    }
    void addTargetItem(const std::string& title) override { items.push_back(title); }
    void selectTargetItem(int index) override { selectedItem = index; }
    Answer askConnectionError(const std::string& text) override;
    void endProgram() override { ++endCalls; }
    void targetOutOfReach(uint32_t pid) override { outOfReach.push_back(pid); }
    std::vector<std::string> withoutOwner; // titles of chosen windows whose owner cannot be told
    void targetWithoutOwner(const std::string& title) override { withoutOwner.push_back(title); }
};

// A started program on the fake platform: named keys built, joysticks detected, target in front.
class EngineFixture : public ::testing::Test {
protected:
    static constexpr WindowHandle kTargetWindow = 0x100;
    static constexpr uint32_t kTargetPid = 4242;
    static constexpr WindowHandle kOtherWindow = 0x200;

    FakePlatform fake;
    std::unique_ptr<Configuration> config = std::make_unique<Configuration>();
    RecordingHost host;
    std::unique_ptr<Engine> engine;

    void SetUp() override;
    // Detects joysticks and refreshes the target list; call after plugging joysticks.
    void start(bool allProcesses = false);
    void targetInFront();
    void otherInFront() { fake.windows.foreground = kOtherWindow; }

    JoystickBinding& entry(int joystick, int e) { return config->joystickBindings[joystick][e]; }
    void bindKeys(int joystick, int e, std::initializer_list<int> keys, int mode = 0, int delay = 0);
    // A move in slot n from a list of (key, chord) steps.
    Move& makeMove(int n, std::initializer_list<MoveStep> steps, int speed = 0, int repeat = 1, bool overlap = false);
    // The keyboard binding entry of a key code.
    KeyBinding& keyBinding(int code);

    std::vector<KeyEventRecord> takeEvents();
    // Steps the moves as the scheduler does, each at its due time on the fake clock (the clock's
    // onSleep runs at each), until none plays or `until` has come.
    void runMoves(uint32_t until = UINT32_MAX);
    // A tick, and the moves it started played to their end before the next.
    void tickAndPlay() {
        engine->EngineTick();
        runMoves();
    }
};

KeyEventRecord down(uint32_t time, uint8_t vk);
KeyEventRecord up(uint32_t time, uint8_t vk);

} // namespace vornik::test

#pragma once

#include "EngineHost.h"

namespace vornik {

// A host for running the engine with no window: shown, no box ticked, pictures, new joysticks and
// combo items dropped, the connection-error box answered OK. Benchmarks and tests derive from it.
struct HeadlessHost : EngineHost {
    bool mainWindowVisible() override { return true; }
    bool testBoxTicked(int) override { return false; }
    bool stopBoxTicked(int) override { return false; }
    bool keyboardStopBoxTicked() override { return false; }
    void showDirectionPicture(int, int) override {}
    void showButtonPicture(int, int, bool) override {}
    void joystickAttached(int) override {}
    void clearTargetItems() override {}
    void addTargetItem(const std::string&) override {}
    void selectTargetItem(int) override {}
    Answer askConnectionError(const std::string&) override { return Answer::Ok; }
    void endProgram() override {}
};

} // namespace vornik

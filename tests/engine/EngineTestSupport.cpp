#include "EngineTestSupport.h"

namespace vornik::test {

EngineHost::Answer RecordingHost::askConnectionError(const std::string& text) {
    EXPECT_EQ(text, "JoyStick connection error !\rPress [Yes] to try again...");
    ++errorBoxes;
    if (onAsk)
        onAsk();
    if (answers.empty())
        return Answer::Ok;
    const Answer a = answers.front();
    answers.pop_front();
    return a;
}

void EngineFixture::SetUp() {
    buildNamedKeyList(config->namedKeys);
    fake.windows.add(kTargetWindow, kTargetPid, "Target game");
    fake.windows.add(kOtherWindow, 77, "Editor");
    fake.clock.set(1000);
}

void EngineFixture::start(bool allProcesses) {
    engine = std::make_unique<Engine>(*config, fake.platform, host, allProcesses);
    engine->detectJoysticks();
    engine->targets().RefreshTargetWindows();
}

void EngineFixture::targetInFront() {
    fake.windows.foreground = kTargetWindow;
    config->targets.TargetProcessId = kTargetPid;
}

void EngineFixture::bindKeys(int joystick, int e, std::initializer_list<int> keys, int mode, int delay) {
    JoystickBinding& b = entry(joystick, e);
    b.BindingKind = BindingKeys;
    int32_t* slots[3] = {&b.Key1, &b.Key2, &b.Key3};
    int i = 0;
    for (int k : keys)
        *slots[i++] = k;
    b.KeyCount = i;
    b.AutoFireMode = mode;
    b.AutoFireDelay = delay;
}

Move& EngineFixture::makeMove(int n, std::initializer_list<MoveStep> steps, int speed, int repeat, bool overlap) {
    Move& m = config->moves[n];
    m.StepCount = 0;
    for (const MoveStep& s : steps)
        m.Steps[++m.StepCount] = s;
    m.Speed = speed;
    m.RepeatCount = repeat;
    m.Overlap = overlap ? 1 : 0;
    return m;
}

KeyBinding& EngineFixture::keyBinding(int code) {
    for (int p = 2; p <= config->namedKeys.Count; ++p) {
        if (config->namedKeys.Codes[p] == code)
            return config->keyBindings[static_cast<std::size_t>(p - 2)];
    }
    throw std::runtime_error("no keyboard binding for code " + std::to_string(code));
}

void EngineFixture::runMoves(uint32_t until) {
    while (const std::optional<uint32_t> due = engine->moveDueIn()) {
        if (fake.clock.tickCount() + *due > until)
            break;
        fake.clock.sleep(*due);
        engine->MoveStep();
    }
}

std::vector<KeyEventRecord> EngineFixture::takeEvents() {
    std::vector<KeyEventRecord> events;
    events.swap(fake.keyboard.events);
    return events;
}

KeyEventRecord down(uint32_t time, uint8_t vk) {
    return {time, vk, kKeyEventExtendedKey};
}
KeyEventRecord up(uint32_t time, uint8_t vk) {
    return {time, vk, kKeyEventKeyUp};
}

} // namespace vornik::test

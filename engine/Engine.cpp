// The engine tick turns joystick and keyboard input into synthesized key events. One tick:
//   1. returns at once while the main window's visibility property is false;
//   2. hot key CTRL+J: rebuilds the target list and makes the program in front the target;
//   3. live view of every joystick page whose "啟動測試" box is ticked;
//   4. foreground test: is a window of the target process in front? If not, every key the program
//      holds is let go, so nothing it pressed for the target goes on into another program;
//   5. if so, the bindings of every joystick whose "停止作用" box is not ticked;
//   6. if so, and the keyboard page's "停止作用" box is not ticked, the keyboard bindings;
//   7. where the keys go, for the window to show (TargetStatus).
// Each step reports whether it needs the next tick; when none does, the program is at rest (see
// idle()), which lets the scheduler rest until an input changes. A move checks before each
// of its steps that the target is still in front; once it is not, nothing more goes out this tick.
// Between ticks, a joystick change that matters runs InputTick at once (steps 1, 3 and 4, and of
// step 5 only the key chords that follow an input's state), so a press does not wait for the tick.
// Before step 2, at most once a second, a joystick attached since start-up is given the next
// number and a page. Steps 3 and 5 stop at the first absent joystick. The tick keeps no copy of
// earlier input: what carries over is the auto-fire state in the binding table, the live-view tags
// and the system's own key state.

#include "Engine.h"

#include <algorithm>

namespace vornik {

const char* const kConnectionErrorText = "JoyStick connection error !\rPress [Yes] to try again...";

namespace {
constexpr int kVkControl = 0x11;
constexpr int kVkJ = 0x4A;

constexpr uint32_t kAttachCheckInterval = 1000; // ms between two looks for an attached joystick
constexpr uint32_t kMaxMotionStep = 50;         // ms: a late motion step moves no more than this

// Live-view picture by (Y zone, X zone), zones 1..3: mimg0..mimg8.
constexpr int kDirectionPicture[3][3] = {{5, 1, 8}, {3, 0, 4}, {6, 2, 7}};

// The hat's zone per axis, 0 where it leaves the axis centred. Eight sectors of 45 degrees, each
// centred on its direction, so a hat that reports any angle between two directions counts too.
StickZones hatZones(uint32_t pov) {
    if (pov >= 36000)
        return {0, 0};
    // up, up-right, right, down-right, down, down-left, left, up-left
    constexpr StickZones kSectors[8] = {{0, 1}, {3, 1}, {3, 0}, {3, 3}, {0, 3}, {1, 3}, {1, 0}, {1, 1}};
    return kSectors[((pov + 2250) / 4500) % 8];
}
} // namespace

Engine::Engine(Configuration& config, const Platform& platform, EngineHost& host, bool allProcesses)
    : m_config(config), m_platform(platform), m_host(host), m_held(platform.output),
      m_player(config.moves, m_held, platform.clock, &m_stop, [this] { return mayType(); }),
      m_output(m_held, platform.keyboard, platform.clock, m_player),
      m_targets(config.targets, platform.windows, host, allProcesses), m_status(config, platform, host) {}

int Engine::AxisZone(int32_t minimum, int32_t maximum, int32_t position) {
    const int64_t range = static_cast<int64_t>(maximum) - minimum;
    if (range < 3)
        return 2; // no usable range: read as centred so held direction keys are released
    const int64_t third = range / 3;
    const int64_t zone = position / third + 1;
    return static_cast<int>(std::clamp<int64_t>(zone, 0, 3));
}

StickZones Engine::stickZones(const JoystickCaps& caps, const JoyReading& reading, bool withStick) {
    StickZones zones;
    if (withStick)
        zones = {AxisZone(static_cast<int32_t>(caps.wXmin), static_cast<int32_t>(caps.wXmax),
                          static_cast<int32_t>(reading.dwXpos)),
                 AxisZone(static_cast<int32_t>(caps.wYmin), static_cast<int32_t>(caps.wYmax),
                          static_cast<int32_t>(reading.dwYpos))};
    const StickZones hat = hatZones(reading.dwPOV);
    if (hat.x != 0)
        zones.x = hat.x;
    if (hat.y != 0)
        zones.y = hat.y;
    return zones;
}

StickVector Engine::stickVector(const JoystickCaps& caps, const JoyReading& reading) {
    const auto axis = [](uint32_t minimum, uint32_t maximum, uint32_t position) {
        const double half = (static_cast<double>(maximum) - minimum) / 2.0;
        if (half < 1.0)
            return 0.0;
        return std::clamp((static_cast<double>(position) - minimum - half) / half, -1.0, 1.0);
    };
    return {axis(caps.wXmin, caps.wXmax, reading.dwXpos), axis(caps.wYmin, caps.wYmax, reading.dwYpos)};
}

StickZones Engine::bindingZones(int joystick, const JoyReading& reading) const {
    return stickZones(m_config.caps(joystick), reading, m_config.pad(joystick).leftStick == StickMode::Keys);
}

bool Engine::stickDeflected(int joystick, const JoyReading& reading) const {
    const PadSettings& pad = m_config.pad(joystick);
    return pad.leftStick != StickMode::Keys &&
           deflection(stickVector(m_config.caps(joystick), reading), pad.leftDeadZone).r > 0;
}

// Presence flag, capabilities and name of system id `id` from a capability query; true when it answered.
bool Engine::queryCaps(int id) {
    JoyCapsRecord caps;
    const bool ok = m_platform.joysticks.getDevCaps(static_cast<uint32_t>(id), caps) == 0;
    const auto i = static_cast<std::size_t>(id);
    m_config.joystickPresent[i] = ok ? 1 : 0;
    m_config.joystickCaps[i] =
        ok ? JoystickCaps{caps.wXmin, caps.wXmax, caps.wYmin, caps.wYmax, caps.wMaxButtons} : JoystickCaps{};
    m_config.joystickNames[i] = ok ? caps.szPname : std::string();
    return ok;
}

void Engine::detectJoysticks() {
    for (int id = 0; id < kMaxJoysticks; ++id)
        queryCaps(id);
    m_lastAttachCheck = m_platform.clock.tickCount();
}

void Engine::detectAttachedJoysticks() {
    // Asking the system about a joystick that is not there can take long, hence once a second.
    const uint32_t now = m_platform.clock.tickCount();
    if (now - m_lastAttachCheck < kAttachCheckInterval)
        return;
    m_lastAttachCheck = now;
    int next = 1;
    while (next <= kMaxJoysticks && m_config.present(next))
        ++next;
    // Joysticks found at start-up after a gap had no page; they are asked again as the gap closes,
    // and the first that does not answer ends the pages again.
    for (int t = next; t <= kMaxJoysticks && queryCaps(t - 1); ++t)
        m_host.joystickAttached(t);
}

void Engine::releaseHeldKeys() {
    m_held.releaseAll();
    // Wheel bindings start afresh too: one still held turns a notch again, as a key presses again.
    m_wheelHeld.fill(0);
}

bool Engine::mayType() {
    if (!m_targetLeft && !m_targets.targetInFront())
        m_targetLeft = true;
    // A move a pad's binding plays stops with the pad: pulled out, it types nothing more, and the read
    // that fails next lets go and asks about it.
    if (!m_targetLeft && !m_movePadLost && m_bindingsOf != 0) {
        JoyReading reading;
        m_movePadLost = m_platform.joysticks.getPosEx(static_cast<uint32_t>(m_bindingsOf - 1), reading) != 0;
    }
    return !m_targetLeft && !m_movePadLost;
}

void Engine::requestStop() noexcept {
    m_stop.store(true, std::memory_order_relaxed);
    m_platform.clock.interruptSleeps();
}

bool Engine::readJoystick(int joystick, JoyReading& reading) {
    if (m_platform.joysticks.getPosEx(static_cast<uint32_t>(joystick - 1), reading) == 0) {
        m_tickReadings[static_cast<std::size_t>(joystick - 1)] = reading;
        m_tickReadMask |= 1u << (joystick - 1);
        return true;
    }
    // The box may stay up for minutes, and no tick runs meanwhile to release anything.
    releaseHeldKeys();
    if (m_host.askConnectionError(kConnectionErrorText) != EngineHost::Answer::Ok) {
        m_ending = true;
        m_host.endProgram();
    }
    return false;
}

static int buttonsProcessed(const JoystickCaps& caps) {
    return static_cast<int>(std::min<uint32_t>(caps.wMaxButtons, 32));
}

void Engine::UpdateLiveView(int joystick) {
    JoyReading r;
    if (!readJoystick(joystick, r))
        return;
    const JoystickCaps& caps = m_config.caps(joystick);
    const auto [x, y] = stickZones(caps, r);
    LiveViewTags& tags = liveViewTags(joystick);
    if (x == 2 && y == 2) {
        if (tags.direction == 0) {
            m_host.showDirectionPicture(joystick, 0);
            tags.direction = 1;
        }
    } else {
        if (x != 0 && y != 0)
            m_host.showDirectionPicture(joystick, kDirectionPicture[y - 1][x - 1]);
        tags.direction = 0;
    }
    const int buttons = buttonsProcessed(caps);
    for (int b = 1; b <= buttons; ++b) {
        const bool held = (r.dwButtons >> (b - 1)) & 1u;
        int& tag = tags.buttons[static_cast<std::size_t>(b - 1)];
        if (held && tag != 2) {
            m_host.showButtonPicture(joystick, b, true);
            tag = 2;
        } else if (!held && tag != 1) {
            m_host.showButtonPicture(joystick, b, false);
            tag = 1;
        }
    }
}

void Engine::RunJoystickBindings(int joystick) {
    runBindings(joystick, false);
}

// `keysOnly`: only bindings to keys, and of buttons only those without auto-fire (InputTick). True
// when a button fires on its own, so the next tick has work whatever the input does.
bool Engine::runBindings(int joystick, bool keysOnly) {
    JoyReading r;
    if (!readJoystick(joystick, r))
        return true;
    m_bindingsOf = joystick;
    const struct Done {
        int& of;
        ~Done() { of = 0; }
    } done{m_bindingsOf};
    const JoystickCaps& caps = m_config.caps(joystick);
    JoystickBlock& block = m_config.joystickBindings[joystick];
    const auto send = [&](int entry, int action) {
        const JoystickBinding& binding = block[entry];
        if (keysOnly && binding.BindingKind != BindingKeys && binding.BindingKind != BindingPointer)
            return;
        if (binding.BindingKind == BindingPointer && isWheelTarget(binding.Key1) && binding.AutoFireMode == AutoFireNone)
            wheelBinding(joystick, entry, action == ActionPress);
        else
            m_output.SendBinding(binding, action);
    };
    const auto [x, y] = bindingZones(joystick, r);
    if (x == 1) {
        send(kEntryLeft, ActionPress);
    } else if (x == 2) {
        send(kEntryLeft, ActionRelease);
        send(kEntryRight, ActionRelease);
    } else if (x == 3) {
        send(kEntryRight, ActionPress);
    }
    if (y == 1) {
        send(kEntryUp, ActionPress);
    } else if (y == 2) {
        send(kEntryUp, ActionRelease);
        send(kEntryDown, ActionRelease);
    } else if (y == 3) {
        send(kEntryDown, ActionPress);
    }
    bool firesOnItsOwn = false;
    const int buttons = buttonsProcessed(caps);
    for (int b = 1; b <= buttons && typing(); ++b) {
        const bool held = ((r.dwButtons >> (b - 1)) & 1u) != 0;
        JoystickBinding& binding = block[buttonEntry(b)];
        if (binding.AutoFireMode == AutoFireNone)
            send(buttonEntry(b), held ? ActionPress : ActionRelease); // AutoFireStep without auto-fire
        else if (!keysOnly)
            firesOnItsOwn |= m_output.AutoFireStep(binding, held);
    }
    if (stickDeflected(joystick, r) || m_wheelHeld[static_cast<std::size_t>(joystick - 1)] != 0)
        m_motionPads |= 1u << (joystick - 1);
    return firesOnItsOwn;
}

bool Engine::joystickInputChanged() {
    bool changed = false;
    for (int t = 1; t <= kMaxJoysticks && m_config.present(t); ++t) {
        JoyReading r;
        SeenInput now;
        // A failed read counts as a change: the tick that follows reads again and asks about it.
        if (m_platform.joysticks.getPosEx(static_cast<uint32_t>(t - 1), r) == 0)
            now = SeenInput{r.dwButtons, bindingZones(t, r), stickDeflected(t, r), true};
        SeenInput& seen = m_seen[static_cast<std::size_t>(t - 1)];
        if (!(now == seen) || !now.read)
            changed = true;
        seen = now;
    }
    return changed;
}

// Live view, foreground test and joystick bindings: what both kinds of tick do. When the target is
// not in front, every key the program holds has been let go.
Engine::StepReport Engine::joystickSteps(bool keysOnly) {
    StepReport report;
    m_targetLeft = false;
    m_movePadLost = false;
    const bool wasMoving = m_motionPads != 0;
    m_motionPads = 0;
    for (int t = 1; t <= kMaxJoysticks && m_config.present(t) && !m_ending; ++t) {
        if (m_host.testBoxTicked(t))
            UpdateLiveView(t);
    }
    m_inFront = m_targets.targetInFront();
    if (!m_inFront) {
        releaseHeldKeys();
        return report;
    }
    report.inFront = true;
    for (int t = 1; t <= kMaxJoysticks && m_config.present(t) && typing(); ++t) {
        if (!m_host.stopBoxTicked(t))
            report.needsNextTick |= runBindings(t, keysOnly);
    }
    // Motion that starts now is counted from now.
    if (!wasMoving && m_motionPads != 0)
        m_lastMotion = m_platform.clock.tickCount();
    return report;
}

// Whether joystick t is away from rest in this tick's reading (read now if the tick has not): its
// stick or D-pad off centre, a button held, or no reading at all (the ticks have to ask about it).
bool Engine::joystickAwayFromRest(int joystick) {
    const auto i = static_cast<std::size_t>(joystick - 1);
    JoyReading r = m_tickReadings[i];
    if ((m_tickReadMask & (1u << i)) == 0 && m_platform.joysticks.getPosEx(static_cast<uint32_t>(i), r) != 0)
        return true;
    const int buttons = buttonsProcessed(m_config.caps(joystick));
    const uint32_t mask = buttons >= 32 ? ~0u : (1u << buttons) - 1;
    return !(bindingZones(joystick, r) == StickZones{}) || (r.dwButtons & mask) != 0;
}

void Engine::wheelBinding(int joystick, int entry, bool down) {
    uint64_t& held = m_wheelHeld[static_cast<std::size_t>(joystick - 1)];
    const uint64_t bit = uint64_t{1} << entry;
    if (!down) {
        held &= ~bit;
        return;
    }
    if ((held & bit) != 0)
        return;
    held |= bit;
    // One notch as the input goes down; while it stays down the motion steps turn the wheel on.
    m_output.SendBinding(m_config.joystickBindings[joystick][entry], ActionPress);
}

std::pair<double, double> Engine::heldWheelRates(int joystick, const JoyReading& reading) const {
    double vertical = 0, horizontal = 0;
    const uint64_t held = m_wheelHeld[static_cast<std::size_t>(joystick - 1)];
    if (held == 0)
        return {0, 0};
    const auto [x, y] = bindingZones(joystick, reading);
    const JoystickBlock& block = m_config.joystickBindings[joystick];
    const double speed = m_config.pad(joystick).wheelSpeed;
    for (int entry = 1; entry <= kJoystickEntries; ++entry) {
        if ((held & (uint64_t{1} << entry)) == 0)
            continue;
        // Still down now?
        bool down = false;
        if (entry == kEntryUp)
            down = y == 1;
        else if (entry == kEntryDown)
            down = y == 3;
        else if (entry == kEntryLeft)
            down = x == 1;
        else if (entry == kEntryRight)
            down = x == 3;
        else
            down = ((reading.dwButtons >> (entry - buttonEntry(1))) & 1u) != 0;
        if (!down)
            continue;
        switch (block[entry].Key1) {
        case WheelUp:
            vertical += speed;
            break;
        case WheelDown:
            vertical -= speed;
            break;
        case WheelLeft:
            horizontal -= speed;
            break;
        case WheelRight:
            horizontal += speed;
            break;
        default:
            break;
        }
    }
    return {vertical, horizontal};
}

bool Engine::MotionTick() {
    const uint32_t now = m_platform.clock.tickCount();
    const uint32_t ms = std::min(now - m_lastMotion, kMaxMotionStep);
    m_lastMotion = now;
    if (m_motionPads == 0)
        return false;
    if (m_ending || stopRequested() || !m_host.mainWindowVisible() || !m_targets.targetInFront()) {
        m_motionPads = 0;
        return false;
    }
    Output& output = m_held.output();
    for (int t = 1; t <= kMaxJoysticks; ++t) {
        const uint32_t bit = 1u << (t - 1);
        if ((m_motionPads & bit) == 0)
            continue;
        PointerMotion& motion = m_motion[static_cast<std::size_t>(t - 1)];
        JoyReading r;
        // A pad that cannot be read, or whose bindings are switched off, stops; a tick asks about it.
        if (!m_config.present(t) || m_host.stopBoxTicked(t) ||
            m_platform.joysticks.getPosEx(static_cast<uint32_t>(t - 1), r) != 0) {
            m_motionPads &= ~bit;
            motion.reset();
            continue;
        }
        const PadSettings& pad = m_config.pad(t);
        bool moving = pad.leftStick != StickMode::Keys &&
                      motion.stickStep(pad.leftStick, pad, stickVector(m_config.caps(t), r), pad.leftDeadZone, ms,
                                       output);
        const auto [vertical, horizontal] = heldWheelRates(t, r);
        if (vertical != 0 || horizontal != 0) {
            motion.wheelStep(vertical, horizontal, ms, output);
            moving = true;
        }
        if (!moving) {
            m_motionPads &= ~bit;
            motion.reset();
        }
    }
    return m_motionPads != 0;
}

void Engine::InputTick() {
    if (m_ending || stopRequested() || !m_host.mainWindowVisible()) {
        m_inFront = false;
        return;
    }
    joystickSteps(true);
}

void Engine::EngineTick() {
    m_idle = false;
    if (m_ending || stopRequested() || !m_host.mainWindowVisible()) {
        m_inFront = false;
        return;
    }
    m_tickReadMask = 0;
    detectAttachedJoysticks();
    Keyboard& keyboard = m_platform.keyboard;

    const bool hotKey = keyboard.asyncKeyState(kVkJ) != 0 && keyboard.asyncKeyState(kVkControl) != 0;
    if (hotKey) {
        m_targets.RefreshTargetWindows();
        m_targets.SelectForegroundTarget(m_platform.windows.foregroundWindow());
    }

    const StepReport joysticks = joystickSteps(false);
    bool needsNextTick = hotKey || joysticks.needsNextTick;
    if (joysticks.inFront && typing() && !m_host.keyboardStopBoxTicked())
        needsNextTick |= runKeyboardBindings();
    for (int t = 1; t <= kMaxJoysticks && m_config.present(t) && !needsNextTick; ++t)
        needsNextTick = joystickAwayFromRest(t);
    needsNextTick |= m_held.holdsAnything();
    m_idle = !needsNextTick && !m_ending && !stopRequested();
    if (!m_ending)
        m_status.update(joysticks.inFront && !m_targetLeft);
}

bool Engine::inputChangesAnnounced() {
    return m_platform.keyboard.changeDescriptor() >= 0 && m_platform.windows.changeDescriptor() >= 0 &&
           m_platform.joysticks.changesAnnounced();
}

bool Engine::pollWanted() {
    return m_inFront && !m_ending && !stopRequested() && m_config.present(1) && m_platform.joysticks.pollInterval() > 0;
}

// True when a binding needs the next tick: it plays on its own, its count is running down, or its
// key is held.
bool Engine::runKeyboardBindings() {
    bool needsNextTick = false;
    const NamedKeyList& named = m_config.namedKeys;
    const int count = std::min(named.Count, kKeyBindingCount);
    for (int k = 1; k <= count && typing(); ++k) {
        const int code = (k + 1 <= named.Codes.size()) ? named.Codes[k + 1] : 0;
        const bool down = m_platform.keyboard.asyncKeyState(code) != 0;
        const KeyBinding& b = m_config.keyBindings[static_cast<std::size_t>(k - 1)];
        int32_t& countdown = m_heldCountdown[static_cast<std::size_t>(k - 1)];
        if (b.MoveNumber == 0)
            continue;
        if ((b.AutoFireMode == AutoFireNone && down) || b.AutoFireMode == AutoFireAutomatic) {
            m_player.PlayMove(b.MoveNumber);
        } else if (b.AutoFireMode == AutoFireWhileHeld) {
            // While held: at most one play every max(delay, 1) ticks.
            if (down && countdown == 0) {
                m_player.PlayMove(b.MoveNumber);
                countdown = std::max(b.AutoFireDelay, 1);
            }
            if (countdown > 0)
                --countdown;
        }
        needsNextTick |= down || b.AutoFireMode == AutoFireAutomatic || countdown > 0;
    }
    return needsNextTick;
}

} // namespace vornik

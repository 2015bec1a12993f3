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
// idle()), which lets the scheduler rest until an input changes. A binding that plays a move only asks
// for it: the move's first press goes out at once, and its later events are sent by MoveStep, which
// the scheduler calls when they are due, so no tick waits for a move. A move checks before each of its
// steps that the target is still in front; once it is not, everything is let go.
// Between ticks, a joystick change that matters runs InputTick at once (steps 1, 3 and 4, and of
// step 5 only the key chords that follow an input's state), so a press does not wait for the tick.
// Before step 2, a joystick attached since start-up is given the next number and a page: looked for
// when the system announces one plugged in, or else at most once a second. Steps 3 and 5 stop at the first absent joystick. The tick keeps no copy of
// earlier input: what carries over is the auto-fire state in the binding table, the live-view tags
// and the system's own key state.

#include "Engine.h"

#include <algorithm>
#include <cmath>

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
      m_player(config.moves, m_held, platform.clock, &m_stop, [this](int source) { return moveMayGoOn(source); }),
      m_output(m_held, platform.keyboard, platform.clock, m_player),
      m_targets(config.targets, platform.windows, host, allProcesses), m_status(config, platform, host) {
    // The foreground is asked again right before each binding presses, not only at the start of the
    // tick: a tick that plays a move, or reads several pads, takes long enough for the focus to move
    // on; and by the output right before each key-down, where it can make the answer and the press
    // one step. Once the target has gone, the rest of the tick types nothing.
    m_output.setGate([this] { return targetStillInFront(); });
    m_platform.output.setPressGuard([this] { return targetStillInFront(); });
}

Engine::~Engine() {
    m_platform.output.setPressGuard({});
}

bool Engine::targetStillInFront() {
    if (m_targets.targetInFront())
        return true;
    m_targetLeft = true;
    return false;
}

int Engine::AxisZone(int32_t minimum, int32_t maximum, int32_t position) {
    const int64_t range = static_cast<int64_t>(maximum) - minimum;
    if (range < 3)
        return 2; // no usable range: read as centred so held direction keys are released
    const int64_t third = range / 3;
    const int64_t zone = position / third + 1;
    return static_cast<int>(std::clamp<int64_t>(zone, 0, 3));
}

int Engine::AxisZone(int32_t minimum, int32_t maximum, int32_t position, int deadZone) {
    if (deadZone == kThirdsDeadZone)
        return AxisZone(minimum, maximum, position);
    const double half = (static_cast<double>(maximum) - minimum) / 2.0;
    if (half < 1.5)
        return 2;
    const double offset = position - (minimum + half);
    // Half a unit more, so that a stick at rest on either side of an odd range's middle is centred.
    if (std::abs(offset) <= half * std::clamp(deadZone, 0, 100) / 100.0 + 0.5)
        return 2;
    return offset < 0 ? 1 : 3;
}

StickZones Engine::stickZones(const JoystickCaps& caps, const JoyReading& reading, bool withStick, int deadZone) {
    StickZones zones;
    if (withStick)
        zones = {AxisZone(static_cast<int32_t>(caps.wXmin), static_cast<int32_t>(caps.wXmax),
                          static_cast<int32_t>(reading.dwXpos), deadZone),
                 AxisZone(static_cast<int32_t>(caps.wYmin), static_cast<int32_t>(caps.wYmax),
                          static_cast<int32_t>(reading.dwYpos), deadZone)};
    const StickZones hat = hatZones(reading.dwPOV);
    if (hat.x != 0)
        zones.x = hat.x;
    if (hat.y != 0)
        zones.y = hat.y;
    return zones;
}

StickZones Engine::rightStickZones(const JoyReading& reading, int deadZone) {
    return {AxisZone(0, 65535, static_cast<int32_t>(reading.rightX), deadZone),
            AxisZone(0, 65535, static_cast<int32_t>(reading.rightY), deadZone)};
}

StickVector Engine::rightStickVector(const JoyReading& reading) {
    JoystickCaps full;
    full.wXmax = full.wYmax = 65535;
    JoyReading right;
    right.dwXpos = reading.rightX;
    right.dwYpos = reading.rightY;
    return stickVector(full, right);
}

bool Engine::triggerDown(uint32_t position, int threshold, bool wasDown) {
    // A held trigger may drop 5 % of the travel below the threshold, but never more than half the
    // threshold: a low threshold must let go at a point a trigger at rest (a few units above zero)
    // reaches. In tenths of a percent, so that half of an odd threshold is exact.
    const int permille = std::max(threshold, 0) * 10;
    const int hysteresis = std::min(50, permille / 2);
    const int limitPermille = wasDown ? permille - hysteresis : permille;
    const uint64_t limit = uint64_t{65535} * static_cast<uint64_t>(limitPermille) / 1000;
    return position > 0 && position >= limit;
}

bool PadInput::down(int entry) const {
    const auto direction = [](const StickZones& zones, int offset) {
        switch (offset) {
        case 0:
            return zones.y == 1;
        case 1:
            return zones.y == 3;
        case 2:
            return zones.x == 1;
        default:
            return zones.x == 3;
        }
    };
    if (entry >= kEntryUp && entry <= kEntryRight)
        return direction(left, entry - kEntryUp);
    if (entry >= kEntryRightUp && entry <= kEntryRightRight)
        return direction(right, entry - kEntryRightUp);
    if (entry == kEntryLeftTrigger || entry == kEntryRightTrigger)
        return ((triggers >> (entry - kEntryLeftTrigger)) & 1u) != 0;
    if (entry >= buttonEntry(1) && entry <= kJoystickEntries)
        return ((buttons >> (entry - buttonEntry(1))) & 1u) != 0;
    return false;
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
    const PadSettings& pad = m_config.pad(joystick);
    return stickZones(m_config.caps(joystick), reading, pad.leftStick == StickMode::Keys, pad.leftDeadZone);
}

PadInput Engine::padInput(int joystick, const JoyReading& reading) {
    const JoystickCaps& caps = m_config.caps(joystick);
    const PadSettings& pad = m_config.pad(joystick);
    PadInput input;
    input.left = bindingZones(joystick, reading);
    if (caps.has(PadHasRightStick) && pad.rightStick == StickMode::Keys)
        input.right = rightStickZones(reading, pad.rightDeadZone);
    const int buttons = static_cast<int>(std::min<uint32_t>(caps.wMaxButtons, 32));
    input.buttons = reading.dwButtons & (buttons >= 32 ? ~0u : (1u << buttons) - 1);
    uint32_t& triggers = m_triggers[static_cast<std::size_t>(joystick - 1)];
    const uint32_t positions[2] = {reading.leftTrigger, reading.rightTrigger};
    const PadInputs present[2] = {PadHasLeftTrigger, PadHasRightTrigger};
    for (int i = 0; i < 2; ++i) {
        const uint32_t bit = 1u << i;
        const bool down = caps.has(present[i]) && triggerDown(positions[i], pad.triggerThreshold, (triggers & bit) != 0);
        triggers = down ? triggers | bit : triggers & ~bit;
    }
    input.triggers = triggers;
    return input;
}

bool Engine::stickDeflected(int joystick, const JoyReading& reading) const {
    const PadSettings& pad = m_config.pad(joystick);
    if (pad.leftStick != StickMode::Keys &&
        deflection(stickVector(m_config.caps(joystick), reading), pad.leftDeadZone).r > 0)
        return true;
    return pad.rightStick != StickMode::Keys && m_config.caps(joystick).has(PadHasRightStick) &&
           deflection(rightStickVector(reading), pad.rightDeadZone).r > 0;
}

// Presence flag, capabilities and name of system id `id` from a capability query; true when it answered.
bool Engine::queryCaps(int id) {
    JoyCapsRecord caps;
    const bool ok = m_platform.joysticks.getDevCaps(static_cast<uint32_t>(id), caps) == 0;
    const auto i = static_cast<std::size_t>(id);
    m_config.joystickPresent[i] = ok ? 1 : 0;
    m_config.joystickCaps[i] = ok ? JoystickCaps{caps.wXmin, caps.wXmax, caps.wYmin,  caps.wYmax,
                                                 caps.wMaxButtons, caps.family, caps.inputs, caps.roles}
                                  : JoystickCaps{};
    m_config.joystickNames[i] = ok ? caps.szPname : std::string();
    return ok;
}

void Engine::detectJoysticks() {
    for (int id = 0; id < kMaxJoysticks; ++id)
        queryCaps(id);
    m_lastAttachCheck = m_platform.clock.tickCount();
}

void Engine::detectAttachedJoysticks() {
    if (m_platform.joysticks.devicesAnnounced()) {
        // Looked for only when the system has announced a pad plugged in (or out).
        if (!m_platform.joysticks.takeDeviceChanges())
            return;
    } else {
        // Asking the system about a joystick that is not there can take long, hence once a second.
        const uint32_t now = m_platform.clock.tickCount();
        if (now - m_lastAttachCheck < kAttachCheckInterval)
            return;
        m_lastAttachCheck = now;
    }
    int next = 1;
    while (next <= kMaxJoysticks && m_config.present(next))
        ++next;
    // Joysticks found at start-up after a gap had no page; they are asked again as the gap closes,
    // and the first that does not answer ends the pages again.
    for (int t = next; t <= kMaxJoysticks && queryCaps(t - 1); ++t)
        m_host.joystickAttached(t);
}

void Engine::releaseHeldKeys() {
    m_player.stopAll();
    m_held.releaseAll();
    // Wheel bindings start afresh too: one still held turns a notch again, as a key presses again.
    m_wheelHeld.fill(0);
    m_layeredWheel.fill({});
    for (PadLayers& pad : m_layers)
        pad.forgetHeld();
}

bool Engine::moveMayGoOn(int source) {
    if (m_ending || stopRequested() || !m_host.mainWindowVisible())
        return false;
    // A switched-off source stops its move; the box's own release lets go of the rest.
    if (source == kKeyboardSource ? m_host.keyboardStopBoxTicked() : m_host.stopBoxTicked(source))
        return false;
    // A move a pad's binding plays stops with the pad: pulled out, it types nothing more, and the tick
    // whose read fails next lets go of everything and asks about it.
    if (source != kKeyboardSource) {
        JoyReading reading;
        if (!m_config.present(source) ||
            m_platform.joysticks.getPosEx(static_cast<uint32_t>(source - 1), reading) != 0)
            return false;
    }
    // Once the target has gone, nothing the program pressed for it stays down, as at a tick.
    if (!targetStillInFront()) {
        releaseHeldKeys();
        return false;
    }
    return true;
}

void Engine::MoveStep() {
    if (m_ending || stopRequested())
        return;
    m_player.step(m_platform.clock.tickCount());
}

std::optional<uint32_t> Engine::moveDueIn() {
    if (m_ending || stopRequested())
        return std::nullopt;
    return m_player.nextDue(m_platform.clock.tickCount());
}

void Engine::requestStop() noexcept {
    m_stop.store(true, std::memory_order_relaxed);
    m_platform.clock.interruptSleeps();
}

bool Engine::readJoystick(int joystick, JoyReading& reading) {
    const uint32_t bit = 1u << (joystick - 1);
    // The partial tick answering a change takes the reading that found it, made just before.
    if ((m_changeReadMask & bit) != 0) {
        reading = m_changeReadings[static_cast<std::size_t>(joystick - 1)];
        return true;
    }
    if (m_platform.joysticks.getPosEx(static_cast<uint32_t>(joystick - 1), reading) == 0) {
        m_tickReadings[static_cast<std::size_t>(joystick - 1)] = reading;
        m_tickReadMask |= 1u << (joystick - 1);
        return true;
    }
    // The box may stay up for minutes, and no tick runs meanwhile to release anything.
    releaseHeldKeys();
    const auto shown = std::chrono::steady_clock::now();
    const EngineHost::Answer answer = m_host.askConnectionError(kConnectionErrorText);
    m_boxTime += std::chrono::steady_clock::now() - shown;
    if (answer != EngineHost::Answer::Ok) {
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
    const PadSettings& pad = m_config.pad(joystick);
    LiveViewTags& tags = liveViewTags(joystick);
    const auto showStick = [&](StickZones zones, int& tag, auto show) {
        const auto [x, y] = zones;
        if (x == 2 && y == 2) {
            if (tag == 0) {
                show(0);
                tag = 1;
            }
        } else {
            if (x != 0 && y != 0)
                show(kDirectionPicture[y - 1][x - 1]);
            tag = 0;
        }
    };
    showStick(stickZones(caps, r, true, pad.leftDeadZone), tags.direction,
              [&](int picture) { m_host.showDirectionPicture(joystick, picture); });
    if (caps.has(PadHasRightStick))
        showStick(rightStickZones(r, pad.rightDeadZone), tags.rightDirection,
                  [&](int picture) { m_host.showRightStickPicture(joystick, picture); });
    const uint32_t triggers = padInput(joystick, r).triggers;
    for (int i = 0; i < 2; ++i) {
        if (!caps.has(i == 0 ? PadHasLeftTrigger : PadHasRightTrigger))
            continue;
        const bool held = ((triggers >> i) & 1u) != 0;
        int& tag = tags.triggers[static_cast<std::size_t>(i)];
        if (tag != (held ? 2 : 1)) {
            m_host.showTriggerPicture(joystick, i + 1, held);
            tag = held ? 2 : 1;
        }
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

// A pad with layers: every input through its PadLayers. `keysOnly` (InputTick): inputs that changed
// are answered, auto-fire and held moves wait for the next tick.
bool Engine::runLayered(int joystick, const PadInput& input, bool keysOnly) {
    const JoystickCaps& caps = m_config.caps(joystick);
    // Auto-fire stands still while the pad's own move plays, as on a pad without layers.
    const bool moveOfItsOwn = m_player.playing(joystick);
    PadLayers::Actions actions;
    actions.send = [&](const JoystickBinding& binding, bool press, Owner owner) {
        if (!press || typing())
            m_output.SendBinding(binding, press ? ActionPress : ActionRelease, owner);
    };
    actions.autoFire = [&](const JoystickBinding& binding, FireState& fire, Owner owner) {
        if (moveOfItsOwn)
            return binding.AutoFireMode == AutoFireAutomatic;
        if (!typing())
            return false;
        return m_output.AutoFireStep(binding, fire, true, owner);
    };
    actions.wheel = [&](const JoystickBinding& binding, bool held, Owner owner) {
        wheelBinding(joystick, kPadEntries + 1, binding, held, owner);
    };
    const auto down = [&](int entry) { return entryOnPad(caps, entry) && input.down(entry); };
    return m_layers[static_cast<std::size_t>(joystick - 1)].step(m_config, joystick, down, m_platform.clock.tickCount(),
                                                                 !keysOnly, m_player.minimumPress(), actions);
}

// `keysOnly`: only bindings to keys, and of buttons only those without auto-fire (InputTick). True
// when a button fires on its own, so the next tick has work whatever the input does.
bool Engine::runBindings(int joystick, bool keysOnly) {
    JoyReading r;
    if (!readJoystick(joystick, r))
        return true;
    const JoystickCaps& caps = m_config.caps(joystick);
    JoystickBlock& block = m_config.joystickBindings[joystick];
    const auto send = [&](int entry, int action) {
        const JoystickBinding& binding = block[entry];
        if (keysOnly && binding.BindingKind != BindingKeys && binding.BindingKind != BindingPointer)
            return;
        if (binding.BindingKind == BindingPointer && isWheelTarget(binding.Key1) && binding.AutoFireMode == AutoFireNone)
            wheelBinding(joystick, entry, binding, action == ActionPress, bindingOwner(joystick, entry));
        else
            m_output.SendBinding(binding, action, bindingOwner(joystick, entry));
    };
    const PadInput input = padInput(joystick, r);
    const bool layered = m_config.layered(joystick);
    int& shownLayer = m_shownLayer[static_cast<std::size_t>(joystick - 1)];
    if (layered) {
        const bool work = runLayered(joystick, input, keysOnly);
        if (const int layer = activeLayer(joystick); layer != shownLayer) {
            shownLayer = layer;
            m_host.activeLayerChanged(joystick, layer);
        }
        if (stickDeflected(joystick, r) || m_wheelHeld[static_cast<std::size_t>(joystick - 1)] != 0)
            m_motionPads |= 1u << (joystick - 1);
        return work;
    }
    if (shownLayer > 1) {
        shownLayer = 1;
        m_host.activeLayerChanged(joystick, 1);
    }
    // A stick's four entries from `up` on: up, down, left, right.
    const auto directions = [&](StickZones zones, int up) {
        const int down = up + 1, left = up + 2, right = up + 3;
        if (zones.x == 1) {
            send(left, ActionPress);
        } else if (zones.x == 2) {
            send(left, ActionRelease);
            send(right, ActionRelease);
        } else if (zones.x == 3) {
            send(right, ActionPress);
        }
        if (zones.y == 1) {
            send(up, ActionPress);
        } else if (zones.y == 2) {
            send(up, ActionRelease);
            send(down, ActionRelease);
        } else if (zones.y == 3) {
            send(down, ActionPress);
        }
    };
    directions(input.left, kEntryUp);
    if (caps.has(PadHasRightStick))
        directions(input.right, kEntryRightUp);
    bool firesOnItsOwn = false;
    // Auto-fire counts in ticks and stands still while the pad's own move plays, so a move it fires
    // does not start over and over behind itself.
    const bool moveOfItsOwn = m_player.playing(joystick);
    // Buttons and the triggers, which act as buttons.
    const auto button = [&](int entry) {
        const bool held = input.down(entry);
        JoystickBinding& binding = block[entry];
        if (binding.AutoFireMode == AutoFireNone)
            send(entry, held ? ActionPress : ActionRelease); // AutoFireStep without auto-fire
        else if (!keysOnly && !moveOfItsOwn)
            firesOnItsOwn |= m_output.AutoFireStep(binding, fireState(joystick, entry), held,
                                                   bindingOwner(joystick, entry));
        else if (!keysOnly)
            firesOnItsOwn |= binding.AutoFireMode == AutoFireAutomatic;
    };
    const int buttons = buttonsProcessed(caps);
    for (int b = 1; b <= buttons && typing(); ++b)
        button(buttonEntry(b));
    for (int entry : {kEntryLeftTrigger, kEntryRightTrigger}) {
        if (entryOnPad(caps, entry) && typing())
            button(entry);
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
        if (m_platform.joysticks.getPosEx(static_cast<uint32_t>(t - 1), r) == 0) {
            now = SeenInput{padInput(t, r), stickDeflected(t, r), true};
            m_changeReadings[static_cast<std::size_t>(t - 1)] = r;
            m_changeReadMask |= 1u << (t - 1);
        } else {
            m_changeReadMask &= ~(1u << (t - 1));
        }
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
    return !(padInput(joystick, r) == PadInput{});
}

namespace {

// The wheel's direction of a wheel binding: notches up (or right) and to the side, -1..1 each.
std::pair<int, int> wheelDirection(int32_t target) {
    switch (target) {
    case WheelUp:
        return {1, 0};
    case WheelDown:
        return {-1, 0};
    case WheelLeft:
        return {0, -1};
    case WheelRight:
        return {0, 1};
    default:
        return {0, 0};
    }
}

} // namespace

void Engine::wheelBinding(int joystick, int slot, const JoystickBinding& binding, bool down, Owner owner) {
    const auto j = static_cast<std::size_t>(joystick - 1);
    uint64_t& held = m_wheelHeld[j];
    const uint64_t bit = uint64_t{1} << slot;
    if (slot > kPadEntries) {
        // A pad with layers: its firings come and go one by one, each turning the wheel its way.
        const auto [v, h] = wheelDirection(binding.Key1);
        const int sign = down ? 1 : -1;
        m_layeredWheel[j].first += sign * v;
        m_layeredWheel[j].second += sign * h;
        held = m_layeredWheel[j] == std::pair<int, int>{} ? held & ~bit : held | bit;
        if (down)
            m_output.SendBinding(binding, ActionPress, owner);
        return;
    }
    if (!down) {
        held &= ~bit;
        return;
    }
    if ((held & bit) != 0)
        return;
    held |= bit;
    // One notch as the input goes down; while it stays down the motion steps turn the wheel on.
    m_output.SendBinding(binding, ActionPress, owner);
}

std::pair<double, double> Engine::heldWheelRates(int joystick, const PadInput& input) const {
    const auto j = static_cast<std::size_t>(joystick - 1);
    const uint64_t held = m_wheelHeld[j];
    if (held == 0)
        return {0, 0};
    const JoystickBlock& block = m_config.joystickBindings[joystick];
    const double speed = m_config.pad(joystick).wheelSpeed;
    int vertical = m_layeredWheel[j].first, horizontal = m_layeredWheel[j].second;
    for (int entry = 1; entry <= kPadEntries; ++entry) {
        // Still down now?
        if ((held & (uint64_t{1} << entry)) == 0 || !input.down(entry))
            continue;
        const auto [v, h] = wheelDirection(block[entry].Key1);
        vertical += v;
        horizontal += h;
    }
    return {vertical * speed, horizontal * speed};
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
        if (pad.rightStick != StickMode::Keys && m_config.caps(t).has(PadHasRightStick))
            moving |= motion.stickStep(pad.rightStick, pad, rightStickVector(r), pad.rightDeadZone, ms, output);
        const auto [vertical, horizontal] = heldWheelRates(t, padInput(t, r));
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
        m_changeReadMask = 0;
        return;
    }
    joystickSteps(true);
    m_changeReadMask = 0;
}

void Engine::EngineTick() {
    m_idle = false;
    m_changeReadMask = 0; // a full tick reads anew
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
    else
        keyboard.forgetPresses(); // a key tapped meanwhile was not meant for the target
    for (int t = 1; t <= kMaxJoysticks && m_config.present(t) && !needsNextTick; ++t)
        needsNextTick = joystickAwayFromRest(t);
    needsNextTick |= m_held.holdsAnything() || m_player.playing();
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
    // The countdowns stand still while a keyboard binding's move plays, as auto-fire does on a pad.
    const bool moveOfItsOwn = m_player.playing(kKeyboardSource);
    const int count = std::min(named.Count, kKeyBindingCount);
    for (int k = 1; k <= count && typing(); ++k) {
        const int code = (k + 1 <= named.Codes.size()) ? named.Codes[k + 1] : 0;
        // Down now, or pressed and let go since the last tick: a tap between two ticks counts once.
        const bool down = m_platform.keyboard.pressedSinceLastQuery(code);
        const KeyBinding& b = m_config.keyBindings[static_cast<std::size_t>(k - 1)];
        int32_t& countdown = m_heldCountdown[static_cast<std::size_t>(k - 1)];
        if (b.MoveNumber == 0)
            continue;
        if ((b.AutoFireMode == AutoFireNone && down) || b.AutoFireMode == AutoFireAutomatic) {
            m_player.PlayMove(b.MoveNumber, kKeyboardSource);
        } else if (b.AutoFireMode == AutoFireWhileHeld && !moveOfItsOwn) {
            // While held: at most one play every max(delay, 1) ticks.
            if (down && countdown == 0) {
                m_player.PlayMove(b.MoveNumber, kKeyboardSource);
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

#include "PadLayers.h"

#include <algorithm>

namespace vornik {

namespace {

// Owners of firings lie past the plain bindings' (their entries) so that neither ends the other's keys.
constexpr uint16_t kFirstFiringOwner = 64;
// Layers above layer 1 the stack keeps; a deeper push forgets the oldest.
constexpr std::size_t kMaxStack = 16;

bool fires(const JoystickBinding* b) {
    return b != nullptr && b->BindingKind != BindingNone;
}

} // namespace

PadLayers::Own PadLayers::ownOf(const ProfileTables& tables, int joystick, int entry, int layer) {
    Own own{};
    if (layer == 1)
        own[ActivatePress] = &tables.joystickBindings[joystick][entry];
    for (const LayeredBinding& b : tables.layeredBindings[joystick]) {
        if (b.Entry == entry && b.Layer == layer && b.With == 0 && b.Activator >= 0 && b.Activator < kActivators)
            own[static_cast<std::size_t>(b.Activator)] = &b.Binding;
    }
    for (const JoystickBinding*& b : own) {
        if (!fires(b))
            b = nullptr;
    }
    return own;
}

int PadLayers::answeringLayer(const ProfileTables& tables, int joystick, int entry) const {
    for (auto it = m_stack.rbegin(); it != m_stack.rend(); ++it) {
        const Own own = ownOf(tables, joystick, entry, it->layer);
        if (std::any_of(own.begin(), own.end(), [](const JoystickBinding* b) { return b != nullptr; }))
            return it->layer;
    }
    return 1;
}

bool PadLayers::inChord(const ProfileTables& tables, int joystick, int entry) const {
    for (const LayeredBinding& b : tables.layeredBindings[joystick]) {
        if (b.With == 0 || (b.Entry != entry && b.With != entry) || !fires(&b.Binding))
            continue;
        if (b.Layer == 1 || std::any_of(m_stack.begin(), m_stack.end(), [&](const Layer& l) { return l.layer == b.Layer; }))
            return true;
    }
    return false;
}

const JoystickBinding* PadLayers::chordOf(const ProfileTables& tables, int joystick, int a, int b) const {
    const auto onLayer = [&](int layer) -> const JoystickBinding* {
        for (const LayeredBinding& l : tables.layeredBindings[joystick]) {
            if (l.Layer == layer && l.With != 0 && fires(&l.Binding) &&
                ((l.Entry == a && l.With == b) || (l.Entry == b && l.With == a)))
                return &l.Binding;
        }
        return nullptr;
    };
    for (auto it = m_stack.rbegin(); it != m_stack.rend(); ++it) {
        if (const JoystickBinding* found = onLayer(it->layer))
            return found;
    }
    return onLayer(1);
}

Owner PadLayers::nextOwner(int joystick) {
    // Far more owners than firings can be alive at once, so a number comes back only long after.
    const auto entry = static_cast<uint16_t>(kFirstFiringOwner + m_nextOwner);
    m_nextOwner = static_cast<uint16_t>((m_nextOwner + 1) % (UINT16_MAX - kFirstFiringOwner));
    return Owner{static_cast<uint8_t>(joystick), entry};
}

bool PadLayers::step(const ProfileTables& tables, int joystick, const std::function<bool(int)>& down, uint32_t now,
                     bool fullTick, uint32_t minimumPress, const Actions& actions) {
    if (fullTick)
        ++m_ticks;
    m_now = now;
    const PadSettings& pad = tables.pad(joystick);
    bool work = false;
    for (int e = 1; e <= kPadEntries; ++e) {
        Input& in = m_inputs[static_cast<std::size_t>(e)];
        const bool d = down(e);
        if (d && !in.down)
            pressed(tables, joystick, e, now, actions);
        else if (!d && in.down)
            released(tables, joystick, e, now, actions);
    }
    // The waits that have run out: for a partner, for the hold time, for a second press.
    for (int e = 1; e <= kPadEntries; ++e) {
        Input& in = m_inputs[static_cast<std::size_t>(e)];
        if (in.down && in.waiting) {
            if (now - in.downAt >= static_cast<uint32_t>(pad.chordMs)) {
                in.waiting = false;
                startOwn(tables, joystick, e, actions);
            } else {
                work = true;
            }
        }
        if (in.down && !in.waiting && !in.chorded && !in.held && in.layer != 0) {
            const Own own = ownOf(tables, joystick, e, in.layer);
            if (own[ActivateHold] != nullptr) {
                if (now - in.downAt >= static_cast<uint32_t>(pad.holdMs)) {
                    in.held = true;
                    fire(*own[ActivateHold], joystick, e, 0, false, actions);
                } else {
                    work = true;
                }
            }
        }
        if (!in.down && (in.tapWaiting || in.doubleArmed)) {
            if (now - in.upAt >= static_cast<uint32_t>(pad.doubleMs)) {
                in.doubleArmed = false;
                if (in.tapWaiting) {
                    in.tapWaiting = false;
                    if (const JoystickBinding* tap = ownOf(tables, joystick, e, in.layer)[ActivateTap])
                        fire(*tap, joystick, e, 0, true, actions);
                }
            } else {
                work = in.tapWaiting || work;
            }
        }
    }
    // The firings: each ends as its input is let go, a tap at the next full tick (and not before the
    // minimum press); while it lasts, auto-fire counts and a held move is asked for again.
    for (std::size_t i = 0; i < m_firings.size();) {
        Firing& f = m_firings[i];
        const bool over = f.tap ? fullTick && m_ticks != f.startTick && now - f.startAt >= minimumPress
                                : !down(f.entry) || (f.with != 0 && !down(f.with));
        if (over) {
            endFiring(f, actions);
            m_firings.erase(m_firings.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        work = work || f.tap;
        // From the tick after the one it fired in: that tick's step was its firing.
        if (fullTick && f.startTick != m_ticks) {
            if (f.binding.AutoFireMode != AutoFireNone)
                work |= actions.autoFire(f.binding, f.fire, f.owner);
            else if (f.binding.BindingKind == BindingMove)
                actions.send(f.binding, true, f.owner);
        }
        ++i;
    }
    return work;
}

void PadLayers::pressed(const ProfileTables& tables, int joystick, int entry, uint32_t now, const Actions& actions) {
    Input& in = m_inputs[static_cast<std::size_t>(entry)];
    in.second = in.doubleArmed && now - in.upAt < static_cast<uint32_t>(tables.pad(joystick).doubleMs);
    if (in.tapWaiting && !in.second) {
        // The double-press time ran out as this press came: the last press's tap goes first.
        if (const JoystickBinding* tap = ownOf(tables, joystick, entry, in.layer)[ActivateTap])
            fire(*tap, joystick, entry, 0, true, actions);
    }
    in.tapWaiting = false; // fired, or a second press takes its place
    in.doubleArmed = false;
    in.down = true;
    in.downAt = now;
    in.layer = 0;
    in.chorded = false;
    in.held = false;
    in.waiting = false;
    // A partner already down and still waiting: the two fire together, and neither's own bindings do.
    const uint32_t chordMs = static_cast<uint32_t>(tables.pad(joystick).chordMs);
    for (int other = 1; other <= kPadEntries; ++other) {
        Input& o = m_inputs[static_cast<std::size_t>(other)];
        if (other == entry || !o.down || !o.waiting || now - o.downAt > chordMs)
            continue;
        if (const JoystickBinding* chord = chordOf(tables, joystick, entry, other)) {
            o.waiting = false;
            o.chorded = in.chorded = true;
            fire(*chord, joystick, entry, other, false, actions);
            return;
        }
    }
    if (inChord(tables, joystick, entry)) {
        in.waiting = true; // its own bindings wait for a partner, at most the chord time
        return;
    }
    startOwn(tables, joystick, entry, actions);
}

void PadLayers::startOwn(const ProfileTables& tables, int joystick, int entry, const Actions& actions) {
    Input& in = m_inputs[static_cast<std::size_t>(entry)];
    in.layer = answeringLayer(tables, joystick, entry);
    // A one-shot layer serves one press: the one it answered, or the next of any input.
    const auto oneShot = std::find_if(m_stack.rbegin(), m_stack.rend(),
                                      [](const Layer& l) { return l.how == LayerOneShot; });
    if (oneShot != m_stack.rend() && oneShot->entry != entry)
        m_stack.erase(std::next(oneShot).base());
    const Own own = ownOf(tables, joystick, entry, in.layer);
    if (own[ActivatePress] != nullptr)
        fire(*own[ActivatePress], joystick, entry, 0, false, actions);
    if (in.second && own[ActivateDouble] != nullptr)
        fire(*own[ActivateDouble], joystick, entry, 0, false, actions);
}

void PadLayers::released(const ProfileTables& tables, int joystick, int entry, uint32_t now, const Actions& actions) {
    Input& in = m_inputs[static_cast<std::size_t>(entry)];
    in.down = false;
    in.upAt = now;
    if (in.waiting) {
        // Let go before a partner came: its own bindings fire now, as a press that has just ended.
        in.waiting = false;
        startOwn(tables, joystick, entry, actions);
        for (Firing& f : m_firings) {
            if (f.entry == entry && f.with == 0 && f.startTick == m_ticks)
                f.tap = true;
        }
    }
    // A while-held layer goes wherever it is in the stack.
    std::erase_if(m_stack, [&](const Layer& l) { return l.how == LayerWhileHeld && l.entry == entry; });
    if (in.chorded || in.layer == 0)
        return;
    const Own own = ownOf(tables, joystick, entry, in.layer);
    if (own[ActivateRelease] != nullptr)
        fire(*own[ActivateRelease], joystick, entry, 0, true, actions);
    const bool shortPress = !in.held && !in.second;
    if (own[ActivateTap] != nullptr && shortPress) {
        if (own[ActivateDouble] != nullptr)
            in.tapWaiting = true; // it fires once no second press has come
        else
            fire(*own[ActivateTap], joystick, entry, 0, true, actions);
    }
    in.doubleArmed = own[ActivateDouble] != nullptr && !in.second;
}

void PadLayers::fire(const JoystickBinding& binding, int joystick, int entry, int with, bool tap,
                     const Actions& actions) {
    if (binding.BindingKind == BindingLayer) {
        switchLayer(binding, entry, tap);
        return;
    }
    Firing f;
    f.binding = binding;
    // A stick's directions have never auto-fired; with layers they do not either.
    if (isDirectionEntry(entry) && with == 0)
        f.binding.AutoFireMode = AutoFireNone;
    f.owner = nextOwner(joystick);
    f.entry = entry;
    f.with = with;
    f.tap = tap;
    f.startTick = m_ticks;
    f.startAt = m_now;
    f.wheel = binding.BindingKind == BindingPointer && isWheelTarget(binding.Key1) &&
              f.binding.AutoFireMode == AutoFireNone && !tap;
    if (f.wheel)
        actions.wheel(f.binding, true, f.owner);
    else if (f.binding.AutoFireMode != AutoFireNone)
        actions.autoFire(f.binding, f.fire, f.owner);
    else
        actions.send(f.binding, true, f.owner);
    m_firings.push_back(f);
}

void PadLayers::switchLayer(const JoystickBinding& binding, int entry, bool tap) {
    const int layer = std::clamp(binding.Key1, 1, kMaxLayers);
    // A while-held switch fired at a release has nothing to be held by: it serves one press.
    const int how = binding.Key2 == LayerWhileHeld && tap ? LayerOneShot : binding.Key2;
    switch (how) {
    case LayerBack:
        if (!m_stack.empty())
            m_stack.pop_back();
        return;
    case LayerToggle: {
        const auto on = std::find_if(m_stack.rbegin(), m_stack.rend(),
                                     [&](const Layer& l) { return l.how == LayerToggle && l.layer == layer; });
        if (on != m_stack.rend()) {
            m_stack.erase(std::next(on).base());
            return;
        }
        break;
    }
    case LayerWhileHeld:
    case LayerOneShot:
        break;
    default:
        return;
    }
    if (m_stack.size() >= kMaxStack)
        m_stack.erase(m_stack.begin());
    m_stack.push_back(Layer{layer, how, entry});
}

void PadLayers::endFiring(Firing& f, const Actions& actions) {
    if (f.wheel)
        actions.wheel(f.binding, false, f.owner);
    // Whatever auto-fire left down goes up with it; auto-fire takes no further step (an automatic
    // one would press once more as it ends).
    actions.send(f.binding, false, f.owner);
}

void PadLayers::forgetHeld() {
    m_firings.clear();
    for (Input& in : m_inputs)
        in = Input{};
    std::erase_if(m_stack, [](const Layer& l) { return l.how == LayerWhileHeld; });
}

} // namespace vornik

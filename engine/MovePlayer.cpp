#include "MovePlayer.h"

#include <algorithm>

namespace vornik {

namespace {
// A negative pause (only possible from a damaged table) waits 0, never "forever".
uint32_t pauseOf(int ms) {
    return static_cast<uint32_t>(std::max(ms, 0));
}
} // namespace

void MovePlayer::PlayMove(int moveNumber, int source) {
    if (moveNumber < 1 || moveNumber > kMoveSlots || source < 0 || source >= kMoveSources || stopped())
        return;
    if (m_moves[moveNumber].RepeatCount < 1 || stepCount(m_moves[moveNumber]) < 1)
        return;
    Source& s = m_sources[static_cast<std::size_t>(source)];
    if (std::find(s.queue.begin(), s.queue.end(), moveNumber) != s.queue.end())
        return;
    s.queue.push_back(moveNumber);
    if (s.queue.size() > 1)
        return;
    const uint32_t now = m_clock.tickCount();
    start(s, now);
    runDue(s, source, now);
}

void MovePlayer::start(Source& s, uint32_t at) {
    while (!s.queue.empty()) {
        const int moveNumber = s.queue.front();
        s.repeatsLeft = m_moves[moveNumber].RepeatCount - 1;
        if (m_moves[moveNumber].RepeatCount >= 1 && buildPass(s, moveNumber)) {
            s.passStart = at;
            return;
        }
        s.queue.pop_front(); // emptied since it was asked for: nothing to play
    }
    s.pass.clear();
}

// The events of one pass, each at its time from the start of the pass, as the move's speed, its mode
// and the minimum press make them.
bool MovePlayer::buildPass(Source& s, int moveNumber) {
    const Move& move = m_moves[moveNumber];
    const int n = stepCount(move);
    s.pass.clear();
    s.next = 0;
    if (n < 1)
        return false;
    const int p = move.Speed;
    uint32_t t = 0;
    // A step's release, once its key has been down the minimum time.
    const auto release = [&](int step, uint32_t pressedAt) {
        if (t - pressedAt < m_minimumPress)
            t = pressedAt + m_minimumPress;
        s.pass.push_back({t, Op::Release, step});
    };
    if (move.Overlap == 0) {
        for (int i = 1; i <= n; ++i) {
            s.pass.push_back({t, Op::Check, i});
            s.pass.push_back({t, Op::Press, i});
            const uint32_t pressedAt = t;
            t += pauseOf(p + 10);
            release(i, pressedAt);
            t += pauseOf(p);
        }
    } else {
        s.pass.push_back({0, Op::Check, 1});
        s.pass.push_back({0, Op::Press, 1});
        uint32_t previousAt = 0;
        t = pauseOf(p);
        for (int i = 2; i <= n; ++i) {
            s.pass.push_back({t, Op::Check, i});
            s.pass.push_back({t, Op::Press, i});
            const uint32_t pressedAt = t;
            t += pauseOf(p);
            release(i - 1, previousAt);
            t += pauseOf(p);
            previousAt = pressedAt;
        }
        release(n, previousAt); // no pause follows the last release
    }
    s.passLength = t;
    return true;
}

void MovePlayer::runDue(Source& s, int index, uint32_t now) {
    const Owner owner = moveOwner(index);
    while (s.active() && !stopped()) {
        if (static_cast<int32_t>(dueAt(s) - now) > 0)
            return;
        if (s.next >= s.pass.size()) {
            // The pass has ended, its last pause included: the next repeat, or the source's next move,
            // follows at once.
            const uint32_t end = s.passStart + s.passLength;
            if (s.repeatsLeft > 0 && (--s.repeatsLeft, buildPass(s, s.queue.front()))) {
                s.passStart = end;
                continue;
            }
            s.queue.pop_front();
            start(s, end);
            continue;
        }
        const Event event = s.pass[s.next++];
        const MoveStep& step = m_moves[s.queue.front()].Steps[event.step];
        switch (event.op) {
        case Op::Check:
            // The check may let go of everything, this move included.
            if (m_mayGoOn && !m_mayGoOn(index)) {
                stop(index);
                return;
            }
            break;
        case Op::Press:
            pressStep(step, owner);
            break;
        case Op::Release:
            releaseStep(step, owner);
            break;
        }
    }
}

void MovePlayer::step(uint32_t now) {
    for (int i = 0; i < kMoveSources; ++i) {
        Source& s = m_sources[static_cast<std::size_t>(i)];
        if (s.active())
            runDue(s, i, now);
    }
}

std::optional<uint32_t> MovePlayer::nextDue(uint32_t now) const {
    if (stopped())
        return std::nullopt;
    std::optional<uint32_t> due;
    for (const Source& s : m_sources) {
        if (!s.active())
            continue;
        const auto left = static_cast<int32_t>(dueAt(s) - now);
        const uint32_t ms = left > 0 ? static_cast<uint32_t>(left) : 0;
        due = due ? std::min(*due, ms) : ms;
    }
    return due;
}

bool MovePlayer::playing() const {
    return std::any_of(m_sources.begin(), m_sources.end(), [](const Source& s) { return s.active(); });
}

bool MovePlayer::playing(int source) const {
    return source >= 0 && source < kMoveSources && m_sources[static_cast<std::size_t>(source)].active();
}

void MovePlayer::stop(int source) {
    if (source < 0 || source >= kMoveSources)
        return;
    m_sources[static_cast<std::size_t>(source)].clear();
    m_held.releaseOwner(moveOwner(source));
}

void MovePlayer::stopAll() {
    for (Source& s : m_sources)
        s.clear();
}

void MovePlayer::pressStep(const MoveStep& step, Owner owner) {
    m_held.pressKey(static_cast<uint8_t>(step.Key & 0xFF), owner);
    if (step.ChordKey != 0)
        m_held.pressKey(static_cast<uint8_t>(step.ChordKey & 0xFF), owner);
}

void MovePlayer::releaseStep(const MoveStep& step, Owner owner) {
    m_held.releaseKey(static_cast<uint8_t>(step.Key & 0xFF), owner);
    if (step.ChordKey != 0)
        m_held.releaseKey(static_cast<uint8_t>(step.ChordKey & 0xFF), owner);
}

int MovePlayer::stepCount(const Move& move) {
    return std::clamp(move.StepCount, 0, kMaxMoveSteps);
}

} // namespace vornik

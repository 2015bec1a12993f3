#include "MovePlayer.h"

#include <algorithm>

namespace vornik {

void MovePlayer::PlayMove(int moveNumber) {
    if (moveNumber < 1 || moveNumber > kMoveSlots)
        return;
    m_cut = false;
    const int repeats = m_moves[moveNumber].RepeatCount;
    for (int r = 0; r < repeats && !stopped() && !m_cut; ++r) {
        const Move& move = m_moves[moveNumber];
        if (move.Overlap != 0)
            PlayOverlapped(moveNumber, move.Speed);
        else
            PlayOneByOne(moveNumber, move.Speed);
    }
}

void MovePlayer::PlayOneByOne(int moveNumber, int pause) {
    const Move& move = m_moves[moveNumber];
    const int n = stepCount(move);
    for (int i = 1; i <= n && mayGoOn(); ++i) {
        const uint64_t pressedAt = pressStep(move.Steps[i]);
        if (!sleep(pause + 10) || !releaseStep(move.Steps[i], pressedAt) || !sleep(pause))
            return;
    }
}

void MovePlayer::PlayOverlapped(int moveNumber, int pause) {
    const Move& move = m_moves[moveNumber];
    const int n = stepCount(move);
    if (n < 1 || !mayGoOn())
        return;
    uint64_t previousAt = pressStep(move.Steps[1]);
    if (!sleep(pause))
        return;
    for (int i = 2; i <= n; ++i) {
        if (!mayGoOn())
            return;
        const uint64_t pressedAt = pressStep(move.Steps[i]);
        if (!sleep(pause) || !releaseStep(move.Steps[i - 1], previousAt) || !sleep(pause))
            return;
        previousAt = pressedAt;
    }
    releaseStep(move.Steps[n], previousAt);
}

bool MovePlayer::mayGoOn() {
    if (stopped() || m_cut)
        return false;
    if (!m_mayType || m_mayType())
        return true;
    m_cut = true;
    m_held.releaseAll();
    return false;
}

uint64_t MovePlayer::pressStep(const MoveStep& step) {
    m_held.pressKey(static_cast<uint8_t>(step.Key & 0xFF));
    if (step.ChordKey != 0)
        m_held.pressKey(static_cast<uint8_t>(step.ChordKey & 0xFF));
    return m_slept;
}

bool MovePlayer::releaseStep(const MoveStep& step, uint64_t pressedAt) {
    const uint64_t held = m_slept - pressedAt;
    if (held < m_minimumPress && !sleep(static_cast<int>(m_minimumPress - held)))
        return false;
    m_held.releaseKey(static_cast<uint8_t>(step.Key & 0xFF));
    if (step.ChordKey != 0)
        m_held.releaseKey(static_cast<uint8_t>(step.ChordKey & 0xFF));
    return true;
}

// A negative pause (only possible from a damaged table) sleeps 0, never "forever".
bool MovePlayer::sleep(int ms) {
    const auto slept = static_cast<uint32_t>(std::max(ms, 0));
    m_clock.sleep(slept);
    m_slept += slept;
    return !stopped();
}

int MovePlayer::stepCount(const Move& move) {
    return std::clamp(move.StepCount, 0, kMaxMoveSteps);
}

} // namespace vornik

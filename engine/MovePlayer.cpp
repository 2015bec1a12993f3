#include "MovePlayer.h"

#include <algorithm>

namespace vornik {

void MovePlayer::PlayMove(int moveNumber) {
    if (moveNumber < 1 || moveNumber > kMoveSlots)
        return;
    const int repeats = m_moves[moveNumber].RepeatCount;
    for (int r = 0; r < repeats && !stopped(); ++r) {
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
    for (int i = 1; i <= n && !stopped(); ++i) {
        pressStep(move.Steps[i]);
        if (!sleep(pause + 10))
            return;
        releaseStep(move.Steps[i]);
        if (!sleep(pause))
            return;
    }
}

void MovePlayer::PlayOverlapped(int moveNumber, int pause) {
    const Move& move = m_moves[moveNumber];
    const int n = stepCount(move);
    if (n < 1 || stopped())
        return;
    pressStep(move.Steps[1]);
    if (!sleep(pause))
        return;
    for (int i = 2; i <= n; ++i) {
        pressStep(move.Steps[i]);
        if (!sleep(pause))
            return;
        releaseStep(move.Steps[i - 1]);
        if (!sleep(pause))
            return;
    }
    releaseStep(move.Steps[n]);
}

void MovePlayer::pressStep(const MoveStep& step) {
    m_keyboard.keyEvent(static_cast<uint8_t>(step.Key & 0xFF), kKeyEventExtendedKey);
    if (step.ChordKey != 0)
        m_keyboard.keyEvent(static_cast<uint8_t>(step.ChordKey & 0xFF), kKeyEventExtendedKey);
}

void MovePlayer::releaseStep(const MoveStep& step) {
    m_keyboard.keyEvent(static_cast<uint8_t>(step.Key & 0xFF), kKeyEventKeyUp);
    if (step.ChordKey != 0)
        m_keyboard.keyEvent(static_cast<uint8_t>(step.ChordKey & 0xFF), kKeyEventKeyUp);
}

// A negative pause (only possible from a damaged table) sleeps 0, never "forever".
bool MovePlayer::sleep(int ms) {
    m_clock.sleep(static_cast<uint32_t>(std::max(ms, 0)));
    return !stopped();
}

int MovePlayer::stepCount(const Move& move) {
    return std::clamp(move.StepCount, 0, kMaxMoveSteps);
}

} // namespace vornik

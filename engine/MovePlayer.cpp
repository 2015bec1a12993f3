#include "MovePlayer.h"

#include <algorithm>

namespace vornik {

void MovePlayer::PlayMove(int moveNumber) {
    if (moveNumber < 1 || moveNumber > kMoveSlots)
        return;
    const int repeats = m_moves[moveNumber].RepeatCount;
    for (int r = 0; r < repeats; ++r) {
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
    for (int i = 1; i <= n; ++i) {
        pressStep(move.Steps[i]);
        sleep(pause + 10);
        releaseStep(move.Steps[i]);
        sleep(pause);
    }
}

void MovePlayer::PlayOverlapped(int moveNumber, int pause) {
    const Move& move = m_moves[moveNumber];
    const int n = stepCount(move);
    if (n < 1)
        return;
    pressStep(move.Steps[1]);
    sleep(pause);
    for (int i = 2; i <= n; ++i) {
        pressStep(move.Steps[i]);
        sleep(pause);
        releaseStep(move.Steps[i - 1]);
        sleep(pause);
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
void MovePlayer::sleep(int ms) {
    m_clock.sleep(static_cast<uint32_t>(std::max(ms, 0)));
}

int MovePlayer::stepCount(const Move& move) {
    return std::clamp(move.StepCount, 0, kMaxMoveSteps);
}

} // namespace vornik

#pragma once

#include "Platform.h"
#include "Tables.h"

namespace vornik {

// Plays moves as timed key events. Synchronous: returns when every repetition has been played.
// Sends every event of the sequence without looking at the key state.
class MovePlayer {
public:
    MovePlayer(const MoveTable& moves, Keyboard& keyboard, Clock& clock)
        : m_moves(moves), m_keyboard(keyboard), m_clock(clock) {}

    // Plays move 1..100 RepeatCount times; any other number, or RepeatCount below 1, plays nothing.
    void PlayMove(int moveNumber);
    // One pass, one key after the other: press, sleep pause + 10, release, sleep pause.
    void PlayOneByOne(int moveNumber, int pause);
    // One pass, each step still down when the next goes down.
    void PlayOverlapped(int moveNumber, int pause);

private:
    void pressStep(const MoveStep& step);
    void releaseStep(const MoveStep& step);
    void sleep(int ms);
    static int stepCount(const Move& move);

    const MoveTable& m_moves;
    Keyboard& m_keyboard;
    Clock& m_clock;
};

} // namespace vornik

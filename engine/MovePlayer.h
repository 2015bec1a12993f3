#pragma once

#include "Platform.h"
#include "Tables.h"

#include <atomic>

namespace vornik {

// Plays moves as timed key events. Synchronous: returns when every repetition has been played.
// Sends every event of the sequence without looking at the key state. Once `stop` is set (the program
// is ending) a playing move ends after the sleep in progress, with the keys it pressed still down:
// the caller's exit path releases them. Without `stop` a move always plays to its end.
class MovePlayer {
public:
    MovePlayer(const MoveTable& moves, Keyboard& keyboard, Clock& clock, const std::atomic<bool>* stop = nullptr)
        : m_moves(moves), m_keyboard(keyboard), m_clock(clock), m_stop(stop) {}

    // Plays move 1..100 RepeatCount times; any other number, or RepeatCount below 1, plays nothing.
    void PlayMove(int moveNumber);
    // One pass, one key after the other: press, sleep pause + 10, release, sleep pause.
    void PlayOneByOne(int moveNumber, int pause);
    // One pass, each step still down when the next goes down.
    void PlayOverlapped(int moveNumber, int pause);

private:
    void pressStep(const MoveStep& step);
    void releaseStep(const MoveStep& step);
    // Sleeps; false when the program is ending and the move must stop.
    bool sleep(int ms);
    bool stopped() const { return m_stop != nullptr && m_stop->load(std::memory_order_relaxed); }
    static int stepCount(const Move& move);

    const MoveTable& m_moves;
    Keyboard& m_keyboard;
    Clock& m_clock;
    const std::atomic<bool>* m_stop;
};

} // namespace vornik

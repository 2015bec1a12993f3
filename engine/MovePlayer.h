#pragma once

#include "HeldOutput.h"
#include "Platform.h"
#include "Tables.h"

#include <atomic>
#include <functional>

namespace vornik {

// Plays moves as timed key events. Synchronous: returns when every repetition has been played, or
// when the move was cut short. Sends every event of the sequence without looking at the key state.
// Before each step it asks `mayType`: once that says no (the target is no longer in front), every key
// the program holds is let go and the move ends there, so nothing it types reaches another program.
// Once `stop` is set (the program is ending) a playing move ends after the sleep in progress; the
// exit path, which comes next, lets go of what it holds.
class MovePlayer {
public:
    MovePlayer(const MoveTable& moves, HeldOutput& held, Clock& clock, const std::atomic<bool>* stop = nullptr,
               std::function<bool()> mayType = {})
        : m_moves(moves), m_held(held), m_clock(clock), m_stop(stop), m_mayType(std::move(mayType)) {}

    // Every step's key stays down at least `ms` from its key-down, whatever the move's speed: the
    // release waits for the rest. 0 (the default) plays every move at its own timing.
    void setMinimumPress(uint32_t ms) { m_minimumPress = ms; }
    uint32_t minimumPress() const { return m_minimumPress; }

    // Plays move 1..100 RepeatCount times; any other number, or RepeatCount below 1, plays nothing.
    void PlayMove(int moveNumber);
    // One pass, one key after the other: press, sleep pause + 10, release, sleep pause.
    void PlayOneByOne(int moveNumber, int pause);
    // One pass, each step still down when the next goes down.
    void PlayOverlapped(int moveNumber, int pause);

private:
    // Presses a step's keys; the time it went down, counted in what this player has slept.
    uint64_t pressStep(const MoveStep& step);
    // Releases a step's keys pressed at `pressedAt`, once they have been down the minimum time; false
    // when the program is ending and the move must stop (the keys are left to the exit path).
    bool releaseStep(const MoveStep& step, uint64_t pressedAt);
    // Whether the next step may go out; when the target has left, lets go of everything first.
    bool mayGoOn();
    // Sleeps; false when the program is ending and the move must stop.
    bool sleep(int ms);
    bool stopped() const { return m_stop != nullptr && m_stop->load(std::memory_order_relaxed); }
    static int stepCount(const Move& move);

    const MoveTable& m_moves;
    HeldOutput& m_held;
    Clock& m_clock;
    const std::atomic<bool>* m_stop;
    std::function<bool()> m_mayType;
    bool m_cut = false; // the move in progress was cut short
    uint32_t m_minimumPress = 0;
    // Every ms slept so far: what a key has been held is measured in the sleeps since its key-down,
    // not on a clock that may step by 16 ms.
    uint64_t m_slept = 0;
};

} // namespace vornik

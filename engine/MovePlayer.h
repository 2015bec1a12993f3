#pragma once

#include "HeldOutput.h"
#include "Platform.h"
#include "Tables.h"

#include <array>
#include <atomic>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

namespace vornik {

// Where a move is asked for: the keyboard page's bindings, or a pad's (1..32).
constexpr int kKeyboardSource = 0;
constexpr int kMoveSources = kMaxJoysticks + 1;

// Plays moves as timed key events, stepped by whoever owns time: nothing here sleeps. A move asked for
// is queued for its source; each source plays its moves one at a time, in the order asked, and
// different sources play side by side. step(now) sends whatever is due by `now`; nextDue says when
// the next event is. Each event's time is counted from the one before it, never from a late step, so
// a late step sends what it missed at once and the cadence after it stays the move's own:
//   one key after the other: press, pause + 10 ms, release, pause;
//   overlapped: each step still down when the next goes down (press, pause, release the one before,
//   pause), the last released a pause after it went down;
//   repeats back to back; the minimum press time holds a key that much longer, and moves every later
//   event with it.
// Before each step's press it asks `mayGoOn` for the source; once that says no, the move is cut: what
// it holds is let go and its source's queue is dropped. Once `stop` is set (the program is ending),
// nothing more is sent; the exit path lets go of what the moves hold. Main thread only.
class MovePlayer {
public:
    MovePlayer(const MoveTable& moves, HeldOutput& held, Clock& clock, const std::atomic<bool>* stop = nullptr,
               std::function<bool(int source)> mayGoOn = {})
        : m_moves(moves), m_held(held), m_clock(clock), m_stop(stop), m_mayGoOn(std::move(mayGoOn)) {}

    // Every step's key stays down at least `ms` from its key-down, whatever the move's speed: the
    // release waits for the rest. 0 (the default) plays every move at its own timing.
    void setMinimumPress(uint32_t ms) { m_minimumPress = ms; }
    uint32_t minimumPress() const { return m_minimumPress; }

    // Asks for move 1..100 to be played RepeatCount times by `source`; any other number, or RepeatCount
    // below 1, plays nothing, and so does a move the source already plays or has queued. A source that
    // plays nothing starts it at once: its first press goes out before this returns.
    void PlayMove(int moveNumber, int source = kKeyboardSource);

    // Sends every event due by `now`, of every source; a move that ends starts its source's next.
    void step(uint32_t now);
    // Milliseconds from `now` until the next event is due (0: overdue), or nothing while no move plays.
    std::optional<uint32_t> nextDue(uint32_t now) const;
    // Whether any source, or `source`, plays or has queued a move.
    bool playing() const;
    bool playing(int source) const;
    // Ends `source`'s move and drops its queue, letting go of what the move holds.
    void stop(int source);
    // Ends every move and drops every queue; what the moves hold is left to the caller, who lets go of
    // everything.
    void stopAll();

private:
    enum class Op : uint8_t { Check, Press, Release };
    struct Event {
        uint32_t at; // ms from the start of the pass
        Op op;
        int step;
    };
    struct Source {
        std::deque<int> queue; // moves asked for, the playing one first
        int repeatsLeft = 0;   // passes still to start after the one playing
        std::vector<Event> pass;
        std::size_t next = 0;  // the pass's next event
        uint32_t passStart = 0;
        uint32_t passLength = 0;
        bool active() const { return !queue.empty(); }
        // Nothing playing, nothing queued.
        void clear() {
            queue.clear();
            pass.clear();
            next = 0;
        }
    };

    // Starts the source's first queued move at `at`, or drops what cannot play.
    void start(Source& source, uint32_t at);
    // Builds the next pass of the move playing; false when it has nothing to play.
    bool buildPass(Source& source, int moveNumber);
    void runDue(Source& source, int index, uint32_t now);
    void cut(int index);
    // The time of the source's next event, or of the end of its pass (the last pause included).
    static uint32_t dueAt(const Source& source) {
        return source.passStart +
               (source.next < source.pass.size() ? source.pass[source.next].at : source.passLength);
    }
    bool stopped() const { return m_stop != nullptr && m_stop->load(std::memory_order_relaxed); }
    void pressStep(const MoveStep& step, Owner owner);
    void releaseStep(const MoveStep& step, Owner owner);
    static int stepCount(const Move& move);

    const MoveTable& m_moves;
    HeldOutput& m_held;
    Clock& m_clock;
    const std::atomic<bool>* m_stop;
    std::function<bool(int)> m_mayGoOn;
    uint32_t m_minimumPress = 0;
    std::array<Source, kMoveSources> m_sources{};
};

} // namespace vornik

#pragma once

// The main thread of a test: calls posted from other threads wait in a queue until the test pumps it,
// and the poster waits until its call has run, like a window framework's synchronous cross-thread call.

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

namespace vornik::testing {

class MainQueue {
public:
    using Call = std::function<void(const std::function<void()>&)>;

    ~MainQueue() {
        // Calls nobody will pump are dropped, so their posters do not wait forever.
        std::lock_guard lock(m_state->mutex);
        for (Item* item : m_state->items) {
            item->done = true;
            if (item->posted)
                delete item;
        }
        m_state->items.clear();
        m_state->changed.notify_all();
    }

    // The hook to inject; it keeps the queue's state alive for posters that outlive the queue.
    Call hook() const {
        return [state = m_state](const std::function<void()>& call) {
            Item item;
            item.call = &call;
            std::unique_lock lock(state->mutex);
            state->items.push_back(&item);
            state->changed.notify_all();
            state->changed.wait(lock, [&] { return item.done; });
        };
    }

    // The hook that queues a call and returns at once, like a window framework's queued call.
    std::function<void(std::function<void()>)> postHook() const {
        return [state = m_state](std::function<void()> call) {
            auto* item = new Item;
            item->owned = std::move(call);
            item->call = &item->owned;
            item->posted = true;
            std::lock_guard lock(state->mutex);
            state->items.push_back(item);
            state->changed.notify_all();
        };
    }

    // Runs posted calls on the calling thread until `until` returns true or `timeout` has passed; the
    // predicate is checked after every call. Returns the predicate's last value.
    template <class Predicate> bool pumpUntil(Predicate until, std::chrono::milliseconds timeout) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        std::unique_lock lock(m_state->mutex);
        while (!until()) {
            if (!m_state->changed.wait_until(lock, deadline, [&] { return !m_state->items.empty(); }))
                return until();
            Item* item = m_state->items.front();
            m_state->items.pop_front();
            lock.unlock();
            (*item->call)();
            lock.lock();
            if (item->posted) {
                delete item;
                continue;
            }
            item->done = true;
            m_state->changed.notify_all();
        }
        return true;
    }

    void pumpFor(std::chrono::milliseconds duration) {
        pumpUntil([] { return false; }, duration);
    }

    std::size_t pending() const {
        std::lock_guard lock(m_state->mutex);
        return m_state->items.size();
    }

private:
    struct Item {
        const std::function<void()>* call = nullptr;
        bool done = false;
        bool posted = false; // queued by postHook: owns its call, nobody waits for it
        std::function<void()> owned;
    };
    struct State {
        mutable std::mutex mutex;
        std::condition_variable changed;
        std::deque<Item*> items;
    };
    std::shared_ptr<State> m_state = std::make_shared<State>();
};

} // namespace vornik::testing

#pragma once

// Puts the recovery profile on the disk from a thread of its own, so that no tick waits for it: the
// main thread hands over a copy of the tables (tens of microseconds), the writer makes the profile's
// text and replaces the file atomically (write, flush, rename, flush the folder). Only the latest
// request counts: one handed over while another waits replaces it, and a removal comes after every
// write handed over before it.

#include "Configuration.h"
#include "Profile.h"

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace vornik::ui {

class RecoveryWriter {
public:
    // `path` is UTF-8; its folder is made when the first write needs it.
    explicit RecoveryWriter(std::string path);
    // Finishes what was handed over, then ends the thread.
    ~RecoveryWriter();
    RecoveryWriter(const RecoveryWriter&) = delete;
    RecoveryWriter& operator=(const RecoveryWriter&) = delete;

    // Return at once; the thread starts on the first call. What a profile carries is copied.
    void write(const Configuration& tables);
    void remove();
    // Waits until everything handed over is on the disk (or has failed: nothing can be shown).
    void finish();
    // How many writes and removals have been carried out since the start.
    int done() const;
    // Told on the caller's thread whenever a write is handed over (tests check what came before it).
    void setOnWrite(std::function<void()> onWrite) { m_onWrite = std::move(onWrite); }
    // Told on the writer's own thread how each write ended. Set it before the first write.
    void setOnWritten(std::function<void(const ProfileResult&)> onWritten) { m_onWritten = std::move(onWritten); }

private:
    struct Request {
        std::unique_ptr<Configuration> tables; // none: remove the file
    };
    void hand(Request request);
    void run();
    // The result of a write; a removal always counts as done.
    ProfileResult carryOut(const Request& request) const;

    const std::string m_path;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::optional<Request> m_pending;
    bool m_busy = false;
    bool m_stopping = false;
    int m_done = 0;
    std::function<void()> m_onWrite;
    std::function<void(const ProfileResult&)> m_onWritten;
    std::thread m_thread;
};

} // namespace vornik::ui

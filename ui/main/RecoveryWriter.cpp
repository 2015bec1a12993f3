#include "RecoveryWriter.h"

#include "Files.h"
#include "NativePlatform.h"
#include "Profile.h"

#include <cstdio>
#include <filesystem>

namespace vornik::ui {

namespace {
std::filesystem::path utf8Path(const std::string& path) {
    return std::filesystem::path(std::u8string(path.begin(), path.end()));
}
} // namespace

RecoveryWriter::RecoveryWriter(std::string path) : m_path(std::move(path)) {}

RecoveryWriter::~RecoveryWriter() {
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void RecoveryWriter::write(const Configuration& tables) {
    if (m_onWrite)
        m_onWrite();
    auto copy = std::make_unique<Configuration>();
    static_cast<ProfileTables&>(*copy) = tables;
    hand(Request{std::move(copy)});
}

void RecoveryWriter::remove() {
    hand(Request{});
}

void RecoveryWriter::hand(Request request) {
    {
        std::lock_guard lock(m_mutex);
        m_pending = std::move(request);
        if (!m_thread.joinable())
            m_thread = std::thread(&RecoveryWriter::run, this);
    }
    m_changed.notify_all();
}

void RecoveryWriter::finish() {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return !m_pending && !m_busy; });
}

int RecoveryWriter::done() const {
    std::lock_guard lock(m_mutex);
    return m_done;
}

void RecoveryWriter::run() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_pending || m_stopping; });
        if (!m_pending)
            return; // stopping with nothing left to do
        std::unique_ptr<Configuration> tables = std::move(m_pending->tables);
        m_pending.reset();
        m_busy = true;
        lock.unlock();
        const bool writing = tables != nullptr;
        const ProfileResult result = carryOut(Request{std::move(tables)});
        if (writing && m_onWritten)
            m_onWritten(result);
        // What the write used (the copy of the tables, the profile's text) goes back to the system:
        // the allocator would keep this thread's peak for as long as the program runs.
        returnFreedMemory();
        lock.lock();
        m_busy = false;
        ++m_done;
        m_changed.notify_all();
    }
}

ProfileResult RecoveryWriter::carryOut(const Request& request) const {
    std::error_code error;
    if (!request.tables) {
        std::filesystem::remove(utf8Path(m_path), error);
        return {};
    }
    std::filesystem::create_directories(utf8Path(os::folderOf(m_path)), error);
    // What was there before stays; the owner says so in the window (setOnWritten).
    ProfileResult saved = saveProfile(m_path, *request.tables);
    if (!saved)
        std::fprintf(stderr, "vornik: %s\n", saved.message.c_str());
    return saved;
}

} // namespace vornik::ui

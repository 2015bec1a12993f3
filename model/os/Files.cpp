#include "Files.h"

#include "FileCalls.h"

#include <algorithm>
#include <atomic>
#include <filesystem>

namespace vornik::os {

namespace {

// A symbolic link is followed to the file it names (which need not exist yet), so that a save
// replaces that file and the link stays a link.
std::string followLinks(const std::string& path) {
    namespace fs = std::filesystem;
    fs::path p(std::u8string(path.begin(), path.end()));
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code error;
        if (!fs::is_symlink(fs::symlink_status(p, error)) || error)
            break;
        const fs::path target = fs::read_symlink(p, error);
        if (error)
            break;
        p = target.is_absolute() ? target : p.parent_path() / target;
    }
    const std::u8string resolved = p.u8string();
    return std::string(resolved.begin(), resolved.end());
}

// Opens a new temporary file beside `target`, never one that exists already.
int createTemporary(const std::string& target, std::string& temp, std::error_code& error) {
    static std::atomic<unsigned> counter{0};
    const unsigned pid = calls::processId();
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = target + ".tmp-" + std::to_string(pid) + "-" + std::to_string(counter++);
        std::error_code failed;
        const int fd = calls::createNewFile(temp, failed);
        if (fd >= 0)
            return fd;
        if (failed != std::errc::file_exists) {
            error = failed;
            return -1;
        }
    }
    error = std::make_error_code(std::errc::file_exists);
    return -1;
}

} // namespace

std::error_code readFile(const std::string& path, std::size_t limit, std::string& bytes) {
    std::FILE* file = calls::openForReading(path);
    if (!file)
        return calls::lastErrno();
    // In pieces, growing as the file does: a buffer of the whole limit would take (and dirty) a
    // mebibyte for every profile read, which the allocator then keeps.
    bytes.clear();
    char piece[16384];
    while (bytes.size() < limit) {
        const std::size_t want = std::min(sizeof piece, limit - bytes.size());
        const std::size_t n = std::fread(piece, 1, want, file);
        bytes.append(piece, n);
        if (n < want)
            break; // the end of the file, or an error
    }
    const bool failed = std::ferror(file) != 0;
    const std::error_code readError = calls::lastErrno();
    std::fclose(file);
    if (failed) {
        bytes.clear();
        return readError;
    }
    return {};
}

AtomicWriteResult writeFileAtomically(const std::string& path, std::string_view bytes) {
    AtomicWriteSteps steps;
    return writeFileAtomically(path, bytes, steps);
}

AtomicWriteResult writeFileAtomically(const std::string& named, std::string_view bytes, AtomicWriteSteps& steps) {
    using Failure = AtomicWriteResult::Failure;
    AtomicWriteResult result;
    result.target = followLinks(named);
    const std::string& path = result.target;

    std::string temp;
    const int fd = createTemporary(path, temp, result.error);
    if (fd < 0) {
        result.failure = Failure::Create;
        return result;
    }
    calls::copyPermissions(path, fd);
    Failure failed = Failure::None;
    std::error_code error;
    std::size_t done = 0;
    while (done < bytes.size()) {
        const std::size_t n = steps.write(fd, bytes.data() + done, bytes.size() - done, error);
        if (error) {
            failed = Failure::Write;
            break;
        }
        if (n == 0) {
            failed = Failure::Write;
            error = std::make_error_code(std::errc::no_space_on_device);
            break;
        }
        done += std::min(n, bytes.size() - done);
    }
    if (failed == Failure::None && (error = steps.flush(fd)))
        failed = Failure::Flush;
    const std::error_code closed = calls::closeFile(fd);
    if (failed == Failure::None && closed) {
        error = closed;
        failed = Failure::Write;
    }
    if (failed == Failure::None && (error = steps.replace(temp, path)))
        failed = Failure::Replace;
    if (failed != Failure::None) {
        calls::removeFile(temp);
        result.failure = failed;
        result.error = error;
        return result;
    }
    // Make the rename itself durable; the file is already complete, so a failure here is not one of the write.
    calls::flushFolder(folderOf(path));
    return result;
}

// Done on the bytes, since the path is UTF-8 and std::filesystem would read a narrow string in the
// system's code page on Windows.
std::size_t fileNameStart(const std::string& path) {
    const std::size_t slash = path.find_last_of(calls::folderSeparators());
    return slash == std::string::npos ? 0 : slash + 1;
}

std::string folderOf(const std::string& path) {
    const std::size_t start = fileNameStart(path);
    if (start == 0)
        return ".";
    return start == 1 ? path.substr(0, 1) : path.substr(0, start - 1);
}

} // namespace vornik::os

#pragma once

// Files as the model keeps them, with UTF-8 paths on every system (wide paths on Windows): a whole
// file read up to a limit, and a file replaced atomically. The system's calls are in linux/ or
// win32/, one of which CMake compiles; nothing here depends on the rest of the project.

#include <cstddef>
#include <string>
#include <string_view>
#include <system_error>

namespace vornik::os {

// Reads the file at `path` into `bytes`, at most `limit` bytes of it (read one byte more than you
// accept to tell a file that is too large). Returns the system's error, or none.
std::error_code readFile(const std::string& path, std::size_t limit, std::string& bytes);

// The system's calls for the steps of a replacement once its temporary file is open. Each reports
// failure through std::error_code as the system gave it.
// Writes at most `size` bytes to `fd`; returns how many were written (0 when no more fit).
std::size_t writeToFile(int fd, const char* data, std::size_t size, std::error_code& error);
// Forces what was written to `fd` onto the disk.
std::error_code flushFile(int fd);
// Puts `temp` in the place of `target`, replacing any file there, in one step.
std::error_code replaceFile(const std::string& temp, const std::string& target);

// The steps writeFileAtomically takes through these, so that a test can make one fail.
class AtomicWriteSteps {
public:
    virtual ~AtomicWriteSteps() = default;
    virtual std::size_t write(int fd, const char* data, std::size_t size, std::error_code& error) {
        return writeToFile(fd, data, size, error);
    }
    virtual std::error_code flush(int fd) { return flushFile(fd); }
    virtual std::error_code replace(const std::string& temp, const std::string& target) {
        return replaceFile(temp, target);
    }
};

struct AtomicWriteResult {
    enum class Failure { None, Create, Write, Flush, Replace };
    Failure failure = Failure::None;
    std::error_code error;
    std::string target; // the file replaced: the path given, with symbolic links followed

    explicit operator bool() const { return failure == Failure::None; }
};

// Replaces the file at `path` (UTF-8) with `bytes`: a new temporary file beside it is written,
// flushed to disk and put in its place in one step, then the folder is flushed. A symbolic link at
// `path` is followed: the file it points to (which need not exist yet) is replaced and the link
// stays. The new file keeps the permissions of the one it replaces. On failure the temporary file
// is removed and a file already there is left exactly as it was.
AtomicWriteResult writeFileAtomically(const std::string& path, std::string_view bytes);
AtomicWriteResult writeFileAtomically(const std::string& path, std::string_view bytes, AtomicWriteSteps& steps);

// Where the file name in `path` starts: after the last of the system's folder separators.
std::size_t fileNameStart(const std::string& path);
// The folder part of `path`: "." for a bare file name.
std::string folderOf(const std::string& path);

} // namespace vornik::os

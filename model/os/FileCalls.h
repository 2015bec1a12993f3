#pragma once

// The system calls Files.cpp is built on, one implementation per system (linux/, win32/). Paths are
// UTF-8. Internal to this folder.

#include <cerrno>
#include <cstdio>
#include <string>
#include <system_error>

namespace vornik::os::calls {

inline std::error_code lastErrno() {
    return std::error_code(errno, std::generic_category());
}

// Creates `path` as a new file open for writing; -1 and the error (file_exists when it is there).
int createNewFile(const std::string& path, std::error_code& error);
unsigned processId();
// Gives the new file `fd` the permissions of the file at `path`, if there is one (Windows: nothing).
void copyPermissions(const std::string& path, int fd);
std::error_code closeFile(int fd);
void removeFile(const std::string& path);
// Makes a rename in `folder` durable (Windows: nothing, the rename writes through).
void flushFolder(const std::string& folder);
// Null with errno set when the file cannot be opened.
std::FILE* openForReading(const std::string& path);
// The characters after which a file name starts.
const char* folderSeparators();

} // namespace vornik::os::calls

// Files on Linux (and any POSIX system): paths are passed to the system as the UTF-8 bytes they are.
#include "FileCalls.h"
#include "Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vornik::os {

using calls::lastErrno;

std::size_t writeToFile(int fd, const char* data, std::size_t size, std::error_code& error) {
    for (;;) {
        const ssize_t n = ::write(fd, data, size);
        if (n >= 0)
            return static_cast<std::size_t>(n);
        if (errno != EINTR) {
            error = lastErrno();
            return 0;
        }
    }
}

std::error_code flushFile(int fd) {
    return ::fsync(fd) == 0 ? std::error_code() : lastErrno();
}

std::error_code replaceFile(const std::string& temp, const std::string& target) {
    return std::rename(temp.c_str(), target.c_str()) == 0 ? std::error_code() : lastErrno();
}

namespace calls {

int createNewFile(const std::string& path, std::error_code& error) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        error = lastErrno();
    return fd;
}

unsigned processId() {
    return static_cast<unsigned>(::getpid());
}

void copyPermissions(const std::string& path, int fd) {
    struct stat old {};
    if (::stat(path.c_str(), &old) == 0)
        (void)::fchmod(fd, old.st_mode & 07777);
}

std::error_code closeFile(int fd) {
    return ::close(fd) == 0 ? std::error_code() : lastErrno();
}

void removeFile(const std::string& path) {
    ::unlink(path.c_str());
}

void flushFolder(const std::string& folder) {
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        (void)::fsync(dir);
        ::close(dir);
    }
}

std::FILE* openForReading(const std::string& path) {
    return std::fopen(path.c_str(), "rb");
}

const char* folderSeparators() {
    return "/";
}

} // namespace calls
} // namespace vornik::os

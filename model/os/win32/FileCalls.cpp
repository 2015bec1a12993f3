// Files on Windows: UTF-8 paths are widened and passed to the wide calls, so that any file name works
// whatever the system's code page.
#include "FileCalls.h"
#include "Files.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <sys/stat.h>

#include <algorithm>

namespace vornik::os {

using calls::lastErrno;

namespace {
std::wstring widen(const std::string& utf8) {
    if (utf8.empty())
        return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
    return wide;
}
} // namespace

std::size_t writeToFile(int fd, const char* data, std::size_t size, std::error_code& error) {
    for (;;) {
        const int n = _write(fd, data, static_cast<unsigned>(std::min<std::size_t>(size, 1u << 30)));
        if (n >= 0)
            return static_cast<std::size_t>(n);
        if (errno != EINTR) {
            error = lastErrno();
            return 0;
        }
    }
}

std::error_code flushFile(int fd) {
    return _commit(fd) == 0 ? std::error_code() : lastErrno();
}

std::error_code replaceFile(const std::string& temp, const std::string& target) {
    if (MoveFileExW(widen(temp).c_str(), widen(target).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return {};
    return std::error_code(static_cast<int>(GetLastError()), std::system_category());
}

namespace calls {

int createNewFile(const std::string& path, std::error_code& error) {
    const int fd = _wopen(widen(path).c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (fd < 0)
        error = lastErrno();
    return fd;
}

unsigned processId() {
    return static_cast<unsigned>(_getpid());
}

void copyPermissions(const std::string&, int) {}

std::error_code closeFile(int fd) {
    return _close(fd) == 0 ? std::error_code() : lastErrno();
}

void removeFile(const std::string& path) {
    _wunlink(widen(path).c_str());
}

void flushFolder(const std::string&) {}

std::FILE* openForReading(const std::string& path) {
    return _wfopen(widen(path).c_str(), L"rb");
}

const char* folderSeparators() {
    return "/\\:";
}

} // namespace calls
} // namespace vornik::os

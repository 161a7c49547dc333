#include "FileIo.h"

#include <algorithm>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <share.h>
#include <stdio.h>
#include <sys/stat.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace platform {

int openFile(const std::filesystem::path& path, OpenAs how) {
#ifdef _WIN32
    int fd = -1;
    switch (how) {
    case OpenAs::NewPrivate:
        _wsopen_s(&fd, path.c_str(), _O_RDWR | _O_CREAT | _O_EXCL | _O_BINARY, _SH_DENYNO,
                  _S_IREAD | _S_IWRITE);
        break;
    case OpenAs::NewForReplacing:
        _wsopen_s(&fd, path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _SH_DENYRW,
                  _S_IREAD | _S_IWRITE);
        break;
    case OpenAs::Existing:
        _wsopen_s(&fd, path.c_str(), _O_RDWR | _O_BINARY, _SH_DENYNO, _S_IREAD | _S_IWRITE);
        break;
    }
    return fd;
#else
    switch (how) {
    case OpenAs::NewPrivate:
        return ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    case OpenAs::NewForReplacing:
        return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    case OpenAs::Existing:
        // A link in the folder must not open its target.
        return ::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
    }
    return -1;
#endif
}

bool closeFile(int fd) {
#ifdef _WIN32
    return _close(fd) == 0;
#else
    return ::close(fd) == 0;
#endif
}

bool writeAt(int fd, std::int64_t offset, const void* data, std::size_t bytes) {
    const char* p = static_cast<const char*>(data);
    constexpr std::size_t kLargest = std::size_t(1) << 30;
    while (bytes > 0) {
        const std::size_t chunk = std::min(bytes, kLargest);
#ifdef _WIN32
        if (offset >= 0 && _lseeki64(fd, offset, SEEK_SET) < 0)
            return false;
        const int n = _write(fd, p, unsigned(chunk));
#else
        const ssize_t n =
            offset >= 0 ? ::pwrite(fd, p, chunk, off_t(offset)) : ::write(fd, p, chunk);
        if (n < 0 && errno == EINTR)
            continue;
#endif
        if (n <= 0)
            return false;
        p += n;
        if (offset >= 0)
            offset += n;
        bytes -= std::size_t(n);
    }
    return true;
}

bool flushToDisk(int fd) {
#ifdef _WIN32
    return _commit(fd) == 0;
#elif defined(__APPLE__)
    return ::fsync(fd) == 0;
#else
    return ::fdatasync(fd) == 0;
#endif
}

long processId() {
#ifdef _WIN32
    return long(_getpid());
#else
    return long(::getpid());
#endif
}

} // namespace platform

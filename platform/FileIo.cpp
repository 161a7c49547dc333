#include "FileIo.h"

#include <algorithm>

#ifdef _WIN32
#include <io.h>
#include <process.h>
#include <stdio.h>
#else
#include <cerrno>
#include <unistd.h>
#endif

namespace platform {

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

#include "AtomicFile.h"

#include "FileIo.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace platform {
namespace {

// A file descriptor that closes itself, and removes its file unless kept.
class TempFile {
public:
    TempFile() = default;
    ~TempFile() {
        close();
        if (!kept_ && !path_.empty()) {
            std::error_code ignored;
            fs::remove(path_, ignored);
        }
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    bool create(const fs::path& target) {
        static std::atomic<unsigned> counter{0};
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        for (int attempt = 0; attempt < 16; ++attempt) {
            fs::path candidate = target;
            candidate +=
                fs::path(".part-" + std::to_string(stamp) + "-" + std::to_string(counter++));
#ifdef _WIN32
            if (_wsopen_s(&fd_, candidate.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY,
                          _SH_DENYRW, _S_IREAD | _S_IWRITE) == 0) {
#else
            fd_ = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd_ >= 0) {
#endif
                path_ = candidate;
                return true;
            }
            if (errno != EEXIST)
                return false;
        }
        return false;
    }

    bool writeAll(const void* data, std::size_t size) {
        return writeAt(fd_, -1, data, size);
    }

    bool flushToDisk() {
        return platform::flushToDisk(fd_);
    }

    bool close() {
        if (fd_ < 0)
            return true;
#ifdef _WIN32
        const bool ok = _close(fd_) == 0;
#else
        const bool ok = ::close(fd_) == 0;
#endif
        fd_ = -1;
        return ok;
    }

    const fs::path& path() const {
        return path_;
    }
    void keep() {
        kept_ = true;
    }

private:
    int fd_ = -1;
    fs::path path_;
    bool kept_ = false;
};

} // namespace

WriteResult writeFileAtomically(const std::string& path, const void* data, std::size_t size) {
    const fs::path target = fs::path(std::u8string(path.begin(), path.end()));
    if (target.empty() || !target.has_filename())
        return WriteResult::CantCreate;
    std::error_code ec;
    if (fs::is_directory(target, ec))
        return WriteResult::CantCreate;

    TempFile temp;
    if (!temp.create(target))
        return WriteResult::CantCreate;
    if (!temp.writeAll(data, size) || !temp.flushToDisk() || !temp.close())
        return WriteResult::CantWrite;
    fs::rename(temp.path(), target, ec); // replaces an existing target in one step
    if (ec)
        return WriteResult::CantWrite;
    temp.keep();
    return WriteResult::Ok;
}

} // namespace platform

#include "AtomicFile.h"

#include "FileIo.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <share.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace platform {
namespace {

// Temporaries are named for the process that writes them, short whatever
// the target's name (a name near the file system's 255-byte limit must
// still be savable): ".save-<pid>-<n>.part".
constexpr const char* kTempPrefix = ".save-";
constexpr const char* kTempSuffix = ".part";

bool processAlive(long pid) {
#ifdef _WIN32
    HANDLE h = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, DWORD(pid));
    if (!h)
        return GetLastError() == ERROR_ACCESS_DENIED;
    DWORD code = 0;
    const bool alive = GetExitCodeProcess(h, &code) && code == STILL_ACTIVE;
    CloseHandle(h);
    return alive;
#else
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
#endif
}

// Temporaries of saves that were killed before their rename: theirs is a
// process that no longer runs.
void removeStaleTemporaries(const fs::path& folder) {
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        const std::size_t prefix = std::char_traits<char>::length(kTempPrefix);
        if (name.rfind(kTempPrefix, 0) != 0 || name.size() <= prefix + 5 ||
            name.compare(name.size() - 5, 5, kTempSuffix) != 0)
            continue;
        const long pid = std::strtol(name.c_str() + prefix, nullptr, 10);
        if (pid > 0 && pid != platform::processId() && !processAlive(pid)) {
            std::error_code ignored;
            fs::remove(it->path(), ignored);
        }
    }
}

// Where the bytes must go: through symbolic links to the file they name,
// so that a link stays a link and its target gets the new content.
fs::path resolveLinks(fs::path target) {
    std::error_code ec;
    for (int hops = 0; hops < 40 && fs::is_symlink(fs::symlink_status(target, ec)); ++hops) {
        const fs::path next = fs::read_symlink(target, ec);
        if (ec)
            break;
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
    return target;
}

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

    bool create(const fs::path& folder) {
        static std::atomic<unsigned> counter{0};
        for (int attempt = 0; attempt < 16; ++attempt) {
            const fs::path candidate =
                folder / (kTempPrefix + std::to_string(platform::processId()) + "-" +
                          std::to_string(counter++) + kTempSuffix);
            fd_ = openFile(candidate, OpenAs::NewForReplacing);
            if (fd_ >= 0) {
                path_ = candidate;
                return true;
            }
            if (errno != EEXIST)
                return false;
        }
        return false;
    }

    // The replaced file's permission bits, and its owner where allowed.
    void takeOverAttributes(const fs::path& old) {
#ifndef _WIN32
        struct stat st {};
        if (::stat(old.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
            return;
        if (::fchown(fd_, st.st_uid, st.st_gid) != 0) {
            // Not ours to give away: the group alone may still be kept.
            [[maybe_unused]] const int ignored = ::fchown(fd_, uid_t(-1), st.st_gid);
        }
        ::fchmod(fd_, st.st_mode & 07777);
#else
        std::error_code ec;
        const auto perms = fs::status(old, ec).permissions();
        if (!ec)
            fs::permissions(path_, perms, ec);
#endif
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
        const bool ok = closeFile(fd_);
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

WriteResult writeFileAtomically(const std::string& path, const void* data, std::size_t size,
                                int* systemError) {
    int ignoredError = 0;
    int& error = systemError ? *systemError : ignoredError;
    error = 0;
    const fs::path chosen = fs::path(std::u8string(path.begin(), path.end()));
    if (chosen.empty() || !chosen.has_filename())
        return WriteResult::CantCreate;
    const fs::path target = resolveLinks(chosen);
    std::error_code ec;
    if (fs::is_directory(target, ec)) {
        error = EISDIR;
        return WriteResult::CantCreate;
    }
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    removeStaleTemporaries(folder);

    TempFile temp;
    if (!temp.create(folder)) {
        error = errno;
        return WriteResult::CantCreate;
    }
    temp.takeOverAttributes(target);
    if (!temp.writeAll(data, size) || !temp.flushToDisk() || !temp.close()) {
        error = errno;
        return WriteResult::CantWrite;
    }
    fs::rename(temp.path(), target, ec); // replaces an existing target in one step
    if (ec) {
        error = ec.value();
        return WriteResult::CantWrite;
    }
    temp.keep();
    return WriteResult::Ok;
}

} // namespace platform

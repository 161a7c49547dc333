#include "RecoveryFile.h"

#include "FileIo.h"
#include "RecoveryNames.h"
#include "WaveHeader.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <system_error>
#include <utility>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <pthread.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace engine {
using namespace recovery;
namespace {

constexpr auto kWakeEvery = std::chrono::milliseconds(100);

// Only one session holds a file's lock; it goes with the descriptor, so a
// killed session's file is free at once.
bool lockFd(int fd) {
#ifdef _WIN32
    OVERLAPPED at{};
    return LockFileEx(reinterpret_cast<HANDLE>(_get_osfhandle(fd)),
                      LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at) != 0;
#else
    return ::flock(fd, LOCK_EX | LOCK_NB) == 0;
#endif
}

} // namespace

RecoveryFile::RecoveryFile(fs::path folder, std::chrono::milliseconds flushEvery)
    : folder_(std::move(folder)), flushEvery_(flushEvery) {}

RecoveryFile::~RecoveryFile() {
    settle();
    stopWriter();
    closeFile();
}

bool RecoveryFile::begin() {
    stopWriter();
    settle();
    replaced_ = Replaced::None;
    if (!path_.empty()) {
        closeFile();
        // A take not saved goes to the trash on a thread of its own (the
        // trash may be slow, on a slow disk or another one); kept as a
        // leftover when the trash refuses it.
        replaced_ = Replaced::Going;
        disposer_ = std::thread([this, file = std::exchange(path_, {})] {
            const bool gone = throwAway(file);
            replaced_ = !gone ? Replaced::Kept : trash_ ? Replaced::ToTrash : Replaced::None;
        });
    }
    failed_ = true; // until the file is ready, nothing is copied
    dataBytes_ = 0;
    std::error_code ec;
    fs::create_directories(folder_, ec);
    const auto stamp = std::chrono::duration_cast<std::chrono::milliseconds>(
                           std::chrono::system_clock::now().time_since_epoch())
                           .count();
    static std::atomic<unsigned> counter{0};
    fs::path file;
    for (int attempt = 0; attempt < 16 && fd_ < 0; ++attempt) {
        file = folder_ / (kPrefix + std::to_string(platform::processId()) + "-" +
                          std::to_string(stamp) + "-" + std::to_string(counter++) + ".wav");
        fd_ = platform::openFile(file, platform::OpenAs::NewPrivate);
    }
    if (fd_ < 0)
        return false;
    path_ = file;
    const WaveHeader header = WaveHeader::forNewTake();
    if (!lockFd(fd_) || !platform::writeAt(fd_, 0, header.bytes.data(), header.bytes.size())) {
        closeFile();
        fs::remove(path_, ec);
        path_.clear();
        return false;
    }
    if (!ring_.reset(ringBytes_))
        return false;
    failed_ = false;
    stop_ = false;
    settled_ = false;
    writer_ = std::thread([this] { writerLoop(); });
    return true;
}

void RecoveryFile::append(const void* data, std::size_t bytes) {
    if (bytes == 0 || failed_.load(std::memory_order_relaxed))
        return;
    if (!ring_.put(data, bytes))
        failed_.store(true, std::memory_order_release);
}

void RecoveryFile::writerLoop() {
#ifdef __linux__
    pthread_setname_np(pthread_self(), "recovery"); // seen in per-thread CPU figures
#endif
    auto lastFlush = std::chrono::steady_clock::now();
    bool writable = true;
    for (;;) {
        bool stopping = false;
        {
            std::unique_lock lock(stopMutex_);
            stopping = stopSignal_.wait_for(lock, kWakeEvery, [this] { return stop_; });
        }
        // What is in the ring is whole even after it overflowed; only a
        // write that failed stops the writing.
        if (writable && !drain()) {
            writable = false;
            failed_ = true;
        }
        if (stopping) {
            // All is written and the sizes count it: the window thread goes
            // on (a kill from here on loses nothing) while the disk is
            // brought up to date, which on a slow disk takes a while.
            if (!writeSizes(fd_, dataBytes_))
                failed_ = true;
            {
                std::lock_guard lock(stopMutex_);
                settled_ = true;
            }
            stopSignal_.notify_all();
            platform::flushToDisk(fd_);
            return;
        }
        const auto now = std::chrono::steady_clock::now();
        if (now - lastFlush >= flushEvery_) {
            // Even after a failure the header is brought up to what was
            // written, so the file plays as far as it goes.
            if (!flushHeader())
                failed_ = true;
            lastFlush = now;
        }
    }
}

bool RecoveryFile::drain() {
    return ring_.takeAll([this](const std::uint8_t* bytes, std::size_t count) {
        if (!platform::writeAt(fd_, std::int64_t(kHeaderBytes + dataBytes_), bytes, count))
            return false;
        dataBytes_ += count;
        return true;
    });
}

bool RecoveryFile::flushHeader() {
    // The sound reaches the disk before the sizes that count it.
    return platform::flushToDisk(fd_) && writeSizes(fd_, dataBytes_) && platform::flushToDisk(fd_);
}

void RecoveryFile::stopWriter() {
    if (!writer_.joinable())
        return;
    {
        std::lock_guard lock(stopMutex_);
        stop_ = true;
    }
    stopSignal_.notify_all();
    writer_.join();
}

void RecoveryFile::closeFile() {
    if (fd_ >= 0)
        platform::closeFile(fd_);
    fd_ = -1;
}

void RecoveryFile::end() {
    // Waits for the last blocks to be written, not for the disk's flush.
    if (writer_.joinable()) {
        {
            std::lock_guard lock(stopMutex_);
            stop_ = true;
        }
        stopSignal_.notify_all();
        std::unique_lock lock(stopMutex_);
        stopSignal_.wait(lock, [this] { return settled_; });
    }
    markCutShort();
}

void RecoveryFile::release() {
    stopWriter();
    markCutShort();
    closeFile();
}

// A copy that stopped before its take did (a full disk, a stalled one) is
// named so: offered later, it is said to be incomplete.
void RecoveryFile::markCutShort() {
    if (!failed() || path_.empty() || cutShort(path_))
        return;
    fs::path marked = path_;
    marked.replace_filename(path_.stem().string() + kCutMark + ".wav");
    std::error_code ec;
    fs::rename(path_, marked, ec);
    if (!ec)
        path_ = marked;
}

void RecoveryFile::settle() {
    if (disposer_.joinable())
        disposer_.join();
}

void RecoveryFile::throwAwayOwn() {
    stopWriter();
    markCutShort();
    closeFile();
    if (!path_.empty() && throwAway(path_))
        path_.clear();
}

void RecoveryFile::discard() {
    stopWriter();
    closeFile();
    if (!path_.empty()) {
        std::error_code ignored;
        fs::remove(path_, ignored);
        path_.clear();
    }
}

std::vector<fs::path> RecoveryFile::leftovers() const {
    std::vector<std::pair<fs::file_time_type, fs::path>> found;
    std::error_code ec;
    for (fs::directory_iterator it(folder_, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path file = it->path();
        // Links are never followed: not offered, not opened, not removed.
        if (file == path_ || !isOurName(file) || !it->is_regular_file(ec) || it->is_symlink(ec))
            continue;
        const int fd = platform::openFile(file, platform::OpenAs::Existing);
        if (fd < 0)
            continue;
        const bool free = lockFd(fd); // held: another copy of the program is recording
        platform::closeFile(fd);
        if (!free)
            continue;
        if (fs::file_size(file, ec) <= std::uintmax_t(kHeaderBytes + kFrameBytes) - 1) {
            fs::remove(file, ec);
            continue;
        }
        found.emplace_back(fs::last_write_time(file, ec), file);
    }
    std::sort(found.begin(), found.end());
    std::vector<fs::path> files;
    for (auto& [time, file] : found)
        files.push_back(std::move(file));
    return files;
}

bool RecoveryFile::adopt(const fs::path& file) {
    stopWriter();
    closeFile();
    const int fd = platform::openFile(file, platform::OpenAs::Existing);
    if (fd < 0)
        return false;
    if (!lockFd(fd)) {
        platform::closeFile(fd);
        return false;
    }
    // A file adopted before stays for the next start to offer again.
    fd_ = fd;
    path_ = file;
    return true;
}

bool RecoveryFile::throwAway(const fs::path& file) {
    std::error_code ec;
    if (!trash_) {
        fs::remove(file, ec);
        return !ec;
    }
    // Whatever left it unreadable (a mode of 000), its owner can open it
    // from the trash, and its header can be mended first.
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::add,
                    ec);
    const std::uintmax_t size = fs::file_size(file, ec);
    std::uint64_t sound = 0;
    if (!ec && size > kHeaderBytes) {
        sound = (size - kHeaderBytes) - (size - kHeaderBytes) % kFrameBytes;
        // Ours: the sizes are brought up to what is on disk, so it plays.
        if (hasOurHeader(file) && sound <= 0x7fffffffu - kHeaderBytes) {
            const int fd = platform::openFile(file, platform::OpenAs::Existing);
            if (fd >= 0) {
                writeSizes(fd, sound);
                platform::closeFile(fd);
            }
        }
    }
    // Named in its own folder first: the trash keeps the name it comes with.
    const std::string base = trashName(recordedAt(file), sound);
    fs::path named = file.parent_path() / fs::path(std::u8string(base.begin(), base.end()));
    for (int n = 2; fs::exists(named, ec) && n < 100; ++n) {
        const std::string other =
            base.substr(0, base.size() - 4) + " (" + std::to_string(n) + ").wav";
        named = file.parent_path() / fs::path(std::u8string(other.begin(), other.end()));
    }
    fs::rename(file, named, ec);
    if (ec)
        return false;
    if (trash_(named))
        return true;
    fs::rename(named, file, ec); // stays a leftover, offered again
    return false;
}

} // namespace engine

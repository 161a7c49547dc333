#pragma once
// A copy on disk of the take in progress, so that a crash, a kill or a
// power cut does not lose what was recorded. The capture thread hands each
// block over without waiting; a thread of its own writes the blocks and,
// about once a second, updates the header's sizes and flushes the file to
// disk, so the file is a playable WAV after every flush. The file stays
// until the take is saved or a new take replaces it; one left by a session
// that ended without saving is found at the next start. A take replaced
// before it was saved, or a leftover nobody wants, goes to the desktop's
// trash, never simply away.
//
// Each session locks its own file, so a second copy of the program running
// at the same time never offers or removes a take that is still going on.

#include "ByteRing.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace engine {

class RecoveryFile {
public:
    // `folder` is created when first needed. The header is brought up to
    // date and the file flushed to disk every `flushEvery` (about once a
    // second; a test may ask for every wake-up of the writer).
    explicit RecoveryFile(std::filesystem::path folder,
                          std::chrono::milliseconds flushEvery = std::chrono::seconds(1));
    ~RecoveryFile();
    RecoveryFile(const RecoveryFile&) = delete;
    RecoveryFile& operator=(const RecoveryFile&) = delete;

    // Moves a file to the desktop's trash; false when it could not.
    using Trash = std::function<bool(const std::filesystem::path& file)>;
    // Unset, files that go are removed instead.
    void setTrash(Trash trash) { trash_ = std::move(trash); }

    // Window thread. A new take: this session's previous file (a take not
    // saved) goes to the trash, a fresh one is started. False when it cannot be (the take is then
    // not kept on disk; recording goes on).
    bool begin();
    // The last begin() put this session's unsaved take in the trash (once
    // the move, made off the calling thread, is done).
    bool replacedToTrash() const { return replaced_ == Replaced::ToTrash; }
    // The last begin() could not put it there: it stays in the folder, a
    // leftover for the next start.
    bool replacedKept() const { return replaced_ == Replaced::Kept; }
    // Waits until the take the last begin() replaced is where it goes.
    void settle();
    // Capture thread: copies the block for the writer and returns at once.
    // A block that does not fit (the disk has stalled for many seconds)
    // ends the copy: failed() turns true.
    void append(const void* data, std::size_t bytes);
    // Window thread. The take is finished: everything handed over is written
    // and flushed; the file stays.
    void end();
    // Window thread. The session ends: the file stays, free for the next
    // start to offer.
    void release();
    // Window thread. The take was saved: the file goes.
    void discard();
    // Window thread. The take is not wanted: the file goes to the trash
    // (it stays, a leftover, when the trash refuses it).
    void throwAwayOwn();
    // Writing stopped for this take (no room, no permission, too slow).
    bool failed() const { return failed_.load(std::memory_order_acquire); }
    // Window thread, once the copy has failed: the file is named as
    // incomplete at once, so that a kill from here on is offered as such.
    void markCutShort();
    // The session's current file, empty when there is none.
    const std::filesystem::path& path() const { return path_; }

    // Files of sessions that ended without saving, holding sound, oldest
    // first. Empty leftovers are removed on the way.
    std::vector<std::filesystem::path> leftovers() const;
    // A leftover becomes this session's file: saved, it goes; a new take
    // replaces it. The session's file before it is let go, not removed.
    bool adopt(const std::filesystem::path& file);
    // A take nobody wants: to the trash, its header's sizes mended so that
    // it plays, named by when it was recorded and how long it is. When
    // the trash will not take it, it stays where it was (false).
    bool throwAway(const std::filesystem::path& file);
    // Whether a recovery file holds less than its take did: its copy
    // stopped early (a full disk), so it ends before the take ended.
    static bool cutShort(const std::filesystem::path& file);
    // When a recovery file's take was started (from its name, else when
    // the file was last written).
    static std::time_t recordedAt(const std::filesystem::path& file);
    // The name a thrown-away take has in the trash: "2026-12-08 06.45.12
    // 1分05秒.wav" (local time; "… 3秒.wav" under a minute).
    static std::string trashName(std::time_t recorded, std::uint64_t soundBytes);
    // The whole WAV image of a recovery file, its header's sizes set from
    // the sound actually on disk (the last flush may not have written
    // them). Nothing when it is not one of ours or holds no sound.
    static std::optional<std::vector<std::uint8_t>> readTake(const std::filesystem::path& file);

    // The ring the capture thread fills (tests make it small).
    void setRingBytes(std::size_t bytes) { ringBytes_ = bytes; }

private:
    void writerLoop();
    bool drain();
    bool flushHeader();
    void stopWriter();
    void closeFile();

    std::filesystem::path folder_;
    std::chrono::milliseconds flushEvery_;
    std::filesystem::path path_;
    Trash trash_;
    enum class Replaced { None, Going, ToTrash, Kept };
    std::atomic<Replaced> replaced_{Replaced::None};
    std::thread disposer_; // the replaced take on its way to the trash
    int fd_ = -1;
    std::size_t ringBytes_ = std::size_t(4) << 20; // about 24 s of sound
    ByteRing ring_;               // the capture thread puts in, the writer takes out
    std::uint64_t dataBytes_ = 0; // sound bytes in the file (writer thread)
    std::atomic<bool> failed_{false};
    std::mutex stopMutex_; // only the window and writer threads take it
    std::condition_variable stopSignal_;
    bool stop_ = false;
    bool settled_ = false; // the writer's last blocks and sizes are written
    std::thread writer_;
};

} // namespace engine

#include "RecordEngine.h"

#include "AtomicFile.h"
#include "FileNames.h"
#include "TakeNames.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <utility>

using namespace audio;

namespace engine {

RecordEngine::RecordEngine(AudioLibrary& library, EngineWindow& window, std::string programTitle)
    : library_(library), window_(window), programTitle_(std::move(programTitle)) {
    window_.onMachineSleeps([this] { MachineSleeps(); });
}

RecordEngine::~RecordEngine() {
    window_.onMachineSleeps({});
    Shutdown();
}

void RecordEngine::MachineSleeps() {
    if (RecordChannel == 0)
        return;
    stopNow();
    window_.captureEndedByEngine();
    window_.showMessage(programTitle_, scripted(text::kSleptSimplified, text::kSleptTraditional),
                        MessageIcon::Exclamation);
}

int RecordEngine::HiWord(std::int32_t value) {
    return (value / 65536) & 0xFFFF;
}

bool RecordEngine::LibraryStartup() {
    if (HiWord(std::int32_t(library_.BASS_GetVersion())) != 0x0203) {
        window_.showMessage(programTitle_, text::kWrongVersion, MessageIcon::Critical);
        return false;
    }
    void* handle = window_.nativeHandle();
    // Both devices are always asked for, recording first.
    const BOOL recordOpen = library_.BASS_RecordInit(-1);
    const BOOL outputOpen = library_.BASS_Init(-1, kSampleRate, 0, handle, nullptr);
    libraryOpen_ = true;
    if (!recordOpen || !outputOpen) {
        ReportBassError(text::kCantInitialize, text::kCantInitializeWhySimplified,
                        text::kCantInitializeWhyTraditional);
        return false;
    }
    releaseBlock();
    RecordLength = 0;
    RecordBufferStep = kDefaultStep;
    return true;
}

void RecordEngine::ReportBassError(const std::string& message) {
    const int code = library_.BASS_ErrorGetCode();
    window_.showMessage(text::kErrorTitle, message + "\r\n\r\nerror code: " + std::to_string(code),
                        MessageIcon::Exclamation);
}

void RecordEngine::ReportBassError(const std::string& message, const char* simplified,
                                   const char* traditional) {
    const int code = library_.BASS_ErrorGetCode();
    window_.showMessage(text::kErrorTitle,
                        message + "\r\n\r\nerror code: " + std::to_string(code) + "\r\n\r\n" +
                            scripted(simplified, traditional),
                        MessageIcon::Exclamation);
}

std::string RecordEngine::recordCaption() const {
    return scripted(text::kRecordSimplified, text::kRecordTraditional);
}

std::string RecordEngine::scripted(const char* simplified, const char* traditional) const {
    return window_.isSimplified() ? simplified : traditional;
}

void RecordEngine::setRecoveryFolder(const std::filesystem::path& folder,
                                     RecoveryFile::Trash trash) {
    recovery_ = std::make_unique<RecoveryFile>(folder);
    recovery_->setTrash(std::move(trash));
}

// Said once per take, while it goes on: the user may want to stop and save
// sooner than planned.
void RecordEngine::warnUnprotected() {
    if (warnedUnprotected_)
        return;
    warnedUnprotected_ = true;
    if (recovery_)
        recovery_->markCutShort();
    window_.showMessage(programTitle_,
                        scripted(text::kUnprotectedSimplified, text::kUnprotectedTraditional),
                        MessageIcon::Exclamation);
}

void RecordEngine::releaseBlock() {
    RecordBuffer.decommit();
    haveBlock_ = false;
    capacity_ = 0;
    takeFinished_ = false;
}

bool RecordEngine::growBlock(std::size_t bytes) {
    if ((mayGrow_ && !mayGrow_(bytes)) || !RecordBuffer.commit(bytes))
        return false;
    haveBlock_ = true;
    capacity_ = bytes;
    return true;
}

void RecordEngine::PrepareBlock() {
    if (haveBlock_) {
        library_.BASS_StreamFree(PlaybackStream);
        releaseBlock();
        PlaybackStream = 0;
        window_.setPlaySaveEnabled(false);
    }
    if (!growBlock(std::size_t(RecordBufferStep)))
        return;
    RecordLength = kHeaderBytes;
    WaveHeader = WaveHeader::forNewTake();
    // The three pieces of the header: RIFF, format chunk, data chunk head.
    std::memcpy(RecordBuffer.data(), WaveHeader.bytes.data(), 12);
    std::memcpy(RecordBuffer.data() + 12, WaveHeader.bytes.data() + 12, 24);
    std::memcpy(RecordBuffer.data() + 36, WaveHeader.bytes.data() + 36, 8);
}

namespace {

// The folder of a file name (UTF-8).
std::string parentFolder(const std::string& file) {
    const std::u8string folder =
        std::filesystem::path(std::u8string(file.begin(), file.end())).parent_path().u8string();
    return {folder.begin(), folder.end()};
}

std::int64_t nowNanoseconds() {
    using namespace std::chrono;
    return duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count();
}

} // namespace

void RecordEngine::StartRecording() {
    if (stopping_) {
        playWhenStopped_ = false; // the new take is what the user wants now
        saveWhenStopped_ = false;
        stopNow(); // the last take ends with what it has
    }
    // Checked before anything is released: with no microphone (a sound
    // server restarting) the take already recorded stays as it is.
    if (!library_.captureAvailable()) {
        window_.showMessage(programTitle_,
                            scripted(text::kNoMicrophoneSimplified, text::kNoMicrophoneTraditional),
                            MessageIcon::Exclamation);
        return;
    }
    PrepareBlock();
    if (!haveBlock_) {
        ReportBassError(text::kOutOfMemory, text::kNoRoomToStartWhySimplified,
                        text::kNoRoomToStartWhyTraditional);
        return;
    }
    endedByCallback_ = false;
    stopAt_ = 0;
    soundCut_ = 0;
    peak_ = 0;
    silence_.reset();
    lastBlockAt_ = 0; // the opening of the stream is not the source's rhythm
    interruptedSeconds_ = 0;
    takeSaved_ = false;
    longestGap_ = 0;
    warnedUnprotected_ = false;
    const bool keptOnDisk = !recovery_ || recovery_->begin();
    RecordChannel = library_.BASS_RecordStart(kSampleRate, kChannels, 0, &RecordCallback, this);
    if (RecordChannel == 0) {
        ReportBassError(text::kCantStart, text::kCantStartWhySimplified,
                        text::kCantStartWhyTraditional);
        if (recovery_)
            recovery_->discard();
        releaseBlock();
        return;
    }
    takeMadeAt_ = std::time(nullptr);
    showReplaced_ = true;
    window_.setRecordCaption(text::kStop);
    if (!keptOnDisk)
        warnUnprotected();
}

void RecordEngine::StopRecording(std::chrono::nanoseconds earlier) {
    showReplaced_ = false;
    if (stopping_)
        return;
    const audio::QWORD clock = library_.captureClock(RecordChannel);
    if (RecordChannel == 0 || clock == audio::QWORD(-1)) {
        stopNow();
        return;
    }
    // A paused capture delivers nothing more: it ends now, and what was
    // said while it was paused was never in the take.
    const bool running = library_.BASS_ChannelIsActive(RecordChannel) == BASS_ACTIVE_PLAYING;
    stopAt_ = std::min<std::int64_t>(
        takeMark(clock, running ? earlier : std::chrono::nanoseconds{}), maxTakeBytes_);
    if (!running) {
        stopNow();
        return;
    }
    stopping_ = true;
    stopBegan_ = steadyNow_();
    window_.setRecordCaption(recordCaption());
}

// Where in the take the sound time `clock`, less `earlier`, falls: on a
// whole frame, allowing for sound taken out at pauses, never before the
// take's start.
std::int64_t RecordEngine::takeMark(audio::QWORD clock, std::chrono::nanoseconds earlier) const {
    const std::int64_t frame = kChannels * kBitsPerSample / 8;
    const std::int64_t back =
        std::max<std::int64_t>(0, earlier.count()) * kSampleRate / 1000000000 * frame;
    return kHeaderBytes +
           std::max<std::int64_t>(0, std::int64_t(clock) / frame * frame - soundCut_ - back);
}

void RecordEngine::stopNow() {
    library_.BASS_ChannelStop(RecordChannel);
    RecordChannel = 0;
    stopping_ = false;
    // The capture thread is done: the block is ours. A stop whose moment
    // the take had already passed is cut back to it.
    const std::int64_t mark = stopAt_.exchange(0);
    if (mark > 0 && RecordLength > mark)
        RecordLength = std::int32_t(mark);
    window_.setRecordCaption(recordCaption());
    FinishTake();
    if (std::exchange(playWhenStopped_, false))
        Play();
    if (std::exchange(saveWhenStopped_, false))
        SaveRecording();
}

// Window thread: the block holding the stop's moment has arrived.
void RecordEngine::reachedStopMark(audio::HRECORD handle) {
    if (stopping_ && handle == RecordChannel)
        stopNow();
}

// The take as the window shows it beside the byte count. While recording,
// its length is the capture's own clock (pauses not counted), so that a
// microphone that delivers nothing at all is found silent too.
void RecordEngine::showTake(std::string savedTo) {
    TakeView view;
    view.recording = RecordChannel != 0 && !stopping_;
    view.paused = view.recording && paused();
    const audio::QWORD clock =
        view.recording ? library_.captureClock(RecordChannel) : audio::QWORD(-1);
    const std::int64_t bytes = clock != audio::QWORD(-1)
                                   ? std::int64_t(clock)
                                   : std::max<std::int64_t>(0, RecordLength - kHeaderBytes);
    view.seconds = double(bytes) / kBytesPerSecond;
    if (view.recording) {
        view.level = peak_.exchange(0);
        view.silent = !view.paused && silence_.add(view.level, view.seconds);
    }
    view.savedTo = std::move(savedTo);
    view.replacedToTrash = showReplaced_ && recovery_ && recovery_->replacedToTrash();
    view.replacedKept = showReplaced_ && recovery_ && recovery_->replacedKept();
    view.interruptedSeconds = interruptedSeconds_;
    window_.showTake(view);
}

void RecordEngine::FinishTake() {
    if (recovery_)
        recovery_->end();
    if (!haveBlock_)
        return;
    showTake();
    WaveHeader.setSizes(RecordLength);
    std::memcpy(RecordBuffer.data() + 4, WaveHeader.bytes.data() + 4, 4);
    std::memcpy(RecordBuffer.data() + 40, WaveHeader.bytes.data() + 40, 4);
    takeFinished_ = true;
    PlaybackStream =
        library_.BASS_StreamCreateFile(1, RecordBuffer.data(), 0, QWORD(RecordLength), 0);
    if (PlaybackStream != 0)
        window_.setPlaySaveEnabled(true);
}

BOOL RecordEngine::RecordCallback(HRECORD handle, const void* buffer, DWORD length, void* user) {
    return static_cast<RecordEngine*>(user)->onCapturedBlock(handle, buffer, length);
}

// Runs on the capture thread: no window, no box, no waiting.
// The handle comes from the library: RecordChannel may not be set yet when
// the first block arrives.
BOOL RecordEngine::onCapturedBlock(HRECORD handle, const void* buffer, DWORD length) {
    if (endedByCallback_.load(std::memory_order_relaxed))
        return 0;
    {
        const std::int64_t now = nowNanoseconds();
        const std::int64_t previous = lastBlockAt_.exchange(now);
        const std::int64_t gap = previous == 0 ? 0 : now - previous;
        if (gap > longestGap_.load(std::memory_order_relaxed))
            longestGap_ = gap;
    }
    std::int64_t take = length;
    EndReason reason = EndReason::None;

    // The take never passes its limit; it ends on a whole sample frame.
    const std::int64_t frame = kChannels * kBitsPerSample / 8;
    const std::int64_t lastByte = maxTakeBytes_ - (maxTakeBytes_ - kHeaderBytes) % frame;
    if (RecordLength + take > lastByte) {
        take = std::max<std::int64_t>(0, lastByte - RecordLength);
        reason = EndReason::TakeFull;
    }
    // A stop is under way: the take ends at its moment, in this block or
    // (when the take is already past it) at once.
    const std::int64_t stopAt = stopAt_.load();
    bool reachedStop = false;
    if (stopAt > 0 && RecordLength + take >= stopAt) {
        take = std::max<std::int64_t>(0, stopAt - RecordLength);
        reachedStop = true;
    }

    // Grow by the remainder rule, which keeps at least one step of room
    // above the data; the capacity test is a second guard on it.
    const std::int64_t step = RecordBufferStep;
    if ((RecordLength % step) + take >= step || std::size_t(RecordLength + take) > capacity_) {
        const std::int64_t wanted = std::min(RecordLength + take + step, maxTakeBytes_);
        if (!growBlock(std::size_t(wanted))) {
            endedByCallback_ = true;
            window_.postToWindowThread(
                [this, handle] { endedByEngine(handle, EndReason::OutOfMemory); });
            return 0;
        }
    }
    if (take > 0) {
        std::memcpy(RecordBuffer.data() + RecordLength, buffer, std::size_t(take));
        RecordLength += std::int32_t(take);
        if (recovery_)
            recovery_->append(buffer, std::size_t(take));
        // The level the window shows: a pass over a block just copied.
        const float peak = blockPeak(static_cast<const std::uint8_t*>(buffer), std::size_t(take));
        float shown = peak_.load(std::memory_order_relaxed);
        while (peak > shown &&
               !peak_.compare_exchange_weak(shown, peak, std::memory_order_relaxed)) {
        }
    }
    if (reachedStop) {
        endedByCallback_ = true;
        window_.postToWindowThread([this, handle] { reachedStopMark(handle); });
        return 0;
    }
    if (reason != EndReason::None) {
        endedByCallback_ = true;
        window_.postToWindowThread([this, handle, reason] { endedByEngine(handle, reason); });
        return 0;
    }
    return 1;
}

// Window thread: the capture thread ended the take. What was captured is
// kept and finished as by a stop, then the user is told why.
void RecordEngine::endedByEngine(HRECORD handle, EndReason reason) {
    if (handle != 0 && handle == RecordChannel) {
        stopNow();
        window_.captureEndedByEngine();
    }
    if (reason == EndReason::OutOfMemory)
        ReportBassError(text::kOutOfMemory, text::kNoRoomWhySimplified,
                        text::kNoRoomWhyTraditional);
    else if (reason == EndReason::DeviceLost)
        window_.showMessage(
            programTitle_,
            scripted(text::kMicrophoneLostSimplified, text::kMicrophoneLostTraditional),
            MessageIcon::Exclamation);
    else
        window_.showMessage(programTitle_,
                            window_.isSimplified() ? text::kTakeFullSimplified
                                                   : text::kTakeFullTraditional,
                            MessageIcon::Information);
}

void RecordEngine::PauseRecording(std::chrono::nanoseconds earlier) {
    showReplaced_ = false;
    if (stopping_)
        return;
    if (library_.BASS_ChannelIsActive(RecordChannel) == BASS_ACTIVE_PAUSED) {
        library_.BASS_ChannelPlay(RecordChannel, 0);
        return;
    }
    library_.BASS_ChannelPause(RecordChannel);
    // Paused, no block comes until the take resumes: the sound since the
    // pause was asked for (a spoken word) can be taken back out.
    const audio::QWORD clock = library_.captureClock(RecordChannel);
    if (earlier.count() <= 0 || clock == audio::QWORD(-1) ||
        library_.BASS_ChannelIsActive(RecordChannel) != BASS_ACTIVE_PAUSED)
        return;
    const std::int64_t mark = takeMark(clock, earlier);
    if (RecordLength > mark) {
        soundCut_ += RecordLength - mark;
        RecordLength = std::int32_t(mark);
    }
}

bool RecordEngine::paused() const {
    return RecordChannel != 0 && !stopping_ &&
           library_.BASS_ChannelIsActive(RecordChannel) == BASS_ACTIVE_PAUSED;
}

void RecordEngine::Play() {
    showReplaced_ = false;
    // Played as soon as a stop under way has finished the take.
    if (stopping_) {
        playWhenStopped_ = true;
        return;
    }
    library_.BASS_ChannelPlay(PlaybackStream, 0);
}

void RecordEngine::RefreshDisplay() {
    if (stopping_) {
        // The sound up to the stop is normally here within a few tens of
        // milliseconds. A source that hands over seconds at a time is waited
        // for as long as its longest wait so far; one that went quiet or
        // away holds the take up for three seconds at most. Kept on the
        // clock, not in refreshes: how often the window refreshes is its own
        // business.
        using namespace std::chrono;
        const auto patience = std::min<milliseconds>(
            milliseconds(400) + duration_cast<milliseconds>(nanoseconds(longestGap_.load())),
            seconds(3));
        if (steadyNow_() - stopBegan_ >= patience ||
            library_.BASS_ChannelIsActive(RecordChannel) == BASS_ACTIVE_STOPPED)
            stopNow();
        return;
    }
    if (RecordChannel != 0 && library_.BASS_ChannelIsActive(RecordChannel) == BASS_ACTIVE_STOPPED) {
        // The device went away (or the capture ended on its own and its
        // note is still on the way): what was captured is kept.
        if (!endedByCallback_.load())
            endedByEngine(RecordChannel, EndReason::DeviceLost);
        return;
    }
    if (RecordChannel != 0 && recovery_ && recovery_->failed())
        warnUnprotected();
    if (RecordChannel != 0) {
        // A stall that cost sound is said, to the second; less than a
        // second is the source's own rhythm.
        const audio::QWORD lost = library_.captureLost(RecordChannel);
        interruptedSeconds_ =
            lost >= kBytesPerSecond ? int((lost + kBytesPerSecond / 2) / kBytesPerSecond) : 0;
        const auto captured = std::uint32_t(library_.BASS_ChannelGetPosition(RecordChannel));
        window_.setPositionText(std::to_string(captured));
        showTake();
        return;
    }
    if (PlaybackStream == 0)
        return;
    const auto length = std::uint32_t(library_.BASS_ChannelGetLength(PlaybackStream));
    if (library_.BASS_ChannelIsActive(PlaybackStream) != BASS_ACTIVE_STOPPED) {
        const auto position = std::uint32_t(library_.BASS_ChannelGetPosition(PlaybackStream));
        const std::uint32_t seconds = position / kBytesPerSecond;
        window_.setPositionText(std::to_string(position) + " " + std::to_string(seconds / 60) +
                                ":" + std::to_string(seconds % 60) + " / " +
                                std::to_string(length));
    } else {
        window_.setPositionText(std::to_string(length));
    }
}

void RecordEngine::SaveRecording() {
    showReplaced_ = false;
    // Never read the block while the capture can still move it: a save
    // during a take ends the take first, and waits for its end.
    if (RecordChannel != 0)
        StopRecording();
    if (stopping_) {
        saveWhenStopped_ = true;
        return;
    }
    if (!hasFinishedTake())
        return; // nothing to save: writing an empty, invalid file helps nobody

    SaveDialogRequest request;
    request.title = text::kSaveTitle;
    request.filters = {{"WAV 文件", "*.wav"}, {"所有文件", "*.*"}};
    request.defaultExtension = "wav";
    request.simplified = window_.isSimplified();
    request.startIn = lastSavedFolder_;
    request.suggestedName =
        platform::safeFileName(takeFileName(takeMadeAt_, std::time(nullptr), request.simplified));
    const auto fileName = window_.askSaveFileName(request);
    if (!fileName)
        return;
    int error = 0;
    switch (platform::writeFileAtomically(*fileName, RecordBuffer.data(), std::size_t(RecordLength),
                                          &error)) {
    case platform::WriteResult::Ok:
        if (recovery_)
            recovery_->discard();
        lastSavedFolder_ = parentFolder(*fileName);
        interruptedSeconds_ = 0; // where it went is what she needs now
        takeSaved_ = true;
        showTake(*fileName);
        // A take that ended before any sound came (stopped at once, or its
        // microphone went): saved as it is, but never as if it held sound.
        if (RecordLength <= std::int32_t(kHeaderBytes))
            window_.showMessage(programTitle_,
                                scripted(text::kNoSoundSimplified, text::kNoSoundTraditional),
                                MessageIcon::Exclamation);
        break;
    case platform::WriteResult::CantCreate:
        reportSaveError(text::kCantCreate, error);
        break;
    case platform::WriteResult::CantWrite:
        reportSaveError(text::kCantWrite, error);
        break;
    }
}

// The box keeps its words and shows the system's own error number, then
// says in the window's script what went wrong and that nothing is lost.
void RecordEngine::reportSaveError(const char* message, int error) {
    const bool s = window_.isSimplified();
    const char* why = nullptr;
    switch (error) {
    case EACCES:
    case EPERM:
    case EROFS:
        why = s ? "没有权限在这个文件夹里保存。" : "沒有權限在這個資料夾裡保存。";
        break;
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
    case EFBIG:
        why = s ? "磁盘已满，放不下这个文件。" : "磁碟已滿，放不下這個檔案。";
        break;
    case ENAMETOOLONG:
        why = s ? "文件名太长了。" : "檔案名稱太長了。";
        break;
    case ENOENT:
    case ENOTDIR:
        why = s ? "这个文件夹不存在。" : "這個資料夾不存在。";
        break;
    case EISDIR:
        why = s ? "这个名字是一个文件夹。" : "這個名字是一個資料夾。";
        break;
    default:
        why = s ? "文件没能保存。" : "檔案沒能保存。";
        break;
    }
    window_.showMessage(text::kErrorTitle,
                        std::string(message) + "\r\n\r\nerror code: " + std::to_string(error) +
                            "\r\n\r\n" + why +
                            (s ? "录好的声音还在，请换一个文件夹或名字再保存。"
                               : "錄好的聲音還在，請換一個資料夾或名字再保存。"),
                        MessageIcon::Exclamation);
}

bool RecordEngine::QueryClose() {
    if (RecordChannel != 0 && !(recovery_ && recovery_->failed()))
        return true; // the copy on disk is whole: offered at the next start
    if (RecordChannel != 0)
        stopNow();
    if (!recovery_ || takeSaved_ || !hasFinishedTake() ||
        RecordLength <= std::int32_t(kHeaderBytes) || !recovery_->failed())
        return true;
    if (window_.askYesNo(programTitle_, scripted(text::kSaveBeforeCloseSimplified,
                                                 text::kSaveBeforeCloseTraditional))) {
        SaveRecording();
        return takeSaved_; // a save cancelled or failed: the window stays
    }
    recovery_->throwAwayOwn();
    return true;
}

void RecordEngine::Shutdown() {
    if (libraryOpen_) {
        // The recording device goes first so that no callback writes into
        // the block released below.
        library_.BASS_RecordFree();
        library_.BASS_Free();
        libraryOpen_ = false;
    }
    // An unsaved take stays on disk for the next start to offer.
    if (recovery_)
        recovery_->release();
    RecordChannel = 0;
    stopping_ = false;
    playWhenStopped_ = false;
    saveWhenStopped_ = false;
    PlaybackStream = 0;
    releaseBlock();
}

} // namespace engine

namespace engine {

bool RecordEngine::adoptTake(std::vector<std::uint8_t> image, std::time_t madeAt) {
    if (RecordChannel != 0)
        stopNow();
    library_.BASS_StreamFree(PlaybackStream);
    PlaybackStream = 0;
    releaseBlock();
    if (!growBlock(image.size()))
        return false;
    std::memcpy(RecordBuffer.data(), image.data(), image.size());
    RecordLength = std::int32_t(image.size());
    std::memcpy(WaveHeader.bytes.data(), image.data(), kHeaderBytes);
    takeFinished_ = true;
    takeSaved_ = false;
    takeMadeAt_ = madeAt;
    PlaybackStream =
        library_.BASS_StreamCreateFile(1, RecordBuffer.data(), 0, QWORD(RecordLength), 0);
    window_.setPlaySaveEnabled(PlaybackStream != 0);
    return true;
}

void RecordEngine::OfferRecovery() {
    if (!recovery_ || RecordChannel != 0)
        return;
    for (const std::filesystem::path& file : recovery_->leftovers()) {
        const std::string where = reinterpret_cast<const char*>(file.u8string().c_str());
        auto image = RecoveryFile::readTake(file);
        if (!image) {
            // Not a take any more (damaged, or never ours): asking about it
            // at every start would help nobody. Kept where it is when the
            // trash will not take it, and the user told where.
            const bool trashed = recovery_->throwAway(file);
            window_.showMessage(
                programTitle_,
                trashed
                    ? scripted(text::kRecoverTrashedSimplified, text::kRecoverTrashedTraditional)
                    : scripted(text::kRecoverFailedSimplified, text::kRecoverFailedTraditional) +
                          where,
                MessageIcon::Exclamation);
            continue;
        }
        const bool save = window_.askYesNo(programTitle_, recoveryQuestion(file, image->size()));
        if (!save) {
            recovery_->throwAway(file); // the trash refusing it: offered again
            continue;
        }
        // Adopted before the dialog: a cancelled save leaves it as this
        // session's unsaved take, still on disk. A take that cannot be held
        // in memory is never removed: the user is told where it is.
        if (!recovery_->adopt(file) ||
            !adoptTake(std::move(*image), RecoveryFile::recordedAt(file))) {
            window_.showMessage(
                programTitle_,
                scripted(text::kRecoverFailedSimplified, text::kRecoverFailedTraditional) + where,
                MessageIcon::Exclamation);
            continue;
        }
        SaveRecording();
    }
}

// The question, and below it what the take is: "12月8日 上午6点45分"
// (with the year when it is not this one) and "1分05秒".
std::string RecordEngine::recoveryQuestion(const std::filesystem::path& file,
                                           std::size_t imageBytes) const {
    const std::string when =
        momentInWords(RecoveryFile::recordedAt(file), std::time(nullptr), window_.isSimplified());
    const std::string length =
        lengthInWords(imageBytes > kHeaderBytes ? imageBytes - kHeaderBytes : 0, kBytesPerSecond);
    char detail[256];
    std::snprintf(detail, sizeof detail,
                  scripted(text::kRecoverDetailSimplified, text::kRecoverDetailTraditional).c_str(),
                  when.c_str(), length.c_str());
    return scripted(text::kRecoverSimplified, text::kRecoverTraditional) + "\r\n" +
           (RecoveryFile::cutShort(file)
                ? scripted(text::kRecoverCutSimplified, text::kRecoverCutTraditional) + "\r\n"
                : std::string()) +
           detail;
}

} // namespace engine

#pragma once
// One take in memory as a finished WAV image, and the operations that drive
// it: start, stop, pause, play, display, save, error reporting, start-up and
// shut-down of the audio library. One engine serves one window. Its parts:
// the take's block (TakeBlock), the capture thread's code (CaptureSink),
// the save's wording (TakeSaver), the recovery offer (RecoveryOffer) and
// its texts (EngineTexts).

#include "AudioLibrary.h"
#include "CaptureSink.h"
#include "EngineTexts.h"
#include "EngineWindow.h"
#include "LibrarySession.h"
#include "RecoveryFile.h"
#include "RecoveryOffer.h"
#include "SoundLevel.h"
#include "TakeBlock.h"
#include "TakeTiming.h"
#include "TakeView.h"
#include "WaveHeader.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace engine {

class RecordEngine {
public:
    static constexpr std::int32_t kDefaultStep = 200000;
    // RecordLength is a signed 32-bit count.
    static constexpr std::int64_t kMaxTakeBytes = 2147483647;

    // Asked before the take's block grows to `bytes`; false refuses, as a
    // system out of memory would. Replaceable so tests can fail growth.
    using GrowthCheck = TakeBlock::GrowthCheck;

    RecordEngine(audio::AudioLibrary& library, EngineWindow& window, std::string programTitle);
    ~RecordEngine();
    RecordEngine(const RecordEngine&) = delete;
    RecordEngine& operator=(const RecordEngine&) = delete;

    // Window thread. Shows its own message on failure and returns false;
    // `told` runs once the user has closed it, and ends the program.
    bool LibraryStartup(std::function<void()> told = {});
    // Opens the microphone ahead of a take, where the source is held only
    // while one runs: a source sends its first sound a while after it is
    // opened, so a prompt said before the take goes to it, and the take
    // begins with the microphone already running.
    void ReadyMicrophone() { library_.captureAvailable(); }
    void StartRecording();
    // Ends the take at the moment of the call when the library keeps a
    // capture clock: the blocks still on their way up to that moment are
    // waited for on the capture thread, not here, and the take is finished
    // when the one holding the moment arrives (or, without it, at the first
    // display refresh after a deadline kept on the steady clock: 0.4 s
    // plus the longest wait between blocks in the take, 3 s at most). Meanwhile capturing() is
    // false; a play or a save waits for the end. With `earlier`, the take ends that long before the
    // call (a spoken stop ends where the word began, not where it was
    // understood); a paused take ends where it was paused.
    void StopRecording(std::chrono::nanoseconds earlier = {});
    // Pauses or resumes the take. With `earlier`, a pause also takes back
    // out of the take the sound of that long before the call (the spoken
    // word that asked for it).
    void PauseRecording(std::chrono::nanoseconds earlier = {});
    void Play();
    void RefreshDisplay();
    // The steady clock a stop's deadline and the waits between blocks are
    // kept on (tests set their own).
    using SteadyClock = CaptureSink::Clock;
    void setSteadyClock(SteadyClock now);
    // Opens the save dialog for the finished take (a take running ends
    // first, and the dialog opens once it has). Nothing waits for the
    // dialog: `done` gets whether the take was saved once it has closed
    // (at once, false, when there is nothing to save or a dialog is open).
    void SaveRecording(std::function<void(bool saved)> done = {});
    // An error box with the library's error code, and below it, when given,
    // a line in the window's script.
    void ReportBassError(const std::string& message, const platform::ScriptText* why = nullptr,
                         std::function<void()> closed = {});
    void Shutdown();
    // Takes that sessions before this one recorded but never saved, offered
    // one by one (see RecoveryOffer); once at a time.
    void OfferRecovery();

    // Handed to the library; runs on its capture thread. `user` is the engine.
    static audio::BOOL RecordCallback(audio::HRECORD handle, const void* buffer,
                                      audio::DWORD length, void* user);

    // State, for the window and the tests (window thread, outside a capture).
    const std::uint8_t* recordBuffer() const { return block_.held() ? block_.data() : nullptr; }
    std::int32_t recordLength() const { return block_.length(); }
    std::int32_t recordBufferStep() const { return RecordBufferStep; }
    std::size_t recordBufferCapacity() const { return block_.capacity(); }
    audio::HRECORD recordChannel() const { return RecordChannel; }
    audio::HSTREAM playbackStream() const { return PlaybackStream; }
    bool capturing() const { return phase_ == Phase::Recording; }
    // A stop waits for the sound up to its moment.
    bool stopping() const { return phase_ == Phase::Stopping; }
    bool hasFinishedTake() const { return block_.finished(); }
    // Window thread, as the window is asked to close: false keeps it open.
    // A take with no whole copy on disk (the disk filled, or the copy
    // could not be made) would be lost with the window: she is asked to
    // save it, and `closeNow` runs once she has (saved, or answered 否,
    // which puts what is on disk in the trash); a save cancelled or failed
    // keeps the window.
    bool QueryClose(std::function<void()> closeNow);
    // The machine is about to sleep anyway (a closed lid): a take running
    // ends there and is kept, and she is told (read after the wake).
    void MachineSleeps();
    // When the take held was begun (a recovered one: when it was recorded).
    std::time_t takeMadeAt() const { return takeMadeAt_; }
    // A take is paused: PauseRecording() would resume it.
    bool paused() const;

    // Seams for tests and benchmarks; set before a take starts.
    void setGrowthCheck(GrowthCheck check) { block_.setGrowthCheck(std::move(check)); }
    void setMaxTakeBytes(std::int64_t bytes) { maxTakeBytes_ = bytes; }
    void setRecordBufferStep(std::int32_t step) { RecordBufferStep = step; }
    // Where the take in progress is also kept on disk; unset, it is not.
    // Takes thrown away go to `trash` (unset: removed).
    void setRecoveryFolder(const std::filesystem::path& folder, RecoveryFile::Trash trash = {});
    RecoveryFile* recovery() { return recovery_.get(); }

private:
    // Idle: no capture (a finished take may be held). Recording: a capture
    // runs, paused or not. Stopping: a stop waits for the sound up to its
    // moment.
    enum class Phase { Idle, Recording, Stopping };
    enum class EndReason { OutOfMemory, TakeFull, DeviceLost };

    // Every change of phase, and what the window shows of it.
    void enter(Phase next);
    audio::BOOL onCapturedBlock(audio::HRECORD handle, const void* buffer, audio::DWORD length);
    void endedByEngine(audio::HRECORD handle, EndReason reason);
    // Ends the capture now and finishes the take, cut at the stop's moment
    // if more than that came.
    void stopNow();
    void reachedStopMark(audio::HRECORD handle);
    void dropTake();
    void FinishTake();
    std::string scripted(const platform::ScriptText& text) const;
    std::string bassErrorText(const std::string& message, const platform::ScriptText* why) const;
    // A box with the program's title, in the window's script; nothing
    // waits for it.
    void tell(const platform::ScriptText& text, MessageIcon icon = MessageIcon::Exclamation);
    void warnUnprotected();
    bool adoptTake(std::vector<std::uint8_t> image, std::time_t madeAt);
    // Writes the take to the name chosen; false (and she is told) when it
    // could not be.
    bool writeTake(const std::string& fileName);
    void showTake(std::string savedTo = {});

    audio::AudioLibrary& library_;
    EngineWindow& window_;
    std::string programTitle_;
    std::int64_t maxTakeBytes_ = kMaxTakeBytes;
    std::int32_t RecordBufferStep = kDefaultStep;

    TakeBlock block_{std::size_t(kMaxTakeBytes) + 65536};
    SteadyClock steadyNow_ = [] { return std::chrono::steady_clock::now(); };
    CaptureSink sink_{block_, steadyNow_};
    Phase phase_ = Phase::Idle;
    audio::HRECORD RecordChannel = 0;
    audio::HSTREAM PlaybackStream = 0;
    LibrarySession session_{library_};
    std::unique_ptr<RecoveryFile> recovery_;
    bool warnedUnprotected_ = false;
    TakeTiming timing_;
    // Asked for while a stop waited: done once the take is finished.
    bool playWhenStopped_ = false;
    // A save asked for while a stop waited, with whom to tell how it went.
    std::optional<std::function<void(bool saved)>> saveWhenStopped_;
    SilenceWatch silence_;
    // Where the last save that worked went: the next save dialog opens there.
    std::string lastSavedFolder_;
    std::time_t takeMadeAt_ = 0;
    // Where the unsaved take this one replaced went (the trash, or kept
    // for the next start) is said until the user's next action.
    bool showReplaced_ = false;
    bool takeSaved_ = false; // the take in the block has been saved
    // She has said an unsaved take may go with the window.
    bool letGo_ = false;
    bool saveDialogOpen_ = false;
    // Counts the takes begun: a save dialog writes only the take it was
    // opened for.
    std::uint64_t takesBegun_ = 0;
    bool closeQuestionOpen_ = false;
    // She may answer a question about one before the next is offered.
    std::weak_ptr<RecoveryOffer> offer_;
    // Whole seconds of sound the take lost to a stall of the machine.
    int interruptedSeconds_ = 0;
};

} // namespace engine

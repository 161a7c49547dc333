#include "RecordEngine.h"

#include "TakeNames.h"
#include "TakeSaver.h"

#include <algorithm>
#include <chrono>
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
    if (phase_ == Phase::Idle)
        return;
    stopNow();
    window_.captureEndedByEngine();
    tell(text::kSlept);
}

void RecordEngine::setSteadyClock(SteadyClock now) {
    steadyNow_ = now;
    sink_.setClock(std::move(now));
}

// The phase changes only here; the record button says what it will do.
void RecordEngine::enter(Phase next) {
    phase_ = next;
    window_.setRecordCaption(next == Phase::Recording ? text::kStop : scripted(text::kRecord));
}

bool RecordEngine::LibraryStartup(std::function<void()> told) {
    switch (session_.open(window_.nativeHandle())) {
    case LibrarySession::Opened::WrongVersion:
        window_.showNotice(programTitle_, text::kWrongVersion, MessageIcon::Critical,
                           std::move(told));
        return false;
    case LibrarySession::Opened::NoDevice:
        ReportBassError(text::kCantInitialize, &text::kCantInitializeWhy, std::move(told));
        return false;
    case LibrarySession::Opened::Yes:
        break;
    }
    block_.release();
    block_.clearLength();
    RecordBufferStep = kDefaultStep;
    return true;
}

void RecordEngine::ReportBassError(const std::string& message, const platform::ScriptText* why,
                                   std::function<void()> closed) {
    window_.showNotice(text::kErrorTitle, bassErrorText(message, why), MessageIcon::Exclamation,
                       std::move(closed));
}

std::string RecordEngine::bassErrorText(const std::string& message,
                                        const platform::ScriptText* why) const {
    return message + "\r\n\r\nerror code: " + std::to_string(library_.BASS_ErrorGetCode()) +
           (why ? "\r\n\r\n" + scripted(*why) : std::string());
}

std::string RecordEngine::scripted(const platform::ScriptText& text) const {
    return text.in(window_.isSimplified());
}

void RecordEngine::tell(const platform::ScriptText& text, MessageIcon icon) {
    window_.showNotice(programTitle_, scripted(text), icon, {});
}

// The take held is let go (its playback stream first: it reads the block
// in place).
void RecordEngine::dropTake() {
    if (PlaybackStream != 0) {
        library_.BASS_StreamFree(PlaybackStream);
        PlaybackStream = 0;
    }
    if (block_.held())
        window_.setPlaySaveEnabled(false);
    block_.release();
}

void RecordEngine::StartRecording() {
    if (phase_ == Phase::Stopping) {
        playWhenStopped_ = false; // the new take is what the user wants now
        auto saveAskedFor = std::exchange(saveWhenStopped_, std::nullopt);
        stopNow(); // the last take ends with what it has
        if (saveAskedFor && *saveAskedFor)
            (*saveAskedFor)(false);
    }
    // Checked before anything is released: with no microphone (a sound
    // server restarting) the take already recorded stays as it is.
    if (!library_.captureAvailable()) {
        tell(text::kNoMicrophone);
        return;
    }
    dropTake();
    ++takesBegun_;
    if (!block_.begin(std::size_t(RecordBufferStep))) {
        ReportBassError(text::kOutOfMemory, &text::kNoRoomToStartWhy);
        return;
    }
    timing_.begin();
    silence_.reset();
    interruptedSeconds_ = 0;
    takeSaved_ = false;
    letGo_ = false;
    warnedUnprotected_ = false;
    const bool keptOnDisk = !recovery_ || recovery_->begin();
    sink_.begin(RecordBufferStep, maxTakeBytes_, recovery_.get());
    RecordChannel = library_.BASS_RecordStart(kSampleRate, kChannels, 0, &RecordCallback, this);
    if (RecordChannel == 0) {
        ReportBassError(text::kCantStart, &text::kCantStartWhy);
        if (recovery_)
            recovery_->discard();
        block_.release();
        return;
    }
    takeMadeAt_ = std::time(nullptr);
    showReplaced_ = true;
    enter(Phase::Recording);
    if (!keptOnDisk)
        warnUnprotected();
}

void RecordEngine::StopRecording(std::chrono::nanoseconds earlier) {
    showReplaced_ = false;
    if (phase_ == Phase::Stopping)
        return;
    const audio::QWORD clock = library_.captureClock(RecordChannel);
    if (phase_ == Phase::Idle || clock == audio::QWORD(-1)) {
        stopNow();
        return;
    }
    // A paused capture delivers nothing more: it ends now, and what was
    // said while it was paused was never in the take.
    const bool running = library_.BASS_ChannelIsActive(RecordChannel) == BASS_ACTIVE_PLAYING;
    sink_.stopAt(std::min<std::int64_t>(
        timing_.mark(clock, running ? earlier : std::chrono::nanoseconds{}), maxTakeBytes_));
    if (!running) {
        stopNow();
        return;
    }
    timing_.stopBegins(steadyNow_());
    enter(Phase::Stopping);
}

void RecordEngine::stopNow() {
    library_.BASS_ChannelStop(RecordChannel);
    RecordChannel = 0;
    // The capture thread is done: the block is ours. A stop whose moment
    // the take had already passed is cut back to it.
    block_.cutTo(sink_.takeStopMark());
    enter(Phase::Idle);
    FinishTake();
    if (std::exchange(playWhenStopped_, false))
        Play();
    if (auto saveAskedFor = std::exchange(saveWhenStopped_, std::nullopt))
        SaveRecording(std::move(*saveAskedFor));
}

// Window thread: the block holding the stop's moment has arrived.
void RecordEngine::reachedStopMark(audio::HRECORD handle) {
    if (phase_ == Phase::Stopping && handle == RecordChannel)
        stopNow();
}

// The take as the window shows it beside the byte count. While recording,
// its length is the capture's own clock (pauses not counted), so that a
// microphone that delivers nothing at all is found silent too.
void RecordEngine::showTake(std::string savedTo) {
    TakeView view;
    view.recording = phase_ == Phase::Recording;
    view.paused = view.recording && paused();
    const audio::QWORD clock =
        view.recording ? library_.captureClock(RecordChannel) : audio::QWORD(-1);
    const std::int64_t bytes = clock != audio::QWORD(-1)
                                   ? std::int64_t(clock)
                                   : std::max<std::int64_t>(0, block_.length() - kHeaderBytes);
    view.seconds = double(bytes) / kBytesPerSecond;
    if (view.recording) {
        view.level = sink_.takePeak();
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
    if (!block_.held())
        return;
    showTake();
    block_.finish();
    PlaybackStream = library_.BASS_StreamCreateFile(1, block_.data(), 0, QWORD(block_.length()), 0);
    if (PlaybackStream != 0)
        window_.setPlaySaveEnabled(true);
}

BOOL RecordEngine::RecordCallback(HRECORD handle, const void* buffer, DWORD length, void* user) {
    return static_cast<RecordEngine*>(user)->onCapturedBlock(handle, buffer, length);
}

// Runs on the capture thread: no window, no box, no waiting. The handle
// comes from the library: RecordChannel may not be set yet when the first
// block arrives.
BOOL RecordEngine::onCapturedBlock(HRECORD handle, const void* buffer, DWORD length) {
    const CaptureSink::Outcome outcome = sink_.take(buffer, length);
    if (outcome == CaptureSink::Outcome::More)
        return 1;
    if (outcome == CaptureSink::Outcome::ReachedStop)
        window_.postToWindowThread([this, handle] { reachedStopMark(handle); });
    else if (outcome != CaptureSink::Outcome::Ended)
        window_.postToWindowThread([this, handle, outcome] {
            endedByEngine(handle, outcome == CaptureSink::Outcome::TakeFull
                                      ? EndReason::TakeFull
                                      : EndReason::OutOfMemory);
        });
    return 0;
}

// Window thread: the capture thread ended the take. What was captured is
// kept and finished as by a stop, then the user is told why.
void RecordEngine::endedByEngine(HRECORD handle, EndReason reason) {
    if (handle != 0 && handle == RecordChannel) {
        stopNow();
        window_.captureEndedByEngine();
    }
    if (reason == EndReason::OutOfMemory)
        ReportBassError(text::kOutOfMemory, &text::kNoRoomWhy);
    else if (reason == EndReason::DeviceLost)
        tell(text::kMicrophoneLost);
    else
        tell(text::kTakeFull, MessageIcon::Information);
}

void RecordEngine::PauseRecording(std::chrono::nanoseconds earlier) {
    showReplaced_ = false;
    if (phase_ == Phase::Stopping)
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
    timing_.cutAtPause(block_, timing_.mark(clock, earlier));
}

bool RecordEngine::paused() const {
    return phase_ == Phase::Recording &&
           library_.BASS_ChannelIsActive(RecordChannel) == BASS_ACTIVE_PAUSED;
}

void RecordEngine::Play() {
    showReplaced_ = false;
    // Played as soon as a stop under way has finished the take.
    if (phase_ == Phase::Stopping) {
        playWhenStopped_ = true;
        return;
    }
    library_.BASS_ChannelPlay(PlaybackStream, 0);
}

void RecordEngine::RefreshDisplay() {
    if (phase_ == Phase::Stopping) {
        if (timing_.stopOverdue(steadyNow_(), sink_.longestGap()) ||
            library_.BASS_ChannelIsActive(RecordChannel) == BASS_ACTIVE_STOPPED)
            stopNow();
        return;
    }
    if (phase_ != Phase::Idle &&
        library_.BASS_ChannelIsActive(RecordChannel) == BASS_ACTIVE_STOPPED) {
        // The device went away (or the capture ended on its own and its
        // note is still on the way): what was captured is kept.
        if (!sink_.ended())
            endedByEngine(RecordChannel, EndReason::DeviceLost);
        return;
    }
    if (phase_ != Phase::Idle && recovery_ && recovery_->failed())
        warnUnprotected();
    if (phase_ != Phase::Idle) {
        interruptedSeconds_ = TakeTiming::stallSeconds(library_.captureLost(RecordChannel));
        const auto captured = std::uint32_t(library_.BASS_ChannelGetPosition(RecordChannel));
        window_.setPositionText(std::to_string(captured));
        showTake();
        return;
    }
    if (PlaybackStream == 0)
        return;
    const auto length = std::uint32_t(library_.BASS_ChannelGetLength(PlaybackStream));
    window_.setPositionText(
        library_.BASS_ChannelIsActive(PlaybackStream) != BASS_ACTIVE_STOPPED
            ? playbackPositionText(std::uint32_t(library_.BASS_ChannelGetPosition(PlaybackStream)),
                                   length)
            : std::to_string(length));
}

void RecordEngine::SaveRecording(std::function<void(bool)> done) {
    showReplaced_ = false;
    // Never read the block while the capture can still move it: a save
    // during a take ends the take first, and waits for its end.
    if (phase_ == Phase::Recording)
        StopRecording();
    if (phase_ == Phase::Stopping) {
        if (saveWhenStopped_ && *saveWhenStopped_)
            (*saveWhenStopped_)(false); // one save is asked for: this one
        saveWhenStopped_ = std::move(done);
        return;
    }
    // Nothing to save (writing an empty, invalid file helps nobody), or
    // the dialog is open already.
    if (!hasFinishedTake() || saveDialogOpen_) {
        if (done)
            done(false);
        return;
    }
    saveDialogOpen_ = true;
    window_.askSaveFileName(
        saveRequest(takeMadeAt_, lastSavedFolder_, window_.isSimplified()),
        [this, take = takesBegun_, done = std::move(done)](std::optional<std::string> fileName) {
            saveDialogOpen_ = false;
            // The dialog keeps her from starting another take meanwhile;
            // should one have begun all the same, the take the dialog
            // was for is gone, and she is told so.
            const bool sameTake = take == takesBegun_;
            if (fileName && !sameTake)
                tell(text::kTakeGoneBeforeSave, MessageIcon::Exclamation);
            const bool saved = fileName && sameTake && phase_ == Phase::Idle && hasFinishedTake() &&
                               writeTake(*fileName);
            if (done)
                done(saved);
        });
}

bool RecordEngine::writeTake(const std::string& fileName) {
    const std::int32_t length = block_.length();
    const SaveOutcome outcome =
        engine::writeTake(fileName, block_.data(), std::size_t(length), window_.isSimplified());
    if (!outcome.saved) {
        window_.showNotice(text::kErrorTitle, outcome.errorText, MessageIcon::Exclamation, {});
        return false;
    }
    if (recovery_)
        recovery_->discard();
    lastSavedFolder_ = parentFolder(fileName);
    interruptedSeconds_ = 0; // where it went is what she needs now
    takeSaved_ = true;
    showTake(fileName);
    // A take that ended before any sound came (stopped at once, or its
    // microphone went): saved as it is, but never as if it held sound.
    if (length <= kHeaderBytes)
        tell(text::kNoSound);
    return true;
}

void RecordEngine::Shutdown() {
    session_.close(); // before the block below is released
    // An unsaved take stays on disk for the next start to offer.
    if (recovery_)
        recovery_->release();
    RecordChannel = 0;
    phase_ = Phase::Idle; // not through enter(): the window may be going
    playWhenStopped_ = false;
    saveWhenStopped_.reset(); // the window is going: nobody to tell
    saveDialogOpen_ = false;
    closeQuestionOpen_ = false;
    PlaybackStream = 0;
    block_.release();
}

} // namespace engine

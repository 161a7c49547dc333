#include "FakeAudioLibrary.h"

using namespace audio;

namespace fake {

FakeAudioLibrary::FakeAudioLibrary() {
    thread_ = std::thread([this] { captureThread(); });
    std::unique_lock lock(captureMutex_);
    done_.wait(lock, [this] { return captureThreadId_ != std::thread::id(); });
}

FakeAudioLibrary::~FakeAudioLibrary() {
    {
        std::lock_guard lock(captureMutex_);
        quit_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void FakeAudioLibrary::captureThread() {
    std::unique_lock lock(captureMutex_);
    captureThreadId_ = std::this_thread::get_id();
    done_.notify_all();
    for (;;) {
        wake_.wait(lock, [this] { return quit_ || !pending_.empty(); });
        if (quit_)
            return;
        busy_ = true;
        const std::uint32_t size = pending_.front();
        pending_.pop_front();
        std::vector<std::uint8_t> block(size);
        for (auto& b : block)
            b = silentBlocks ? std::uint8_t(0 * produced_++) : std::uint8_t(produced_++);
        if (captureHandle_ != 0 && !paused_ && !ended_) {
            captured_ += size;
            ++callbacks_;
            onCaptureThread_ = onCaptureThread_ && std::this_thread::get_id() == captureThreadId_;
            if (!proc_(captureHandle_, block.data(), size, user_))
                ended_ = true;
        }
        busy_ = false;
        done_.notify_all();
    }
}

void FakeAudioLibrary::deliver(const std::vector<std::uint32_t>& blockSizes) {
    std::unique_lock lock(captureMutex_);
    pending_.insert(pending_.end(), blockSizes.begin(), blockSizes.end());
    wake_.notify_all();
    done_.wait(lock, [this] { return pending_.empty() && !busy_; });
}

int FakeAudioLibrary::callbacksRun() const {
    std::lock_guard lock(captureMutex_);
    return callbacks_;
}

bool FakeAudioLibrary::callbackRanOnCaptureThread() const {
    std::lock_guard lock(captureMutex_);
    return onCaptureThread_;
}

BOOL FakeAudioLibrary::fail(int code) {
    lastError_ = code;
    return 0;
}

BOOL FakeAudioLibrary::ok() {
    lastError_ = 0;
    return 1;
}

int FakeAudioLibrary::BASS_ErrorGetCode() {
    calls_.push_back("BASS_ErrorGetCode");
    return lastError_;
}

DWORD FakeAudioLibrary::BASS_GetVersion() {
    calls_.push_back("BASS_GetVersion");
    return version;
}

BOOL FakeAudioLibrary::BASS_RecordInit(int device) {
    calls_.push_back("BASS_RecordInit(" + std::to_string(device) + ")");
    if (failRecordInit)
        return fail(errorCodeOnFailure);
    recordOpen_ = true;
    return ok();
}

BOOL FakeAudioLibrary::BASS_Init(int device, DWORD freq, DWORD flags, void*, const void*) {
    calls_.push_back("BASS_Init(" + std::to_string(device) + "," + std::to_string(freq) + "," +
                     std::to_string(flags) + ")");
    if (failInit)
        return fail(errorCodeOnFailure);
    outputOpen_ = true;
    return ok();
}

HRECORD FakeAudioLibrary::BASS_RecordStart(DWORD freq, DWORD chans, DWORD flags, RECORDPROC* proc,
                                           void* user) {
    calls_.push_back("BASS_RecordStart(" + std::to_string(freq) + "," + std::to_string(chans) +
                     "," + std::to_string(flags) + ")");
    if (failRecordStart || !recordOpen_)
        return fail(errorCodeOnFailure);
    std::lock_guard lock(captureMutex_);
    captureHandle_ = ++nextHandle_;
    proc_ = proc;
    user_ = user;
    paused_ = false;
    ended_ = false;
    captured_ = 0;
    lastError_ = 0;
    return captureHandle_;
}

BOOL FakeAudioLibrary::BASS_ChannelStop(DWORD handle) {
    calls_.push_back("BASS_ChannelStop");
    std::lock_guard lock(captureMutex_); // waits for a callback that is running
    if (handle != 0 && handle == captureHandle_) {
        captureHandle_ = 0;
        proc_ = nullptr;
        return ok();
    }
    if (auto it = streams_.find(handle); it != streams_.end()) {
        it->second.playing = false;
        return ok();
    }
    return fail(BASS_ERROR_HANDLE);
}

BOOL FakeAudioLibrary::BASS_ChannelPause(DWORD handle) {
    calls_.push_back("BASS_ChannelPause(" + std::to_string(handle) + ")");
    std::lock_guard lock(captureMutex_);
    if (handle != 0 && handle == captureHandle_) {
        paused_ = true;
        return ok();
    }
    if (auto it = streams_.find(handle); it != streams_.end()) {
        it->second.playing = false;
        return ok();
    }
    return fail(BASS_ERROR_HANDLE);
}

BOOL FakeAudioLibrary::BASS_ChannelPlay(DWORD handle, BOOL restart) {
    calls_.push_back("BASS_ChannelPlay(" + std::to_string(handle) + "," + std::to_string(restart) +
                     ")");
    std::lock_guard lock(captureMutex_);
    if (handle != 0 && handle == captureHandle_) {
        paused_ = false;
        return ok();
    }
    if (auto it = streams_.find(handle); it != streams_.end()) {
        auto& s = it->second;
        s.playing = true;
        ++s.playCalls;
        s.restartFlags.push_back(restart);
        if (restart || s.position >= s.length)
            s.position = 0;
        return ok();
    }
    return fail(BASS_ERROR_HANDLE);
}

void FakeAudioLibrary::loseCaptureDevice() {
    std::lock_guard lock(captureMutex_);
    ended_ = true;
}

DWORD FakeAudioLibrary::BASS_ChannelIsActive(DWORD handle) {
    calls_.push_back("BASS_ChannelIsActive(" + std::to_string(handle) + ")");
    std::lock_guard lock(captureMutex_);
    if (handle != 0 && handle == captureHandle_)
        return ended_ ? BASS_ACTIVE_STOPPED : paused_ ? BASS_ACTIVE_PAUSED : BASS_ACTIVE_PLAYING;
    if (auto it = streams_.find(handle); it != streams_.end())
        return it->second.playing ? BASS_ACTIVE_PLAYING : BASS_ACTIVE_STOPPED;
    fail(BASS_ERROR_HANDLE);
    return BASS_ACTIVE_STOPPED;
}

QWORD FakeAudioLibrary::captureClock(HRECORD handle) {
    std::lock_guard lock(captureMutex_);
    if (clock < 0 || handle == 0 || handle != captureHandle_)
        return QWORD(-1);
    return QWORD(clock.load());
}

QWORD FakeAudioLibrary::BASS_ChannelGetPosition(DWORD handle) {
    std::lock_guard lock(captureMutex_);
    if (handle != 0 && handle == captureHandle_)
        return captured_;
    if (auto it = streams_.find(handle); it != streams_.end())
        return it->second.position;
    fail(BASS_ERROR_HANDLE);
    return QWORD(-1);
}

QWORD FakeAudioLibrary::BASS_ChannelGetLength(DWORD handle) {
    if (auto it = streams_.find(handle); it != streams_.end())
        return it->second.length;
    fail(BASS_ERROR_HANDLE);
    return QWORD(-1);
}

HSTREAM FakeAudioLibrary::BASS_StreamCreateFile(BOOL mem, const void* file, QWORD offset,
                                                QWORD length, DWORD flags) {
    calls_.push_back("BASS_StreamCreateFile(" + std::to_string(mem) + "," + std::to_string(offset) +
                     "," + std::to_string(length) + "," + std::to_string(flags) + ")");
    if (failStreamCreate || !outputOpen_)
        return fail(errorCodeOnFailure);
    StreamInfo info;
    info.image = file;
    info.length = length >= 44 ? length - 44 : 0;
    const HSTREAM h = ++nextStream_;
    streams_[h] = info;
    lastError_ = 0;
    return h;
}

BOOL FakeAudioLibrary::BASS_StreamFree(HSTREAM handle) {
    calls_.push_back("BASS_StreamFree(" + std::to_string(handle) + ")");
    if (streams_.erase(handle) == 0)
        return fail(BASS_ERROR_HANDLE);
    return ok();
}

BOOL FakeAudioLibrary::BASS_RecordFree() {
    calls_.push_back("BASS_RecordFree");
    std::lock_guard lock(captureMutex_);
    captureHandle_ = 0;
    proc_ = nullptr;
    recordOpen_ = false;
    lastError_ = 0;
    return 1;
}

BOOL FakeAudioLibrary::BASS_Free() {
    calls_.push_back("BASS_Free");
    streams_.clear();
    outputOpen_ = false;
    return ok();
}

void FakeAudioLibrary::finishStream(HSTREAM handle) {
    auto& s = streams_.at(handle);
    s.playing = false;
    s.position = s.length;
}

void FakeAudioLibrary::setStreamPosition(HSTREAM handle, QWORD position) {
    streams_.at(handle).position = position;
}

const FakeAudioLibrary::StreamInfo* FakeAudioLibrary::stream(HSTREAM handle) const {
    auto it = streams_.find(handle);
    return it == streams_.end() ? nullptr : &it->second;
}

} // namespace fake

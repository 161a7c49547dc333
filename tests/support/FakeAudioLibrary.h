#pragma once
// A scriptable audio library: captured blocks are delivered on a thread of
// its own, like a real capture thread; every call can be made to fail.

#include "AudioLibrary.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace fake {

class FakeAudioLibrary final : public audio::AudioLibrary {
public:
    FakeAudioLibrary();
    ~FakeAudioLibrary() override;

    // Script.
    audio::DWORD version = 0x02030000;
    bool failRecordInit = false;
    bool failInit = false;
    bool failRecordStart = false;
    bool failStreamCreate = false;
    int errorCodeOnFailure = 3;

    // Delivers one block per entry on the capture thread and returns when
    // all were handed over (or dropped: paused, stopped, ended). Block
    // bytes continue a running byte pattern: byte i of the capture is i & 0xFF.
    void deliver(const std::vector<std::uint32_t>& blockSizes);
    // How many callbacks ran, and how many of them returned 0.
    int callbacksRun() const;
    bool callbackRanOnCaptureThread() const;

    // The capture's sound clock (bytes); unset, the library keeps none and
    // a stop ends the take with its last block.
    std::atomic<long long> clock{-1};
    // Sound the capture lost to a stall (bytes).
    std::atomic<audio::QWORD> lost{0};

    // The capture device goes away (unplugged): no more blocks, and the
    // capture reads as stopped.
    void loseCaptureDevice();
    // false: no microphone can be opened (a sound server away).
    bool microphonePresent = true;
    int microphoneAsked = 0; // captureAvailable calls: the device opened
    // Blocks of exact digital silence instead of the counting pattern.
    std::atomic<bool> silentBlocks{false};

    // Playback control for tests.
    void finishStream(audio::HSTREAM handle);
    void setStreamPosition(audio::HSTREAM handle, audio::QWORD position);

    struct StreamInfo {
        const void* image = nullptr;
        audio::QWORD length = 0;
        audio::QWORD position = 0;
        bool playing = false;
        int playCalls = 0;
        std::vector<int> restartFlags;
    };
    const StreamInfo* stream(audio::HSTREAM handle) const;
    const std::vector<std::string>& calls() const { return calls_; }
    bool recordOpen() const { return recordOpen_; }
    bool outputOpen() const { return outputOpen_; }

    audio::DWORD BASS_GetVersion() override;
    audio::BOOL BASS_RecordInit(int device) override;
    audio::BOOL BASS_Init(int device, audio::DWORD freq, audio::DWORD flags, void* win,
                          const void* clsid) override;
    audio::HRECORD BASS_RecordStart(audio::DWORD freq, audio::DWORD chans, audio::DWORD flags,
                                    audio::RECORDPROC* proc, void* user) override;
    audio::BOOL BASS_ChannelStop(audio::DWORD handle) override;
    audio::BOOL BASS_ChannelPause(audio::DWORD handle) override;
    audio::BOOL BASS_ChannelPlay(audio::DWORD handle, audio::BOOL restart) override;
    audio::DWORD BASS_ChannelIsActive(audio::DWORD handle) override;
    audio::QWORD BASS_ChannelGetPosition(audio::DWORD handle) override;
    audio::QWORD BASS_ChannelGetLength(audio::DWORD handle) override;
    audio::HSTREAM BASS_StreamCreateFile(audio::BOOL mem, const void* file, audio::QWORD offset,
                                         audio::QWORD length, audio::DWORD flags) override;
    audio::BOOL BASS_StreamFree(audio::HSTREAM handle) override;
    audio::BOOL BASS_RecordFree() override;
    audio::BOOL BASS_Free() override;
    int BASS_ErrorGetCode() override;
    audio::QWORD captureClock(audio::HRECORD handle) override;
    audio::QWORD captureLost(audio::HRECORD) override { return lost; }
    bool captureAvailable() override {
        ++microphoneAsked;
        return microphonePresent;
    }

private:
    audio::BOOL fail(int code);
    audio::BOOL ok();
    void captureThread();

    std::vector<std::string> calls_;
    int lastError_ = 0;
    bool recordOpen_ = false;
    bool outputOpen_ = false;

    // Capture state shared with the capture thread, under captureMutex_
    // (held around each callback, so ChannelStop waits for a running one).
    mutable std::mutex captureMutex_;
    std::condition_variable wake_;
    std::condition_variable done_;
    std::deque<std::uint32_t> pending_;
    bool busy_ = false;
    bool quit_ = false;
    audio::HRECORD captureHandle_ = 0;
    audio::HRECORD nextHandle_ = 0x100;
    audio::RECORDPROC* proc_ = nullptr;
    void* user_ = nullptr;
    bool paused_ = false;
    bool ended_ = false;
    audio::QWORD captured_ = 0;
    std::uint64_t produced_ = 0;
    int callbacks_ = 0;
    bool onCaptureThread_ = true;
    std::thread::id captureThreadId_;
    std::thread thread_;

    std::map<audio::HSTREAM, StreamInfo> streams_;
    audio::HSTREAM nextStream_ = 0x200;
};

} // namespace fake

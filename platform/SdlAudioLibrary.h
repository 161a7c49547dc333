#pragma once
// The audio library on SDL2: capture (SdlCapture) with a callback on SDL's
// own thread, memory streams played in place (SdlPlayback). This class only
// routes each call by its handle and keeps the last error code.

#include "AudioLibrary.h"
#include "SdlCapture.h"
#include "SdlPlayback.h"

#include <atomic>

namespace audio {

class SdlAudioLibrary final : public AudioLibrary {
public:
    SdlAudioLibrary() = default;
    ~SdlAudioLibrary() override = default;
    SdlAudioLibrary(const SdlAudioLibrary&) = delete;
    SdlAudioLibrary& operator=(const SdlAudioLibrary&) = delete;

    // All calls below are made from one thread, the window thread.
    DWORD BASS_GetVersion() override;
    BOOL BASS_RecordInit(int device) override;
    BOOL BASS_Init(int device, DWORD freq, DWORD flags, void* win, const void* clsid) override;
    HRECORD BASS_RecordStart(DWORD freq, DWORD chans, DWORD flags, RECORDPROC* proc,
                             void* user) override;
    BOOL BASS_ChannelStop(DWORD handle) override;
    BOOL BASS_ChannelPause(DWORD handle) override;
    BOOL BASS_ChannelPlay(DWORD handle, BOOL restart) override;
    DWORD BASS_ChannelIsActive(DWORD handle) override;
    QWORD BASS_ChannelGetPosition(DWORD handle) override;
    QWORD BASS_ChannelGetLength(DWORD handle) override;
    HSTREAM BASS_StreamCreateFile(BOOL mem, const void* file, QWORD offset, QWORD length,
                                  DWORD flags) override;
    BOOL BASS_StreamFree(HSTREAM handle) override;
    BOOL BASS_RecordFree() override;
    BOOL BASS_Free() override;
    int BASS_ErrorGetCode() override;
    QWORD captureClock(HRECORD handle) override;
    QWORD captureLost(HRECORD handle) override {
        return capture_.owns(handle) ? capture_.lost() : 0;
    }
    bool captureAvailable() override { return capture_.available(); }

private:
    // Records `code` as the last error; true for BASS_OK.
    BOOL answer(int code);

    // Freed in this order: the capture's device before the output's.
    SdlPlayback playback_;
    SdlCapture capture_;
    std::atomic<int> lastError_{BASS_OK};
};

} // namespace audio

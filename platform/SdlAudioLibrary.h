#pragma once
// The audio library on SDL2: capture with a callback on SDL's own thread,
// memory streams played in place on the default output device.

#include "AudioLibrary.h"
#include "CaptureSource.h"
#include "WavFormat.h"

#include <SDL.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace audio {

class SdlAudioLibrary final : public AudioLibrary {
public:
    SdlAudioLibrary();
    ~SdlAudioLibrary() override;
    SdlAudioLibrary(const SdlAudioLibrary&) = delete;
    SdlAudioLibrary& operator=(const SdlAudioLibrary&) = delete;

    // All calls below are made from one thread, the window thread; the
    // state they share with SDL's threads is taken under the device locks.
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

private:
    struct Stream;
    struct AudioStreamDeleter {
        void operator()(SDL_AudioStream* s) const { SDL_FreeAudioStream(s); }
    };

    // Holds an SDL device lock for the lifetime of the object.
    class DeviceLock {
    public:
        explicit DeviceLock(SDL_AudioDeviceID id) : id_(id) { SDL_LockAudioDevice(id_); }
        ~DeviceLock() { SDL_UnlockAudioDevice(id_); }
        DeviceLock(const DeviceLock&) = delete;
        DeviceLock& operator=(const DeviceLock&) = delete;

    private:
        SDL_AudioDeviceID id_;
    };

    static void SDLCALL captureCallback(void* self, Uint8* data, int len);
    static void SDLCALL outputCallback(void* self, Uint8* data, int len);

    BOOL fail(int code);
    BOOL succeed();
    bool openCaptureDevice(DWORD freq, DWORD chans);
    void closeCaptureDevice();
    bool isCapture(DWORD handle) const { return handle != 0 && handle == captureHandle_; }
    Stream* findStream(DWORD handle);
    bool openOutputDevice();
    void closeOutputDevice();
    // Closes the output device once no stream plays.
    void pauseOutputWhenQuiet();

    bool sdlAudioUp_ = false;
    std::atomic<int> lastError_{BASS_OK};

    // Capture. captureHandle_, proc_, user_, captureEnded_ and capturePaused_
    // change only
    // under the capture device's lock, which SDL holds around the callback.
    SDL_AudioDeviceID captureDevice_ = 0;
    DWORD captureFreq_ = 0;
    DWORD captureChans_ = 0;
    HRECORD captureHandle_ = 0;
    HRECORD nextCaptureHandle_ = 0x10000;
    RECORDPROC* proc_ = nullptr;
    void* user_ = nullptr;
    bool captureEnded_ = false;
    bool capturePaused_ = false;
    // The microphone a take began on.
    platform::CaptureSource captureSource_;
    std::atomic<QWORD> capturedBytes_{0};
    // Sound time that has passed in the take (bytes), and when it was last
    // counted: a take never holds more than that.
    double captureBudget_ = 0;
    std::chrono::steady_clock::time_point captureClock_;

    // Playback. The stream list changes only under the output device's lock.
    SDL_AudioDeviceID outputDevice_ = 0;
    SDL_AudioSpec outputSpec_{};
    bool outputRunning_ = false;
    bool outputInit_ = false; // BASS_Init succeeded; the device is open only while playing
    DWORD outputFreq_ = 44100;
    HSTREAM nextStreamHandle_ = 0x20000;
    std::vector<std::unique_ptr<Stream>> streams_;
    std::vector<Uint8> mixScratch_;
};

} // namespace audio

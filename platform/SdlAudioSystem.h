#pragma once
// SDL's audio, started once per user of it: every capture, playback or
// microphone layer holds an SdlAudioSystem while it has devices, and SDL
// counts the starts, so the last one to go stops it. An SdlDevice is one
// open device, closed when it goes.

#include <SDL.h>

#include <utility>

namespace platform {

class SdlAudioSystem {
public:
    SdlAudioSystem() = default;
    ~SdlAudioSystem() { stop(); }
    SdlAudioSystem(const SdlAudioSystem&) = delete;
    SdlAudioSystem& operator=(const SdlAudioSystem&) = delete;

    // False when SDL's audio cannot start (no driver at all).
    bool start();
    void stop();
    bool started() const { return started_; }

private:
    bool started_ = false;
};

class SdlDevice {
public:
    enum class Kind { Capture, Output };

    SdlDevice() = default;
    ~SdlDevice() { close(); }
    SdlDevice(SdlDevice&& other) noexcept : id_(std::exchange(other.id_, 0)) {}
    SdlDevice& operator=(SdlDevice&& other) noexcept {
        if (this != &other) {
            close();
            id_ = std::exchange(other.id_, 0);
        }
        return *this;
    }
    SdlDevice(const SdlDevice&) = delete;
    SdlDevice& operator=(const SdlDevice&) = delete;

    // The default device of `kind` in exactly the format asked for (SDL
    // converts whatever the hardware gives): 16-bit samples, little-endian
    // unless said, `frames` per callback, paused. `have` gets the format
    // opened; false when there is no such device.
    bool open(Kind kind, int freq, int channels, Uint16 frames, SDL_AudioCallback callback,
              void* user, SDL_AudioSpec* have = nullptr, SDL_AudioFormat format = AUDIO_S16LSB);
    void close();
    void run(bool on) {
        if (id_ != 0)
            SDL_PauseAudioDevice(id_, on ? 0 : 1);
    }
    bool isOpen() const { return id_ != 0; }
    SDL_AudioDeviceID id() const { return id_; }
    // A device that went away (unplugged, its sound server gone).
    bool stopped() const { return id_ != 0 && SDL_GetAudioDeviceStatus(id_) == SDL_AUDIO_STOPPED; }

    // Holds the device's lock, which SDL also holds around its callback:
    // while a Lock lives no callback runs.
    class Lock {
    public:
        explicit Lock(const SdlDevice& d) : id_(d.id_) {
            if (id_ != 0)
                SDL_LockAudioDevice(id_);
        }
        ~Lock() {
            if (id_ != 0)
                SDL_UnlockAudioDevice(id_);
        }
        Lock(const Lock&) = delete;
        Lock& operator=(const Lock&) = delete;

    private:
        SDL_AudioDeviceID id_;
    };

private:
    SDL_AudioDeviceID id_ = 0;
};

} // namespace platform

#pragma once
// Playback on SDL: WAV images in memory played in place, mixed on SDL's
// output thread. The output device is open only while something plays: an
// open device streams silence to the sound server all the time, which cost
// as much as a recording.
//
// Every call is made from one thread (the window thread); the stream list
// and each stream's place change only under the device's lock. Calls
// answer with an audio library error code (BASS_OK for success).

#include "AudioLibrary.h"
#include "SdlAudioSystem.h"
#include "WavFormat.h"

#include <memory>
#include <vector>

namespace audio {

class SdlPlayback {
public:
    SdlPlayback();
    ~SdlPlayback();
    SdlPlayback(const SdlPlayback&) = delete;
    SdlPlayback& operator=(const SdlPlayback&) = delete;

    int init(DWORD freq);
    bool ready() const { return ready_; }
    int createStream(const Uint8* image, std::size_t length, HSTREAM& handle);
    int freeStream(HSTREAM handle);
    bool owns(DWORD handle) const { return find(handle) != nullptr; }
    int play(HSTREAM handle, bool restart);
    int pause(HSTREAM handle);
    int stop(HSTREAM handle);
    DWORD state(HSTREAM handle);
    QWORD position(HSTREAM handle) const;
    QWORD length(HSTREAM handle) const;
    int free();

private:
    struct Stream;
    static void SDLCALL callback(void* self, Uint8* data, int len);
    Stream* find(DWORD handle) const;
    bool openDevice();
    // Closes the device once no stream plays.
    void closeWhenQuiet();

    platform::SdlAudioSystem sdl_;
    platform::SdlDevice device_;
    SDL_AudioSpec spec_{};
    bool running_ = false;
    bool ready_ = false; // init succeeded; the device is open only while playing
    DWORD freq_ = 44100;
    HSTREAM nextHandle_ = 0x20000;
    std::vector<std::unique_ptr<Stream>> streams_;
    std::vector<Uint8> scratch_;
};

} // namespace audio

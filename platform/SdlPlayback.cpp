#include "SdlPlayback.h"

#include <algorithm>
#include <cstring>

namespace audio {
namespace {

constexpr Uint16 kDeviceFrames = 1024; // about 23 ms per callback at 44.1 kHz

SDL_AudioFormat sdlFormatFor(const PcmFormat& f) {
    return f.bitsPerSample == 8 ? AUDIO_U8 : AUDIO_S16LSB;
}

struct AudioStreamDeleter {
    void operator()(SDL_AudioStream* s) const { SDL_FreeAudioStream(s); }
};

} // namespace

struct SdlPlayback::Stream {
    HSTREAM handle = 0;
    const Uint8* samples = nullptr;
    std::size_t bytes = 0;
    std::size_t position = 0; // source bytes handed to the device so far
    bool playing = false;
    // Only when the image's format differs from the device's.
    std::unique_ptr<SDL_AudioStream, AudioStreamDeleter> converter;

    void rewind() {
        position = 0;
        if (converter)
            SDL_AudioStreamClear(converter.get());
    }
};

SdlPlayback::SdlPlayback() = default;
SdlPlayback::~SdlPlayback() {
    free();
}

int SdlPlayback::init(DWORD freq) {
    if (ready_)
        return BASS_ERROR_ALREADY;
    if (!sdl_.start())
        return BASS_ERROR_DRIVER;
    freq_ = freq;
    // Opened once to know that there is an output and its format, then
    // closed until something plays.
    if (!openDevice()) {
        sdl_.stop();
        return BASS_ERROR_DEVICE;
    }
    device_.close();
    ready_ = true;
    return BASS_OK;
}

bool SdlPlayback::openDevice() {
    if (device_.isOpen())
        return true;
    running_ = false;
    return device_.open(platform::SdlDevice::Kind::Output, int(freq_), 2, kDeviceFrames,
                        &SdlPlayback::callback, this, &spec_);
}

int SdlPlayback::createStream(const Uint8* image, std::size_t length, HSTREAM& handle) {
    if (!ready_)
        return BASS_ERROR_INIT;
    const auto format = parseWavImage(image, length);
    if (!format)
        return BASS_ERROR_FORMAT;
    auto stream = std::make_unique<Stream>();
    stream->samples = image + format->dataOffset;
    stream->bytes = format->dataBytes;
    const SDL_AudioFormat from = sdlFormatFor(*format);
    if (from != spec_.format || format->channels != spec_.channels ||
        int(format->sampleRate) != spec_.freq) {
        stream->converter.reset(SDL_NewAudioStream(from, Uint8(format->channels),
                                                   int(format->sampleRate), spec_.format,
                                                   spec_.channels, spec_.freq));
        if (!stream->converter)
            return BASS_ERROR_FORMAT;
    }
    stream->handle = ++nextHandle_;
    handle = stream->handle;
    platform::SdlDevice::Lock lock(device_);
    streams_.push_back(std::move(stream));
    return BASS_OK;
}

int SdlPlayback::freeStream(HSTREAM handle) {
    if (!ready_ || handle == 0)
        return BASS_ERROR_HANDLE;
    std::unique_ptr<Stream> gone;
    {
        // Once the lock is released the callback cannot be reading the
        // image any more, so the caller may release it.
        platform::SdlDevice::Lock lock(device_);
        auto it = std::find_if(streams_.begin(), streams_.end(),
                               [handle](const auto& s) { return s->handle == handle; });
        if (it == streams_.end())
            return BASS_ERROR_HANDLE;
        gone = std::move(*it);
        streams_.erase(it);
    }
    closeWhenQuiet();
    return BASS_OK;
}

SdlPlayback::Stream* SdlPlayback::find(DWORD handle) const {
    if (!ready_ || handle == 0)
        return nullptr;
    // The list is only changed by this thread, so reading it needs no lock.
    for (const auto& s : streams_)
        if (s->handle == handle)
            return s.get();
    return nullptr;
}

int SdlPlayback::play(HSTREAM handle, bool restart) {
    Stream* s = find(handle);
    if (!s)
        return BASS_ERROR_HANDLE;
    {
        platform::SdlDevice::Lock lock(device_);
        // A stream that has played to its end starts again from the top.
        if (restart || s->position >= s->bytes)
            s->rewind();
        s->playing = true;
    }
    if (!running_) {
        if (!openDevice()) {
            s->playing = false;
            return BASS_ERROR_DEVICE;
        }
        device_.run(true);
        running_ = true;
    }
    return BASS_OK;
}

int SdlPlayback::pause(HSTREAM handle) {
    Stream* s = find(handle);
    if (!s)
        return BASS_ERROR_HANDLE;
    platform::SdlDevice::Lock lock(device_);
    if (!s->playing)
        return BASS_ERROR_NOTAVAIL;
    s->playing = false;
    return BASS_OK;
}

int SdlPlayback::stop(HSTREAM handle) {
    Stream* s = find(handle);
    if (!s)
        return BASS_ERROR_HANDLE;
    {
        platform::SdlDevice::Lock lock(device_);
        s->playing = false;
        s->rewind();
    }
    closeWhenQuiet();
    return BASS_OK;
}

DWORD SdlPlayback::state(HSTREAM handle) {
    Stream* s = find(handle);
    if (!s)
        return BASS_ACTIVE_STOPPED;
    bool playing;
    bool paused;
    {
        platform::SdlDevice::Lock lock(device_);
        playing = s->playing;
        paused = !s->playing && s->position > 0 && s->position < s->bytes;
    }
    if (!playing)
        closeWhenQuiet();
    return playing ? BASS_ACTIVE_PLAYING : paused ? BASS_ACTIVE_PAUSED : BASS_ACTIVE_STOPPED;
}

QWORD SdlPlayback::position(HSTREAM handle) const {
    const Stream* s = find(handle);
    if (!s)
        return QWORD(-1);
    platform::SdlDevice::Lock lock(device_);
    return s->position;
}

QWORD SdlPlayback::length(HSTREAM handle) const {
    const Stream* s = find(handle);
    return s ? s->bytes : QWORD(-1);
}

void SdlPlayback::closeWhenQuiet() {
    if (!running_)
        return;
    bool anyPlaying = false;
    {
        platform::SdlDevice::Lock lock(device_);
        for (const auto& s : streams_)
            anyPlaying = anyPlaying || s->playing;
    }
    if (!anyPlaying) {
        device_.close();
        running_ = false;
    }
}

void SDLCALL SdlPlayback::callback(void* self, Uint8* data, int len) {
    // Runs on SDL's output thread with the device locked.
    auto* me = static_cast<SdlPlayback*>(self);
    std::memset(data, me->spec_.silence, std::size_t(len));
    auto& scratch = me->scratch_;
    if (scratch.size() < std::size_t(len))
        scratch.resize(std::size_t(len)); // first call only: len is fixed per device

    for (auto& s : me->streams_) {
        if (!s->playing)
            continue;
        std::size_t got = 0;
        if (!s->converter) {
            got = std::min(std::size_t(len), s->bytes - s->position);
            SDL_MixAudioFormat(data, s->samples + s->position, me->spec_.format, Uint32(got),
                               SDL_MIX_MAXVOLUME);
            s->position += got;
        } else {
            SDL_AudioStream* conv = s->converter.get();
            while (SDL_AudioStreamAvailable(conv) < len && s->position < s->bytes) {
                const std::size_t chunk = std::min<std::size_t>(s->bytes - s->position, 16384);
                SDL_AudioStreamPut(conv, s->samples + s->position, int(chunk));
                s->position += chunk;
                if (s->position >= s->bytes)
                    SDL_AudioStreamFlush(conv);
            }
            const int n = SDL_AudioStreamGet(conv, scratch.data(), len);
            got = n > 0 ? std::size_t(n) : 0;
            SDL_MixAudioFormat(data, scratch.data(), me->spec_.format, Uint32(got),
                               SDL_MIX_MAXVOLUME);
        }
        if (got == 0 && s->position >= s->bytes)
            s->playing = false;
    }
}

int SdlPlayback::free() {
    if (!ready_)
        return BASS_ERROR_INIT;
    device_.close();
    running_ = false;
    ready_ = false;
    streams_.clear();
    sdl_.stop();
    return BASS_OK;
}

} // namespace audio

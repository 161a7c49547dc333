#include "SdlAudioLibrary.h"

#include <algorithm>
#include <cstring>

namespace audio {

struct SdlAudioLibrary::Stream {
    HSTREAM handle = 0;
    const Uint8* samples = nullptr;
    std::size_t bytes = 0;
    PcmFormat format;
    std::size_t position = 0; // source bytes handed to the device so far
    bool playing = false;
    // Only when the image's format differs from the device's.
    std::unique_ptr<SDL_AudioStream, AudioStreamDeleter> converter;
};

namespace {

constexpr DWORD kVersion = 0x02030000; // reported as 2.3: what the start-up check expects
constexpr Uint16 kDeviceFrames = 1024; // about 23 ms per callback at 44.1 kHz

SDL_AudioFormat sdlFormatFor(const PcmFormat& f) {
    return f.bitsPerSample == 8 ? AUDIO_U8 : AUDIO_S16LSB;
}

} // namespace

SdlAudioLibrary::SdlAudioLibrary() {
    // Starting SDL's audio also starts its event subsystem, which would take
    // over SIGINT and SIGTERM and leave the program deaf to them.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
}

SdlAudioLibrary::~SdlAudioLibrary() {
    BASS_RecordFree();
    BASS_Free();
}

BOOL SdlAudioLibrary::fail(int code) {
    lastError_ = code;
    return 0;
}

BOOL SdlAudioLibrary::succeed() {
    lastError_ = BASS_OK;
    return 1;
}

int SdlAudioLibrary::BASS_ErrorGetCode() {
    return lastError_;
}

DWORD SdlAudioLibrary::BASS_GetVersion() {
    return kVersion;
}

BOOL SdlAudioLibrary::BASS_RecordInit(int device) {
    if (device != -1)
        return fail(BASS_ERROR_DEVICE);
    if (captureDevice_ != 0)
        return fail(BASS_ERROR_ALREADY);
    if (!sdlAudioUp_) {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
            return fail(BASS_ERROR_DRIVER);
        sdlAudioUp_ = true;
    }
    // The device is opened now, in the format every take uses, and runs
    // until the library is freed; blocks that arrive with no capture running
    // are dropped. Opening, closing or pausing a PulseAudio source costs up
    // to a second before data flows again, which would cut off the start of
    // every take.
    if (!openCaptureDevice(44100, 2))
        return fail(BASS_ERROR_DEVICE);
    return succeed();
}

bool SdlAudioLibrary::openCaptureDevice(DWORD freq, DWORD chans) {
    SDL_AudioSpec want{};
    want.freq = int(freq);
    want.format = AUDIO_S16LSB;
    want.channels = Uint8(chans);
    want.samples = kDeviceFrames;
    want.callback = &SdlAudioLibrary::captureCallback;
    want.userdata = this;
    SDL_AudioSpec have{};
    // No allowed changes: SDL converts whatever the hardware gives.
    captureDevice_ = SDL_OpenAudioDevice(nullptr, 1, &want, &have, 0);
    if (captureDevice_ == 0)
        return false;
    captureFreq_ = freq;
    captureChans_ = chans;
    SDL_PauseAudioDevice(captureDevice_, 0);
    return true;
}

void SdlAudioLibrary::closeCaptureDevice() {
    if (captureDevice_ == 0)
        return;
    SDL_CloseAudioDevice(captureDevice_);
    captureDevice_ = 0;
}

BOOL SdlAudioLibrary::BASS_Init(int device, DWORD freq, DWORD, void*, const void*) {
    if (device != -1)
        return fail(BASS_ERROR_DEVICE);
    if (outputInit_)
        return fail(BASS_ERROR_ALREADY);
    if (!sdlAudioUp_) {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
            return fail(BASS_ERROR_DRIVER);
        sdlAudioUp_ = true;
    }
    outputFreq_ = freq;
    // Opened once to know that there is an output, then closed: an open
    // device streams silence to the sound server all the time, which cost
    // as much as the recording itself. It is opened again to play.
    if (!openOutputDevice())
        return fail(BASS_ERROR_DEVICE);
    closeOutputDevice();
    outputInit_ = true;
    return succeed();
}

bool SdlAudioLibrary::openOutputDevice() {
    if (outputDevice_ != 0)
        return true;
    SDL_AudioSpec want{};
    want.freq = int(outputFreq_);
    want.format = AUDIO_S16LSB;
    want.channels = 2;
    want.samples = kDeviceFrames;
    want.callback = &SdlAudioLibrary::outputCallback;
    want.userdata = this;
    // No allowed changes: the format stays what the streams were made for.
    outputDevice_ = SDL_OpenAudioDevice(nullptr, 0, &want, &outputSpec_, 0);
    return outputDevice_ != 0;
}

void SdlAudioLibrary::closeOutputDevice() {
    if (outputDevice_ == 0)
        return;
    SDL_CloseAudioDevice(outputDevice_);
    outputDevice_ = 0;
    outputRunning_ = false;
}

HRECORD SdlAudioLibrary::BASS_RecordStart(DWORD freq, DWORD chans, DWORD flags, RECORDPROC* proc,
                                          void* user) {
    if (captureDevice_ == 0)
        return fail(BASS_ERROR_INIT);
    if (flags != 0 || chans == 0 || chans > 8 || freq == 0 || proc == nullptr)
        return fail(BASS_ERROR_ILLPARAM);
    if (captureHandle_ != 0)
        return fail(BASS_ERROR_ALREADY);
    if (freq != captureFreq_ || chans != captureChans_) {
        closeCaptureDevice();
        if (!openCaptureDevice(freq, chans))
            return fail(BASS_ERROR_DEVICE);
    }
    {
        DeviceLock lock(captureDevice_);
        captureHandle_ = ++nextCaptureHandle_;
        proc_ = proc;
        user_ = user;
        captureEnded_ = false;
        capturePaused_ = false;
        capturedBytes_ = 0;
        captureBudget_ = 0;
        captureClock_ = std::chrono::steady_clock::now();
    }
    captureSource_.remember();
    lastError_ = BASS_OK;
    return captureHandle_;
}

void SDLCALL SdlAudioLibrary::captureCallback(void* self, Uint8* data, int len) {
    // Runs on SDL's capture thread with the capture device locked.
    auto* lib = static_cast<SdlAudioLibrary*>(self);
    if (lib->captureHandle_ == 0 || lib->captureEnded_ || lib->capturePaused_ || len <= 0)
        return;
    // A source may hand over seconds of sound it held from before the take
    // in one burst (PulseAudio's sine source did, in 6 of 10 first takes:
    // 2 s too much). A take holds no more sound than time has passed since
    // it began, with three device buffers of slack: the oldest of a burst is
    // dropped.
    const auto now = std::chrono::steady_clock::now();
    const double elapsed = std::chrono::duration<double>(now - lib->captureClock_).count();
    lib->captureClock_ = now;
    const double frameBytes = double(lib->captureChans_) * 2.0;
    lib->captureBudget_ += elapsed * lib->captureFreq_ * frameBytes;
    const double slack = 3.0 * kDeviceFrames * frameBytes;
    const double over = double(lib->capturedBytes_) + len - (lib->captureBudget_ + slack);
    if (over > 0) {
        const int drop = std::min(len, int(over / frameBytes) * int(frameBytes));
        data += drop;
        len -= drop;
        if (len <= 0)
            return;
    }
    lib->capturedBytes_ += QWORD(len);
    if (!lib->proc_(lib->captureHandle_, data, DWORD(len), lib->user_))
        lib->captureEnded_ = true; // the owner asked to end; blocks from now on are dropped
}

BOOL SdlAudioLibrary::BASS_ChannelStop(DWORD handle) {
    if (isCapture(handle)) {
        // SDL holds the device lock around the callback: once the lock is
        // ours no callback runs, and later ones see no capture.
        DeviceLock lock(captureDevice_);
        captureHandle_ = 0;
        proc_ = nullptr;
        user_ = nullptr;
        return succeed();
    }
    if (Stream* s = findStream(handle)) {
        {
            DeviceLock lock(outputDevice_);
            s->playing = false;
            s->position = 0;
            if (s->converter)
                SDL_AudioStreamClear(s->converter.get());
        }
        pauseOutputWhenQuiet();
        return succeed();
    }
    return fail(BASS_ERROR_HANDLE);
}

BOOL SdlAudioLibrary::BASS_ChannelPause(DWORD handle) {
    if (isCapture(handle)) {
        DeviceLock lock(captureDevice_);
        if (captureEnded_)
            return fail(BASS_ERROR_NOTAVAIL);
        capturePaused_ = true; // the microphone runs on; its blocks are dropped
        return succeed();
    }
    if (Stream* s = findStream(handle)) {
        DeviceLock lock(outputDevice_);
        if (!s->playing)
            return fail(BASS_ERROR_NOTAVAIL);
        s->playing = false;
        return succeed();
    }
    return fail(BASS_ERROR_HANDLE);
}

BOOL SdlAudioLibrary::BASS_ChannelPlay(DWORD handle, BOOL restart) {
    if (isCapture(handle)) {
        DeviceLock lock(captureDevice_);
        if (captureEnded_)
            return fail(BASS_ERROR_NOTAVAIL);
        capturePaused_ = false;
        captureClock_ = std::chrono::steady_clock::now(); // the pause is no sound
        return succeed();
    }
    if (Stream* s = findStream(handle)) {
        {
            DeviceLock lock(outputDevice_);
            // A stream that has played to its end starts again from the top.
            if (restart || s->position >= s->bytes) {
                s->position = 0;
                if (s->converter)
                    SDL_AudioStreamClear(s->converter.get());
            }
            s->playing = true;
        }
        if (!outputRunning_) {
            if (!openOutputDevice()) {
                s->playing = false;
                return fail(BASS_ERROR_DEVICE);
            }
            SDL_PauseAudioDevice(outputDevice_, 0);
            outputRunning_ = true;
        }
        return succeed();
    }
    return fail(BASS_ERROR_HANDLE);
}

DWORD SdlAudioLibrary::BASS_ChannelIsActive(DWORD handle) {
    if (isCapture(handle)) {
        // A device that went away (unplugged, its sound server gone) is
        // stopped as far as the recorder is concerned. Asked outside the
        // device lock.
        const bool gone =
            SDL_GetAudioDeviceStatus(captureDevice_) == SDL_AUDIO_STOPPED || captureSource_.gone();
        DeviceLock lock(captureDevice_);
        lastError_ = BASS_OK;
        if (captureEnded_ || gone)
            return BASS_ACTIVE_STOPPED;
        return capturePaused_ ? BASS_ACTIVE_PAUSED : BASS_ACTIVE_PLAYING;
    }
    if (Stream* s = findStream(handle)) {
        bool playing;
        bool paused;
        {
            DeviceLock lock(outputDevice_);
            playing = s->playing;
            paused = !s->playing && s->position > 0 && s->position < s->bytes;
        }
        lastError_ = BASS_OK;
        if (!playing)
            pauseOutputWhenQuiet();
        return playing ? BASS_ACTIVE_PLAYING : paused ? BASS_ACTIVE_PAUSED : BASS_ACTIVE_STOPPED;
    }
    fail(BASS_ERROR_HANDLE);
    return BASS_ACTIVE_STOPPED;
}

QWORD SdlAudioLibrary::BASS_ChannelGetPosition(DWORD handle) {
    if (isCapture(handle)) {
        lastError_ = BASS_OK;
        return capturedBytes_;
    }
    if (Stream* s = findStream(handle)) {
        DeviceLock lock(outputDevice_);
        lastError_ = BASS_OK;
        return s->position;
    }
    fail(BASS_ERROR_HANDLE);
    return QWORD(-1);
}

QWORD SdlAudioLibrary::BASS_ChannelGetLength(DWORD handle) {
    if (Stream* s = findStream(handle)) {
        lastError_ = BASS_OK;
        return s->bytes;
    }
    fail(BASS_ERROR_HANDLE);
    return QWORD(-1);
}

HSTREAM SdlAudioLibrary::BASS_StreamCreateFile(BOOL mem, const void* file, QWORD offset,
                                               QWORD length, DWORD flags) {
    if (!outputInit_)
        return fail(BASS_ERROR_INIT);
    if (!mem || flags != 0 || file == nullptr)
        return fail(BASS_ERROR_NOTAVAIL); // only in-place memory images are needed
    const auto* image = static_cast<const Uint8*>(file) + offset;
    const auto format = parseWavImage(image, std::size_t(length));
    if (!format)
        return fail(BASS_ERROR_FORMAT);

    auto stream = std::make_unique<Stream>();
    stream->samples = image + format->dataOffset;
    stream->bytes = format->dataBytes;
    stream->format = *format;
    const SDL_AudioFormat srcFormat = sdlFormatFor(*format);
    if (srcFormat != outputSpec_.format || format->channels != outputSpec_.channels ||
        int(format->sampleRate) != outputSpec_.freq) {
        stream->converter.reset(SDL_NewAudioStream(srcFormat, Uint8(format->channels),
                                                   int(format->sampleRate), outputSpec_.format,
                                                   outputSpec_.channels, outputSpec_.freq));
        if (!stream->converter)
            return fail(BASS_ERROR_FORMAT);
    }
    stream->handle = ++nextStreamHandle_;
    const HSTREAM handle = stream->handle;
    {
        DeviceLock lock(outputDevice_);
        streams_.push_back(std::move(stream));
    }
    lastError_ = BASS_OK;
    return handle;
}

BOOL SdlAudioLibrary::BASS_StreamFree(HSTREAM handle) {
    if (!outputInit_ || handle == 0)
        return fail(BASS_ERROR_HANDLE);
    std::unique_ptr<Stream> gone;
    {
        // Once the lock is released the output callback cannot be reading
        // the image any more, so the caller may release it.
        DeviceLock lock(outputDevice_);
        auto it = std::find_if(streams_.begin(), streams_.end(),
                               [handle](const auto& s) { return s->handle == handle; });
        if (it == streams_.end())
            return fail(BASS_ERROR_HANDLE);
        gone = std::move(*it);
        streams_.erase(it);
    }
    pauseOutputWhenQuiet();
    return succeed();
}

SdlAudioLibrary::Stream* SdlAudioLibrary::findStream(DWORD handle) {
    if (!outputInit_ || handle == 0)
        return nullptr;
    // The list is only changed by this thread, so reading it needs no lock.
    for (auto& s : streams_)
        if (s->handle == handle)
            return s.get();
    return nullptr;
}

void SdlAudioLibrary::pauseOutputWhenQuiet() {
    if (!outputRunning_)
        return;
    bool anyPlaying = false;
    {
        DeviceLock lock(outputDevice_);
        for (const auto& s : streams_)
            anyPlaying = anyPlaying || s->playing;
    }
    if (!anyPlaying)
        closeOutputDevice();
}

void SDLCALL SdlAudioLibrary::outputCallback(void* self, Uint8* data, int len) {
    // Runs on SDL's output thread with the output device locked.
    auto* lib = static_cast<SdlAudioLibrary*>(self);
    std::memset(data, lib->outputSpec_.silence, std::size_t(len));
    auto& scratch = lib->mixScratch_;
    if (scratch.size() < std::size_t(len))
        scratch.resize(std::size_t(len)); // first call only: len is fixed per device

    for (auto& s : lib->streams_) {
        if (!s->playing)
            continue;
        std::size_t got = 0;
        if (!s->converter) {
            got = std::min(std::size_t(len), s->bytes - s->position);
            SDL_MixAudioFormat(data, s->samples + s->position, lib->outputSpec_.format, Uint32(got),
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
            SDL_MixAudioFormat(data, scratch.data(), lib->outputSpec_.format, Uint32(got),
                               SDL_MIX_MAXVOLUME);
        }
        if (got == 0 && s->position >= s->bytes)
            s->playing = false;
    }
}

BOOL SdlAudioLibrary::BASS_RecordFree() {
    if (captureDevice_ == 0)
        return fail(BASS_ERROR_INIT);
    SDL_PauseAudioDevice(captureDevice_, 1);
    {
        DeviceLock lock(captureDevice_);
        captureHandle_ = 0;
        proc_ = nullptr;
    }
    closeCaptureDevice();
    if (!outputInit_ && sdlAudioUp_) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        sdlAudioUp_ = false;
    }
    return succeed();
}

BOOL SdlAudioLibrary::BASS_Free() {
    if (!outputInit_)
        return fail(BASS_ERROR_INIT);
    closeOutputDevice();
    outputInit_ = false;
    streams_.clear();
    if (captureDevice_ == 0 && sdlAudioUp_) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        sdlAudioUp_ = false;
    }
    return succeed();
}

} // namespace audio

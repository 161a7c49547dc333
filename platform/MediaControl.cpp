#include "MediaControl.h"

#include <SDL.h>
#include <sndfile.h>

#include <map>
#include <memory>
#include <vector>

namespace platform {

struct SdlMediaControl::Sound {
    std::vector<short> samples; // interleaved
    int channels = 0;
    int rate = 0;
};

struct SdlMediaControl::Impl {
    std::map<MCIDEVICEID, Sound> open;
    MCIDEVICEID next = 0;
    bool sdlUp = false;
};

namespace {

struct SndfileCloser {
    void operator()(SNDFILE* f) const { sf_close(f); }
};

struct DeviceCloser {
    SDL_AudioDeviceID id;
    ~DeviceCloser() {
        if (id)
            SDL_CloseAudioDevice(id);
    }
};

} // namespace

SdlMediaControl::SdlMediaControl() : impl_(std::make_unique<Impl>()) {
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
}

SdlMediaControl::~SdlMediaControl() {
    if (impl_->sdlUp)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

MCIERROR SdlMediaControl::open(const std::string& file, MCIDEVICEID& device) {
    SF_INFO info{};
    std::unique_ptr<SNDFILE, SndfileCloser> f(sf_open(file.c_str(), SFM_READ, &info));
    if (!f)
        return sf_error(nullptr) == SF_ERR_SYSTEM ? MCIERR_FILE_NOT_FOUND : MCIERR_INVALID_FILE;
    if (info.channels <= 0 || info.channels > 8 || info.samplerate <= 0 || info.frames <= 0 ||
        info.frames > sf_count_t(info.samplerate) * 600)
        return MCIERR_INVALID_FILE;
    Sound sound;
    sound.channels = info.channels;
    sound.rate = info.samplerate;
    sound.samples.resize(std::size_t(info.frames) * std::size_t(info.channels));
    const sf_count_t got = sf_readf_short(f.get(), sound.samples.data(), info.frames);
    if (got <= 0)
        return MCIERR_INVALID_FILE;
    sound.samples.resize(std::size_t(got) * std::size_t(info.channels));
    device = ++impl_->next;
    impl_->open[device] = std::move(sound);
    return MCI_OK;
}

MCIERROR SdlMediaControl::playAndWait(MCIDEVICEID device) {
    auto it = impl_->open.find(device);
    if (it == impl_->open.end())
        return MCIERR_INVALID_DEVICE_ID;
    const Sound& sound = it->second;
    if (!impl_->sdlUp) {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
            return MCIERR_CANNOT_LOAD_DRIVER;
        impl_->sdlUp = true;
    }
    SDL_AudioSpec want{};
    want.freq = sound.rate;
    want.format = AUDIO_S16SYS;
    want.channels = Uint8(sound.channels);
    want.samples = 1024;
    SDL_AudioSpec have{};
    // SDL converts to whatever the device takes.
    DeviceCloser dev{SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0)};
    if (dev.id == 0)
        return MCIERR_WAVE_OUTPUTSUNSUITABLE;
    const auto bytes = Uint32(sound.samples.size() * sizeof(short));
    if (SDL_QueueAudio(dev.id, sound.samples.data(), bytes) != 0)
        return MCIERR_WAVE_OUTPUTSUNSUITABLE;
    // A tail of silence pushes the sound's end through the sound server's
    // own buffer: once the tail has left the queue, the sound itself has
    // been heard, and a capture started next cannot pick it up.
    const std::vector<short> tail(std::size_t(sound.rate * sound.channels / 4), 0);
    SDL_QueueAudio(dev.id, tail.data(), Uint32(tail.size() * sizeof(short)));
    SDL_PauseAudioDevice(dev.id, 0);
    // Blocking by design: the window waits for the end of the prompt.
    const Uint32 lengthMs = Uint32(1000.0 * double(sound.samples.size() + tail.size()) /
                                   (double(sound.channels) * sound.rate));
    const Uint32 deadline = SDL_GetTicks() + lengthMs + 3000;
    while (SDL_GetQueuedAudioSize(dev.id) > 0 && SDL_GetTicks() < deadline) {
        if (whileWaiting_)
            whileWaiting_();
        SDL_Delay(10);
    }
    return MCI_OK;
}

MCIERROR SdlMediaControl::close(MCIDEVICEID device) {
    return impl_->open.erase(device) ? MCI_OK : MCIERR_INVALID_DEVICE_ID;
}

bool SdlMediaControl::errorString(MCIERROR code, std::string& text) {
    static const std::map<MCIERROR, const char*> texts = {
        {MCI_OK, "The specified command was carried out."},
        {MCIERR_INVALID_DEVICE_ID, "Invalid device ID. Use the ID given to the device when the "
                                   "device was opened."},
        {MCIERR_CANNOT_LOAD_DRIVER, "The specified device driver cannot be loaded."},
        {MCIERR_FILE_NOT_FOUND, "Cannot find the specified file. Make sure the path and "
                                "filename are correct."},
        {MCIERR_INVALID_FILE, "The specified file cannot be played on the specified device. The "
                              "file may be corrupt or in the wrong format."},
        {MCIERR_WAVE_OUTPUTSUNSUITABLE, "No wave output device that can play files in the "
                                        "current format is installed."},
    };
    auto it = texts.find(code);
    if (it == texts.end()) {
        text.clear();
        return false;
    }
    text = it->second;
    return true;
}

} // namespace platform

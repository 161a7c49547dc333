#include "MediaControl.h"

#include "SdlAudioSystem.h"

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
    SdlAudioSystem sdl;
};

namespace {

struct SndfileCloser {
    void operator()(SNDFILE* f) const { sf_close(f); }
};

} // namespace

SdlMediaControl::SdlMediaControl() : impl_(std::make_unique<Impl>()) {}

SdlMediaControl::~SdlMediaControl() = default;

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
    if (!impl_->sdl.start())
        return MCIERR_CANNOT_LOAD_DRIVER;
    // Queued, no callback; SDL converts to whatever the device takes.
    SDL_AudioSpec have{};
    SdlDevice dev;
    if (!dev.open(SdlDevice::Kind::Output, sound.rate, sound.channels, 1024, nullptr, nullptr,
                  &have, AUDIO_S16SYS))
        return MCIERR_WAVE_OUTPUTSUNSUITABLE;
    const auto bytes = Uint32(sound.samples.size() * sizeof(short));
    if (SDL_QueueAudio(dev.id(), sound.samples.data(), bytes) != 0)
        return MCIERR_WAVE_OUTPUTSUNSUITABLE;
    // A tail of silence pushes the sound's end through what lies between the
    // queue and the loudspeaker: SDL's device buffer and the sound server's,
    // which SDL asks to be one device buffer long (two device buffers). A
    // capture started or resumed next also hands over, first, what the
    // microphone heard a moment before (the capture side's own buffers,
    // whose length SDL does not tell): 0.15 s more keeps the sound's end
    // out of it. With one buffer to spare instead, the prompt's end was in
    // the take in 2 of about 35 runs of the Tamsel end-to-end test.
    const std::size_t tailFrames =
        3 * std::size_t(have.samples) + std::size_t(0.15 * double(sound.rate));
    const std::vector<short> tail(tailFrames * std::size_t(sound.channels), 0);
    SDL_QueueAudio(dev.id(), tail.data(), Uint32(tail.size() * sizeof(short)));
    dev.run(true);
    // Blocking by design: whoever asked waits for the end of the prompt.
    const Uint32 lengthMs = Uint32(1000.0 * double(sound.samples.size() + tail.size()) /
                                   (double(sound.channels) * sound.rate));
    const Uint32 deadline = SDL_GetTicks() + lengthMs + 3000;
    while (SDL_GetQueuedAudioSize(dev.id()) > 0 && SDL_GetTicks() < deadline)
        SDL_Delay(10);
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

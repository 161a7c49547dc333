#include "SdlAudioSystem.h"

namespace platform {

bool SdlAudioSystem::start() {
    if (started_)
        return true;
    // Starting SDL's audio also starts its event subsystem, which would take
    // over SIGINT and SIGTERM and leave the program deaf to them.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    started_ = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    return started_;
}

void SdlAudioSystem::stop() {
    if (!started_)
        return;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    started_ = false;
}

bool SdlDevice::open(Kind kind, int freq, int channels, Uint16 frames, SDL_AudioCallback callback,
                     void* user, SDL_AudioSpec* have, SDL_AudioFormat format) {
    close();
    SDL_AudioSpec want{};
    want.freq = freq;
    want.format = format;
    want.channels = Uint8(channels);
    want.samples = frames;
    want.callback = callback;
    want.userdata = user;
    SDL_AudioSpec got{};
    // No allowed changes: the callers' formats stay what they asked for.
    id_ = SDL_OpenAudioDevice(nullptr, kind == Kind::Capture ? 1 : 0, &want, have ? have : &got, 0);
    return id_ != 0;
}

void SdlDevice::close() {
    if (id_ == 0)
        return;
    SDL_CloseAudioDevice(id_);
    id_ = 0;
}

} // namespace platform

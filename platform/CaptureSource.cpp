#include "CaptureSource.h"

#include <SDL.h>

namespace platform {

void CaptureSource::remember() {
    name_.clear();
#if SDL_VERSION_ATLEAST(2, 24, 0)
    char* name = nullptr;
    SDL_AudioSpec spec;
    if (SDL_GetDefaultAudioInfo(&name, &spec, 1) == 0 && name) {
        name_ = name;
        SDL_free(name);
    }
#endif
}

bool CaptureSource::gone() const {
    if (name_.empty())
        return false;
    const int count = SDL_GetNumAudioDevices(1);
    for (int i = 0; i < count; ++i) {
        const char* name = SDL_GetAudioDeviceName(i, 1);
        if (name && name_ == name)
            return false;
    }
    return true;
}

} // namespace platform

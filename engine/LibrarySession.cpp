#include "LibrarySession.h"

#include "WaveHeader.h"

namespace engine {

LibrarySession::Opened LibrarySession::open(void* window) {
    if (HiWord(std::int32_t(library_.BASS_GetVersion())) != 0x0203)
        return Opened::WrongVersion;
    const audio::BOOL recordOpen = library_.BASS_RecordInit(-1);
    const audio::BOOL outputOpen = library_.BASS_Init(-1, kSampleRate, 0, window, nullptr);
    open_ = true;
    return recordOpen && outputOpen ? Opened::Yes : Opened::NoDevice;
}

void LibrarySession::close() {
    if (!open_)
        return;
    library_.BASS_RecordFree();
    library_.BASS_Free();
    open_ = false;
}

} // namespace engine

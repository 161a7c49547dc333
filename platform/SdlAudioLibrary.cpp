#include "SdlAudioLibrary.h"

namespace audio {
namespace {

constexpr DWORD kVersion = 0x02030000; // reported as 2.3: what the start-up check expects

} // namespace

BOOL SdlAudioLibrary::answer(int code) {
    lastError_ = code;
    return code == BASS_OK ? 1 : 0;
}

int SdlAudioLibrary::BASS_ErrorGetCode() {
    return lastError_;
}

DWORD SdlAudioLibrary::BASS_GetVersion() {
    return kVersion;
}

BOOL SdlAudioLibrary::BASS_RecordInit(int device) {
    return answer(device != -1 ? BASS_ERROR_DEVICE : capture_.init());
}

BOOL SdlAudioLibrary::BASS_Init(int device, DWORD freq, DWORD, void*, const void*) {
    return answer(device != -1 ? BASS_ERROR_DEVICE : playback_.init(freq));
}

HRECORD SdlAudioLibrary::BASS_RecordStart(DWORD freq, DWORD chans, DWORD flags, RECORDPROC* proc,
                                          void* user) {
    HRECORD handle = 0;
    const int code =
        flags != 0 ? BASS_ERROR_ILLPARAM : capture_.start(freq, chans, proc, user, handle);
    return answer(code) ? handle : 0;
}

BOOL SdlAudioLibrary::BASS_ChannelStop(DWORD handle) {
    if (capture_.owns(handle))
        return answer(capture_.stop());
    return answer(playback_.stop(handle));
}

BOOL SdlAudioLibrary::BASS_ChannelPause(DWORD handle) {
    if (capture_.owns(handle))
        return answer(capture_.pause());
    return answer(playback_.pause(handle));
}

BOOL SdlAudioLibrary::BASS_ChannelPlay(DWORD handle, BOOL restart) {
    if (capture_.owns(handle))
        return answer(capture_.resume());
    return answer(playback_.play(handle, restart != 0));
}

DWORD SdlAudioLibrary::BASS_ChannelIsActive(DWORD handle) {
    if (capture_.owns(handle)) {
        lastError_ = BASS_OK;
        return capture_.state();
    }
    answer(playback_.owns(handle) ? BASS_OK : BASS_ERROR_HANDLE);
    return playback_.state(handle);
}

QWORD SdlAudioLibrary::BASS_ChannelGetPosition(DWORD handle) {
    if (capture_.owns(handle)) {
        lastError_ = BASS_OK;
        return capture_.position();
    }
    answer(playback_.owns(handle) ? BASS_OK : BASS_ERROR_HANDLE);
    return playback_.position(handle);
}

QWORD SdlAudioLibrary::BASS_ChannelGetLength(DWORD handle) {
    answer(playback_.owns(handle) ? BASS_OK : BASS_ERROR_HANDLE);
    return playback_.length(handle);
}

HSTREAM SdlAudioLibrary::BASS_StreamCreateFile(BOOL mem, const void* file, QWORD offset,
                                               QWORD length, DWORD flags) {
    if (!playback_.ready())
        return answer(BASS_ERROR_INIT);
    if (!mem || flags != 0 || file == nullptr)
        return answer(BASS_ERROR_NOTAVAIL); // only in-place memory images are needed
    HSTREAM handle = 0;
    const int code = playback_.createStream(static_cast<const Uint8*>(file) + offset,
                                            std::size_t(length), handle);
    return answer(code) ? handle : 0;
}

BOOL SdlAudioLibrary::BASS_StreamFree(HSTREAM handle) {
    return answer(playback_.freeStream(handle));
}

QWORD SdlAudioLibrary::captureClock(HRECORD handle) {
    return capture_.owns(handle) ? capture_.clock() : QWORD(-1);
}

BOOL SdlAudioLibrary::BASS_RecordFree() {
    return answer(capture_.free());
}

BOOL SdlAudioLibrary::BASS_Free() {
    return answer(playback_.free());
}

} // namespace audio

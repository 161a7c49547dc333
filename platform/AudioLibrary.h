#pragma once
// The audio library as the engine sees it: the fifteen calls the recorder
// relies on, with their historical names and argument order, so that any
// audio component can stand behind them (SDL2 in the programs, a scriptable
// fake in the tests).

#include <cstdint>

namespace audio {

using DWORD = std::uint32_t;
using QWORD = std::uint64_t;
using BOOL = int;
using HRECORD = DWORD;
using HSTREAM = DWORD;
using HCHANNEL = DWORD;

// Called on the library's own capture thread with each block of 16-bit
// interleaved samples; the data is valid only during the call. Return
// non-zero to go on capturing, 0 to end the capture.
using RECORDPROC = BOOL(HRECORD handle, const void* buffer, DWORD length, void* user);

// Activity answers of BASS_ChannelIsActive.
enum : DWORD {
    BASS_ACTIVE_STOPPED = 0,
    BASS_ACTIVE_PLAYING = 1,
    BASS_ACTIVE_STALLED = 2,
    BASS_ACTIVE_PAUSED = 3,
};

// Error codes reported by BASS_ErrorGetCode.
enum : int {
    BASS_OK = 0,
    BASS_ERROR_MEM = 1,
    BASS_ERROR_DRIVER = 3,
    BASS_ERROR_HANDLE = 5,
    BASS_ERROR_FORMAT = 6,
    BASS_ERROR_INIT = 8,
    BASS_ERROR_START = 9,
    BASS_ERROR_ALREADY = 14,
    BASS_ERROR_ILLPARAM = 20,
    BASS_ERROR_DEVICE = 23,
    BASS_ERROR_NOTAVAIL = 37,
    BASS_ERROR_UNKNOWN = -1,
};

class AudioLibrary {
public:
    virtual ~AudioLibrary() = default;

    virtual DWORD BASS_GetVersion() = 0;
    virtual BOOL BASS_RecordInit(int device) = 0;
    virtual BOOL BASS_Init(int device, DWORD freq, DWORD flags, void* win, const void* clsid) = 0;
    virtual HRECORD BASS_RecordStart(DWORD freq, DWORD chans, DWORD flags, RECORDPROC* proc,
                                     void* user) = 0;
    // Returns only when no capture callback for the handle can run any more.
    virtual BOOL BASS_ChannelStop(DWORD handle) = 0;
    virtual BOOL BASS_ChannelPause(DWORD handle) = 0;
    virtual BOOL BASS_ChannelPlay(DWORD handle, BOOL restart) = 0;
    virtual DWORD BASS_ChannelIsActive(DWORD handle) = 0;
    virtual QWORD BASS_ChannelGetPosition(DWORD handle) = 0;
    virtual QWORD BASS_ChannelGetLength(DWORD handle) = 0;
    // mem != 0: `file` is the address of a WAV image of `length` bytes that
    // the stream reads in place for as long as it exists.
    virtual HSTREAM BASS_StreamCreateFile(BOOL mem, const void* file, QWORD offset, QWORD length,
                                          DWORD flags) = 0;
    virtual BOOL BASS_StreamFree(HSTREAM handle) = 0;
    virtual BOOL BASS_RecordFree() = 0;
    virtual BOOL BASS_Free() = 0;
    virtual int BASS_ErrorGetCode() = 0;

    // Beyond the fifteen: how much sound time a capture has lasted up to
    // this moment, in bytes of its format (pauses not counted), so that a
    // take can end at the very moment of the key whatever the device's
    // buffer size. QWORD(-1) when the library cannot tell; the take then
    // ends with its last whole block.
    virtual QWORD captureClock(HRECORD) { return QWORD(-1); }
    // Beyond the fifteen: sound a capture should hold by now and never got,
    // in bytes: the process or the machine stalled (swapping, a debugger, a
    // stop signal) longer than the source would keep its sound for it, and
    // the source dropped it. 0 when the library cannot tell.
    virtual QWORD captureLost(HRECORD) { return 0; }
    // Beyond the fifteen: whether a capture can start now. A microphone
    // that went away (its sound server restarted) is opened afresh first;
    // false while there is none, so that nothing already recorded is
    // released for a take that cannot begin.
    virtual bool captureAvailable() { return true; }
};

} // namespace audio

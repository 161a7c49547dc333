#pragma once
// Capture on SDL: one take at a time, its blocks handed to the owner's
// callback on SDL's capture thread. The device is open only while a take
// runs (a pause keeps it): opened as the take starts, closed as it stops.
//
// Every call is made from one thread (the window thread); what it shares
// with the callback changes only under the device's lock. Calls answer
// with an audio library error code (BASS_OK for success).

#include "AudioLibrary.h"
#include "CaptureSource.h"
#include "CaptureTimeline.h"
#include "SdlAudioSystem.h"
#include "TakeBudget.h"

#include <atomic>

namespace audio {

class SdlCapture {
public:
    SdlCapture() = default;
    ~SdlCapture() { free(); }
    SdlCapture(const SdlCapture&) = delete;
    SdlCapture& operator=(const SdlCapture&) = delete;

    int init();
    // Between takes: opens the device for the next take; false while no
    // capture device can be opened.
    bool available();
    int start(DWORD freq, DWORD chans, RECORDPROC* proc, void* user, HRECORD& handle);
    bool owns(DWORD handle) const { return handle != 0 && handle == handle_; }
    int stop();
    int pause();
    int resume();
    DWORD state();
    QWORD position() const { return capturedBytes_; }
    // The take's sound time up to now (bytes; pauses and sound lost to a
    // stall not counted).
    QWORD clock();
    // Sound the take fell behind the time its blocks have been coming for
    // (bytes): what the source dropped while the process stalled.
    QWORD lost() const { return lostBytes_; }
    int free();

private:
    static void SDLCALL callback(void* self, Uint8* data, int len);
    bool openDevice(DWORD freq, DWORD chans);

    platform::SdlAudioSystem sdl_;
    platform::SdlDevice device_;
    DWORD freq_ = 0;
    DWORD chans_ = 0;
    // handle_, proc_, user_, ended_, paused_ and the budget change only
    // under the device's lock.
    HRECORD handle_ = 0;
    HRECORD nextHandle_ = 0x10000;
    RECORDPROC* proc_ = nullptr;
    void* user_ = nullptr;
    bool ended_ = false;
    bool paused_ = false;
    // The microphone a take began on.
    platform::CaptureSource source_;
    std::atomic<QWORD> capturedBytes_{0};
    // A take never holds more sound than time has passed (set per take).
    platform::TakeBudget budget_{44100.0 * 4, 4, 0};
    // The time since the take's first block came (pauses not counted): a
    // source may take a second or more to hand over its first block, and
    // that is no sound lost.
    platform::TakeBudget sinceFirst_{44100.0 * 4, 4, 0};
    QWORD firstBlock_ = 0; // bytes; 0: none yet
    std::atomic<QWORD> lostBytes_{0};
    // When the device heard what it hands over, and when the take began or
    // last resumed: what was heard before that is not the take's.
    platform::CaptureTimeline heard_{44100.0 * 4, 4};
    platform::TakeBudget::Clock::time_point from_;
    QWORD droppedOld_ = 0; // dropped as heard before from_ (bytes)
};

} // namespace audio

#include "SdlCapture.h"

#include <algorithm>

namespace audio {
namespace {

// About 23 ms per callback at 44.1 kHz. Blocks of 4096 frames woke the
// capture thread a quarter as often where the take sets the source's pace
// (the recorder's CPU while recording 0.56 -> 0.27 s per 30 s), but a take
// stopped by a spoken word then ended up to a block late, with the word's
// first sound in it (the speech end-to-end test, once in 12 runs).
constexpr Uint16 kDeviceFrames = 1024;
constexpr double kMostOld = 0.5; // seconds dropped as heard before a start

} // namespace

int SdlCapture::init() {
    if (sdl_.started())
        return BASS_ERROR_ALREADY;
    if (!sdl_.start())
        return BASS_ERROR_DRIVER;
    // Opened once to learn that there is a microphone, then left alone: a
    // desktop shows a microphone held open as in use, and the recorder
    // only listens while a take runs.
    if (!openDevice(44100, 2)) {
        sdl_.stop();
        return BASS_ERROR_DEVICE;
    }
    device_.close();
    return BASS_OK;
}

bool SdlCapture::openDevice(DWORD freq, DWORD chans) {
    device_.close(); // no callback runs from here on
    if (!device_.open(platform::SdlDevice::Kind::Capture, int(freq), int(chans), kDeviceFrames,
                      &SdlCapture::callback, this))
        return false;
    freq_ = freq;
    chans_ = chans;
    heard_ = platform::CaptureTimeline(double(freq) * chans * 2, int(chans) * 2);
    device_.run(true);
    return true;
}

bool SdlCapture::available() {
    if (!sdl_.started())
        return false;
    // While a take runs the device is its; a device that went away then ends
    // the take (state()) before it is replaced here. Between takes it is
    // opened here, for the take that follows.
    if (handle_ != 0 || (device_.isOpen() && !device_.stopped() && !source_.gone()))
        return true;
    return openDevice(freq_, chans_);
}

int SdlCapture::start(DWORD freq, DWORD chans, RECORDPROC* proc, void* user, HRECORD& handle) {
    if (!sdl_.started())
        return BASS_ERROR_INIT;
    if (handle_ == 0 && !available())
        return BASS_ERROR_DEVICE;
    if (chans == 0 || chans > 8 || freq == 0 || proc == nullptr)
        return BASS_ERROR_ILLPARAM;
    if (handle_ != 0)
        return BASS_ERROR_ALREADY;
    if ((freq != freq_ || chans != chans_) && !openDevice(freq, chans))
        return BASS_ERROR_DEVICE;
    {
        platform::SdlDevice::Lock lock(device_);
        handle_ = ++nextHandle_;
        proc_ = proc;
        user_ = user;
        ended_ = false;
        paused_ = false;
        capturedBytes_ = 0;
        // Three device buffers of slack.
        const int frameBytes = int(chans) * 2;
        budget_ = platform::TakeBudget(double(freq) * frameBytes, frameBytes,
                                       3.0 * kDeviceFrames * frameBytes);
        from_ = platform::TakeBudget::Clock::now();
        droppedOld_ = 0;
        budget_.start(from_);
        firstBlock_ = 0;
        lostBytes_ = 0;
    }
    source_.remember();
    handle = handle_;
    return BASS_OK;
}

void SDLCALL SdlCapture::callback(void* self, Uint8* data, int len) {
    // Runs on SDL's capture thread with the device locked.
    auto* me = static_cast<SdlCapture*>(self);
    if (len <= 0)
        return;
    const auto now = platform::TakeBudget::Clock::now();
    me->heard_.arrived(QWORD(len), now);
    if (me->handle_ == 0 || me->ended_ || me->paused_)
        return;
    // What the server held from before the take began or resumed goes,
    // however late the process came to read it; then no more than the time
    // that has passed (a source that bursts at its start).
    // At most kMostOld seconds of it: a backlog is a fraction of a second,
    // and a source that renders ahead of time (a test tone) hands over
    // blocks that look older than they are.
    const QWORD mostOld = QWORD(kMostOld * double(me->freq_)) * me->chans_ * 2;
    int drop = int(std::min(me->heard_.heardBefore(me->from_, QWORD(len)),
                            mostOld - std::min(mostOld, me->droppedOld_)));
    me->droppedOld_ += QWORD(drop);
    data += drop;
    len -= drop;
    drop = me->budget_.overrun(me->capturedBytes_, len, now);
    data += drop;
    len -= drop;
    if (len <= 0)
        return;
    if (me->firstBlock_ == 0) {
        me->firstBlock_ = QWORD(len);
        me->sinceFirst_.start(now);
    }
    me->capturedBytes_ += QWORD(len);
    // Behind by more than the device's buffering: sound went missing.
    const double behind =
        me->sinceFirst_.soundTime(now) - double(me->capturedBytes_.load() - me->firstBlock_);
    me->lostBytes_ = behind > 0 ? QWORD(behind) : 0;
    if (!me->proc_(me->handle_, data, DWORD(len), me->user_))
        me->ended_ = true; // the owner asked to end; blocks from now on are dropped
}

int SdlCapture::stop() {
    {
        // Once the lock is ours no callback runs, and later ones see no take.
        platform::SdlDevice::Lock lock(device_);
        handle_ = 0;
        proc_ = nullptr;
        user_ = nullptr;
    }
    // The microphone is let go between takes. Whatever the sound server
    // kept while the process was stopped (a freeze, heavy swapping) goes
    // with it: the next take begins with what the microphone hears then.
    device_.close();
    return BASS_OK;
}

int SdlCapture::pause() {
    platform::SdlDevice::Lock lock(device_);
    if (ended_)
        return BASS_ERROR_NOTAVAIL;
    paused_ = true; // the microphone runs on; its blocks are dropped
    budget_.pause(platform::TakeBudget::Clock::now());
    sinceFirst_.pause(platform::TakeBudget::Clock::now());
    return BASS_OK;
}

int SdlCapture::resume() {
    platform::SdlDevice::Lock lock(device_);
    if (ended_)
        return BASS_ERROR_NOTAVAIL;
    paused_ = false;
    from_ = platform::TakeBudget::Clock::now();
    droppedOld_ = 0;
    budget_.resume(from_); // the pause is no sound
    sinceFirst_.resume(from_);
    return BASS_OK;
}

QWORD SdlCapture::clock() {
    platform::SdlDevice::Lock lock(device_);
    // Sound a stall lost never comes: a stop waiting for it would record
    // past its key instead.
    const double time = budget_.soundTime(platform::TakeBudget::Clock::now()) - double(lostBytes_);
    return time > 0 ? QWORD(time) : 0;
}

DWORD SdlCapture::state() {
    // A device that went away is stopped as far as the recorder is
    // concerned. Asked outside the device lock (see CaptureSource).
    const bool gone = device_.stopped() || source_.gone();
    platform::SdlDevice::Lock lock(device_);
    if (ended_ || gone)
        return BASS_ACTIVE_STOPPED;
    return paused_ ? BASS_ACTIVE_PAUSED : BASS_ACTIVE_PLAYING;
}

int SdlCapture::free() {
    if (!sdl_.started())
        return BASS_ERROR_INIT;
    if (device_.isOpen()) {
        device_.run(false);
        {
            platform::SdlDevice::Lock lock(device_);
            handle_ = 0;
            proc_ = nullptr;
        }
        device_.close();
    }
    sdl_.stop();
    return BASS_OK;
}

} // namespace audio

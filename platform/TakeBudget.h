#pragma once
// How much sound a take may hold: no more than time has passed since it
// began (pauses not counted), with a little slack for the device's own
// buffering. A source may hand over seconds it held from before the take in
// one burst (PulseAudio's sine source did, in 6 of 10 first takes: 2 s too
// much); what goes over the budget is the oldest sound of the block, and is
// dropped.

#include <algorithm>
#include <chrono>
#include <cstdint>

namespace platform {

class TakeBudget {
public:
    using Clock = std::chrono::steady_clock;

    // `bytesPerSecond` of sound, `frameBytes` per sample frame, `slackBytes`
    // of sound allowed ahead of the clock.
    TakeBudget(double bytesPerSecond, int frameBytes, double slackBytes)
        : rate_(bytesPerSecond), frame_(frameBytes), slack_(slackBytes) {}

    void start(Clock::time_point now) {
        budget_ = 0;
        last_ = now;
        paused_ = false;
    }
    // The pause is no sound: the clock stands still until resume().
    void pause(Clock::time_point now) {
        if (!paused_)
            advance(now);
        paused_ = true;
    }
    void resume(Clock::time_point now) {
        last_ = now;
        paused_ = false;
    }
    // The sound time (bytes) the take has lasted up to `now`.
    double soundTime(Clock::time_point now) const {
        return paused_ ? budget_
                       : budget_ + std::chrono::duration<double>(now - last_).count() * rate_;
    }

    // A block of `len` bytes arrives at `now` with `held` bytes already in
    // the take: how many bytes from its front to drop (whole frames).
    int overrun(std::uint64_t held, int len, Clock::time_point now) {
        advance(now);
        const double over = double(held) + len - (budget_ + slack_);
        if (over <= 0)
            return 0;
        return std::min(len, int(over / frame_) * frame_);
    }

private:
    void advance(Clock::time_point now) {
        budget_ += std::chrono::duration<double>(now - last_).count() * rate_;
        last_ = now;
    }

    double rate_;
    int frame_;
    double slack_;
    double budget_ = 0;
    Clock::time_point last_;
    bool paused_ = false;
};

} // namespace platform

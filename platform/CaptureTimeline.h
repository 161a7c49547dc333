#pragma once
// When each byte a capture device hands over was heard. A process that
// runs late (a busy machine, a sanitiser, a moment of swapping) leaves the
// sound server holding what the microphone heard meanwhile, and the capture
// thread then reads it in a burst: at the start or the resume of a take
// that is sound from before it (a voice prompt that has just ended). The
// device's stream is continuous, so byte n was heard at origin + n / rate;
// every block that arrives bounds the origin from above (it cannot have
// been heard after it arrived), and the block that came soonest bounds it
// best. Late blocks do not move it.
//
// The origin creeps forward slowly (kCreep seconds a second, far more
// than a sound card's clock drifts, far less than a prompt's echo would
// need to get in during the seconds between a key and its take) so that a
// clock that drifts is followed, and when blocks stay more than kLost late
// for kLostFor they are not late but the stream lost sound (the server
// dropped it during a long stall): the origin moves to them at once.

#include <algorithm>
#include <chrono>
#include <cstdint>

namespace platform {

class CaptureTimeline {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr double kCreep = 0.002;
    static constexpr double kLost = 0.5;
    static constexpr double kLostFor = 1.0;

    CaptureTimeline(double bytesPerSecond, int frameBytes)
        : rate_(bytesPerSecond), frame_(frameBytes) {}

    // The device was opened afresh: its stream starts again.
    void reset() { *this = CaptureTimeline(rate_, frame_); }

    // Every block the device gives, wanted or not, as it arrives.
    void arrived(std::uint64_t len, Clock::time_point now) {
        total_ += len;
        const double t = seconds(now);
        const double bound = t - double(total_) / rate_;
        if (!known_) {
            origin_ = bound;
            known_ = true;
        } else {
            origin_ = std::min(origin_ + kCreep * (t - last_), bound);
        }
        if (bound - origin_ <= kLost) {
            lateSince_ = -1;
        } else if (lateSince_ < 0) {
            lateSince_ = t;
        } else if (t - lateSince_ >= kLostFor) {
            origin_ = bound;
            lateSince_ = -1;
        }
        last_ = t;
    }

    // How many bytes (whole frames) at the front of the block that arrived
    // last, `len` bytes long, were heard before `from`.
    std::uint64_t heardBefore(Clock::time_point from, std::uint64_t len) const {
        const double first = double(total_ - std::min(total_, len));
        const double old = (seconds(from) - origin_) * rate_ - first;
        if (!known_ || old <= 0)
            return 0;
        const auto frames = std::uint64_t((old + frame_ - 1) / frame_);
        return std::min(len, frames * std::uint64_t(frame_));
    }

private:
    static double seconds(Clock::time_point t) {
        return std::chrono::duration<double>(t.time_since_epoch()).count();
    }

    double rate_;
    int frame_;
    std::uint64_t total_ = 0;
    bool known_ = false;
    double origin_ = 0;     // when byte 0 was heard, at the latest (seconds)
    double last_ = 0;       // when the last block came
    double lateSince_ = -1; // blocks have come more than kLost late since
};

} // namespace platform

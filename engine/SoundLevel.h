#pragma once
// How loud the take is: the loudest sample of each block the capture
// thread copies, and whether the microphone has heard nothing for a while.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace engine {

// The loudest sample of a block of 16-bit samples (0..1), in the machine's
// byte order (the little-endian order of WAV data on every machine we run
// on). It runs on the capture thread for every block, so it is written for
// the compiler to do sixteen samples at a time: a running minimum and
// maximum per lane, folded at the end.
inline float blockPeak(const std::uint8_t* bytes, std::size_t count) {
    constexpr std::size_t kLanes = 16;
    const std::size_t samples = count / 2;
    const std::size_t whole = samples - samples % kLanes;
    std::int16_t low[kLanes] = {}, high[kLanes] = {};
    for (std::size_t i = 0; i < whole; i += kLanes) {
        std::int16_t v[kLanes];
        std::memcpy(v, bytes + 2 * i, sizeof v);
        for (std::size_t k = 0; k < kLanes; ++k) {
            low[k] = std::min(low[k], v[k]);
            high[k] = std::max(high[k], v[k]);
        }
    }
    int lowest = 0, highest = 0;
    for (std::size_t k = 0; k < kLanes; ++k) {
        lowest = std::min(lowest, int(low[k]));
        highest = std::max(highest, int(high[k]));
    }
    for (std::size_t i = whole; i < samples; ++i) {
        std::int16_t v;
        std::memcpy(&v, bytes + 2 * i, sizeof v);
        lowest = std::min(lowest, int(v));
        highest = std::max(highest, int(v));
    }
    return float(std::max(highest, -lowest)) / 32768.0f;
}

// Whether a take has heard nothing for `kQuietSeconds`: no display's peak
// rose 12 dB above the quietest one of the take (the microphone's own
// floor) or above -60 dBFS, whichever is higher. Exact digital silence,
// a muted microphone and a monitor of a silent output all count as nothing.
class SilenceWatch {
public:
    static constexpr double kQuietSeconds = 3.0;

    void reset() { *this = SilenceWatch{}; }
    // The peak of the sound since the last call, `seconds` into the take.
    bool add(float peak, double seconds) {
        if (peak > std::max(4 * floor_, 0.001f))
            heardAt_ = seconds;
        floor_ = floor_ < 0 ? peak : std::min(floor_, peak);
        return seconds - heardAt_ >= kQuietSeconds;
    }

private:
    float floor_ = -1; // none yet
    double heardAt_ = 0;
};

} // namespace engine

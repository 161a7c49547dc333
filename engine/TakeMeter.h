#pragma once
// What a window shows of the take being recorded, beyond the byte count:
// how loud the microphone is, how long the take is, whether it is paused,
// and whether the microphone has heard nothing for a while.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

namespace engine {

struct TakeView {
    bool recording = false; // a take is being recorded (paused or not)
    bool paused = false;
    double seconds = 0;  // the take's length
    float level = 0;     // the loudest sample since the last display (0..1)
    bool silent = false; // nothing heard above the microphone's floor for a while
    std::string savedTo; // after a save: where the file went (UTF-8)
};

// The loudest sample of a block of 16-bit little-endian samples (0..1).
inline float blockPeak(const std::uint8_t* bytes, std::size_t count) {
    int peak = 0;
    for (std::size_t i = 0; i + 1 < count; i += 2) {
        const int v = std::int16_t(std::uint16_t(bytes[i] | bytes[i + 1] << 8));
        peak = std::max(peak, v < 0 ? -v : v);
    }
    return float(peak) / 32768.0f;
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

#pragma once
// What a window shows of the take being recorded, beyond the byte count:
// how loud the microphone is, how long the take is, whether it is paused,
// and whether the microphone has heard nothing for a while.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <string>

namespace engine {

struct TakeView {
    bool recording = false; // a take is being recorded (paused or not)
    bool paused = false;
    double seconds = 0;  // the take's length
    float level = 0;     // the loudest sample since the last display (0..1)
    bool silent = false; // nothing heard above the microphone's floor for a while
    std::string savedTo; // after a save: where the file went (UTF-8)
    // The unsaved take this one replaced went to the desktop's trash: said
    // until the user's next action.
    bool replacedToTrash = false;
    // The trash refused it: it waits in the recovery folder, offered at
    // the next start.
    bool replacedKept = false;
    // Sound the take lost while the machine stalled (whole seconds; 0:
    // none), said until the next take begins.
    int interruptedSeconds = 0;
};

// A take's length as the user reads it, in either script: "3秒", "1分05秒"
// (a take of a moment is "1秒", never nothing).
inline std::string lengthInWords(std::uint64_t soundBytes, std::uint64_t bytesPerSecond) {
    const std::uint64_t seconds =
        std::max<std::uint64_t>(1, (soundBytes + bytesPerSecond / 2) / bytesPerSecond);
    const std::string secondsText = std::to_string(seconds % 60) + "秒";
    if (seconds < 60)
        return secondsText;
    return std::to_string(seconds / 60) + "分" + (seconds % 60 < 10 ? "0" : "") + secondsText;
}

// The local time of a moment.
inline std::tm localTime(std::time_t moment) {
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &moment);
#else
    localtime_r(&moment, &local);
#endif
    return local;
}

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

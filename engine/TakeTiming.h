#pragma once
// Where a stop or a pause falls in the take, and how long a stop waits for
// the sound up to its moment. The times are the engine's one steady clock,
// the positions the capture clock (bytes of sound the library counted).

#include "TakeBlock.h"
#include "WaveHeader.h"

#include <algorithm>
#include <chrono>
#include <cstdint>

namespace engine {

class TakeTiming {
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    void begin() { soundCut_ = 0; }

    // Where in the take the capture clock's `clock`, less `earlier`, falls
    // (a length, header included): on a whole frame, allowing for sound
    // taken out at pauses, never before the take's start.
    std::int64_t mark(std::uint64_t clock, std::chrono::nanoseconds earlier) const {
        const std::int64_t frame = kChannels * kBitsPerSample / 8;
        const std::int64_t back =
            std::max<std::int64_t>(0, earlier.count()) * kSampleRate / 1000000000 * frame;
        return kHeaderBytes +
               std::max<std::int64_t>(0, std::int64_t(clock) / frame * frame - soundCut_ - back);
    }

    // Paused, the take goes back to `mark` (the spoken word that asked for
    // the pause comes out); the capture clock still counts what was cut.
    void cutAtPause(TakeBlock& block, std::int64_t mark) {
        soundCut_ += std::max<std::int64_t>(0, block.length() - mark);
        block.cutTo(mark);
    }

    void stopBegins(TimePoint now) { stopBegan_ = now; }
    // The sound up to a stop is normally here within a few tens of
    // milliseconds. A source that hands over seconds at a time is waited for
    // as long as its longest wait so far; one that went quiet or away holds
    // the take up for three seconds at most. Kept on the clock, not in
    // refreshes: how often the window refreshes is its own business.
    bool stopOverdue(TimePoint now, std::chrono::nanoseconds longestGap) const {
        using namespace std::chrono;
        const auto patience = std::min<milliseconds>(
            milliseconds(400) + duration_cast<milliseconds>(longestGap), seconds(3));
        return now - stopBegan_ >= patience;
    }

    // Sound lost while the machine stalled, as it is said: to the second;
    // less than a second is the source's own rhythm (0).
    static int stallSeconds(std::uint64_t lostBytes) {
        return lostBytes >= kBytesPerSecond
                   ? int((lostBytes + kBytesPerSecond / 2) / kBytesPerSecond)
                   : 0;
    }

private:
    std::int64_t soundCut_ = 0;
    TimePoint stopBegan_{};
};

} // namespace engine

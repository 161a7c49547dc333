#pragma once
// The only code of the engine that runs on the audio library's capture
// thread: each block handed over is copied into the take, kept on disk,
// measured for the level meter, and cut where the take must end (its
// limit, a stop's moment, memory refused). It never touches a window, a
// box or a lock; with the window thread it shares only atomics and the
// take's block, handed over by the library's start, pause and stop.

#include "TakeBlock.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>

namespace engine {

class RecoveryFile;

class CaptureSink {
public:
    enum class Outcome {
        More,        // keep capturing
        ReachedStop, // the block held the stop's moment: the take ends there
        TakeFull,    // the take reached its largest size
        OutOfMemory, // the block could not grow: what came before is kept
        Ended,       // the capture was already ended by one of the above
    };
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    CaptureSink(TakeBlock& block, Clock clock) : block_(block), now_(std::move(clock)) {}

    // Window thread, before the library starts the capture: the take grows
    // `step` bytes at a time up to `largest`, and is also written to
    // `recovery` (may be null).
    void begin(std::int32_t step, std::int64_t largest, RecoveryFile* recovery);
    void setClock(Clock clock) { now_ = std::move(clock); }

    // Capture thread.
    Outcome take(const void* sound, std::size_t bytes);

    // Window thread, any time.
    // The take ends at `mark` (a length, header included) when the sound
    // reaches it; 0 withdraws.
    void stopAt(std::int64_t mark) { stopAt_.store(mark); }
    // The stop's mark, withdrawn (0: none).
    std::int64_t takeStopMark() { return stopAt_.exchange(0); }
    // The loudest sample since the last call (0..1).
    float takePeak() { return peak_.exchange(0, std::memory_order_relaxed); }
    // The longest wait between two blocks of this take: some sources hand
    // over seconds at a time.
    std::chrono::nanoseconds longestGap() const {
        return std::chrono::nanoseconds(longestGap_.load(std::memory_order_relaxed));
    }
    // The capture was ended here (its outcome is on its way to the window).
    bool ended() const { return ended_.load(); }

private:
    Outcome end(Outcome why) {
        ended_.store(true);
        return why;
    }
    void notePeak(const void* sound, std::size_t bytes);

    TakeBlock& block_;
    Clock now_;
    // Set before the capture starts; read by the capture thread only.
    std::int32_t step_ = 200000;
    std::int64_t largest_ = 0;
    RecoveryFile* recovery_ = nullptr;
    // Capture thread only.
    std::chrono::steady_clock::time_point lastBlockAt_{};
    bool heardBlock_ = false;

    std::atomic<bool> ended_{false};
    std::atomic<std::int64_t> stopAt_{0};
    std::atomic<float> peak_{0};
    std::atomic<std::int64_t> longestGap_{0};
};

} // namespace engine

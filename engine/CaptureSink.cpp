#include "CaptureSink.h"

#include "RecoveryFile.h"
#include "SoundLevel.h"

#include <algorithm>

namespace engine {

void CaptureSink::begin(std::int32_t step, std::int64_t largest, RecoveryFile* recovery) {
    step_ = step;
    largest_ = largest;
    recovery_ = recovery;
    heardBlock_ = false; // the opening of the stream is not the source's rhythm
    ended_ = false;
    stopAt_ = 0;
    peak_ = 0;
    longestGap_ = 0;
}

CaptureSink::Outcome CaptureSink::take(const void* sound, std::size_t bytes) {
    if (ended_.load(std::memory_order_relaxed))
        return Outcome::Ended;
    const auto now = now_();
    if (heardBlock_) {
        const std::int64_t gap = (now - lastBlockAt_).count();
        if (gap > longestGap_.load(std::memory_order_relaxed))
            longestGap_.store(gap, std::memory_order_relaxed);
    }
    heardBlock_ = true;
    lastBlockAt_ = now;

    const std::int64_t length = block_.length();
    std::int64_t take = std::int64_t(bytes);
    Outcome outcome = Outcome::More;
    // The take never passes its limit; it ends on a whole sample frame.
    const std::int64_t frame = kChannels * kBitsPerSample / 8;
    const std::int64_t lastByte = largest_ - (largest_ - kHeaderBytes) % frame;
    if (length + take > lastByte) {
        take = std::max<std::int64_t>(0, lastByte - length);
        outcome = Outcome::TakeFull;
    }
    // A stop is under way: the take ends at its moment, in this block or
    // (when the take is already past it) at once.
    const std::int64_t stopAt = stopAt_.load();
    if (stopAt > 0 && length + take >= stopAt) {
        take = std::max<std::int64_t>(0, stopAt - length);
        outcome = Outcome::ReachedStop;
    }

    // Grow by the remainder rule, which keeps at least one step of room
    // above the data; the capacity test is a second guard on it.
    if ((length % step_) + take >= step_ || std::size_t(length + take) > block_.capacity()) {
        if (!block_.growTo(std::size_t(std::min(length + take + step_, largest_))))
            return end(Outcome::OutOfMemory);
    }
    if (take > 0) {
        block_.append(sound, std::size_t(take));
        if (recovery_)
            recovery_->append(sound, std::size_t(take));
        notePeak(sound, std::size_t(take));
    }
    return outcome == Outcome::More ? outcome : end(outcome);
}

// The level the window shows: a pass over a block just copied.
void CaptureSink::notePeak(const void* sound, std::size_t bytes) {
    const float peak = blockPeak(static_cast<const std::uint8_t*>(sound), bytes);
    float shown = peak_.load(std::memory_order_relaxed);
    while (peak > shown && !peak_.compare_exchange_weak(shown, peak, std::memory_order_relaxed)) {
    }
}

} // namespace engine

#pragma once
// The take in memory as the WAV file it will be saved as: a 44-byte header
// and the sound after it, in one block whose address space is reserved once
// for the largest take, so it never moves while the capture thread writes
// into it or a playback stream reads it in place.
//
// While a capture runs, only the capture thread writes the block; the
// window thread touches it before the capture starts, after it stops and
// while it is paused, all of which the audio library synchronises. The
// length is also read by the window thread during a capture (to show the
// take's length when the library keeps no capture clock), so it is atomic.

#include "ReservedMemory.h"
#include "WaveHeader.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace engine {

class TakeBlock {
public:
    // Asked before the block grows to `bytes`; false refuses, as a system
    // out of memory would.
    using GrowthCheck = std::function<bool(std::size_t bytes)>;

    explicit TakeBlock(std::size_t largest) : memory_(largest) {}

    void setGrowthCheck(GrowthCheck check) { mayGrow_ = std::move(check); }

    // A new take: `firstBytes` of memory and a header whose sizes are 0.
    // False (and no block) when the memory is refused.
    bool begin(std::size_t firstBytes);
    // A whole WAV image recorded before (its sizes right): the take held.
    bool adopt(const std::vector<std::uint8_t>& image);
    // The capture is over: the header's sizes are mended to the length.
    void finish();
    void release();

    // Backs the first `bytes` with memory (capture thread during a take).
    bool growTo(std::size_t bytes);
    // Copies `bytes` after the sound; the room must already be there.
    void append(const void* sound, std::size_t bytes);
    // The take ends at `length` (a pause took the spoken word back out, a
    // stop's moment passed); never lengthens it.
    void cutTo(std::int64_t length);
    // Forgets the last take's length (no block is held).
    void clearLength() { length_.store(0, std::memory_order_relaxed); }

    std::uint8_t* data() { return memory_.data(); }
    const std::uint8_t* data() const { return memory_.data(); }
    std::int32_t length() const { return length_.load(std::memory_order_acquire); }
    std::size_t capacity() const { return capacity_.load(std::memory_order_relaxed); }
    bool held() const { return capacity() > 0; }
    // A finished take: the header's sizes are right and it can be played.
    bool finished() const { return held() && finished_; }

private:
    platform::ReservedMemory memory_;
    GrowthCheck mayGrow_;
    std::atomic<std::size_t> capacity_{0};
    std::atomic<std::int32_t> length_{0};
    bool finished_ = false;
};

} // namespace engine

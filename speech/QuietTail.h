#pragma once
// How long the sound has been quiet since the loudest part of an utterance:
// a piece 20 dB below the loudest one so far is quiet, and a louder piece
// (the start of another syllable) begins the count again.

#include <cstddef>
#include <cstdint>

namespace speech {

class QuietTail {
public:
    void reset() {
        loudest_ = 0;
        quiet_ = 0;
    }
    // Takes the next piece; returns the quiet samples at the end so far.
    std::size_t add(const std::int16_t* samples, std::size_t count) {
        if (count == 0)
            return quiet_;
        double power = 0;
        for (std::size_t i = 0; i < count; ++i)
            power += double(samples[i]) * samples[i];
        power /= double(count);
        if (power > loudest_)
            loudest_ = power;
        quiet_ = power * 100 < loudest_ ? quiet_ + count : 0;
        return quiet_;
    }

private:
    double loudest_ = 0; // mean square of the loudest piece
    std::size_t quiet_ = 0;
};

} // namespace speech

#pragma once
// How long the sound has been quiet since the loudest part of an utterance:
// a piece 20 dB below the loudest one so far is quiet, and a louder piece
// (the start of another syllable) begins the count again.

#include <algorithm>
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

// Where the loud part of an utterance lies: from the first 10 ms (at
// 16 kHz) within 30 dB of its loudest to the end of the last one, so that
// a word is found behind the quiet and the room noise around it.
struct SoundSpan {
    std::size_t begin = 0;
    std::size_t end = 0;
};

inline SoundSpan loudSpan(const std::int16_t* samples, std::size_t count) {
    constexpr std::size_t kFrame = 160;
    const auto power = [&](std::size_t at) {
        double p = 0;
        const std::size_t end = std::min(count, at + kFrame);
        for (std::size_t i = at; i < end; ++i)
            p += double(samples[i]) * samples[i];
        return p;
    };
    double loudest = 0;
    for (std::size_t at = 0; at < count; at += kFrame)
        loudest = std::max(loudest, power(at));
    SoundSpan span;
    bool found = false;
    for (std::size_t at = 0; at < count && loudest > 0; at += kFrame)
        if (power(at) * 1000 >= loudest) {
            if (!found)
                span.begin = at;
            found = true;
            span.end = std::min(count, at + kFrame);
        }
    return span;
}

// Whether anything in the sound stands out from its own quietest part by
// 20 dB, as a voice does from a room; steady noise does not.
inline bool standsOut(const std::int16_t* samples, std::size_t count) {
    constexpr std::size_t kFrame = 160;
    double loudest = 0, quietest = -1;
    for (std::size_t at = 0; at + kFrame <= count; at += kFrame) {
        double p = 0;
        for (std::size_t i = at; i < at + kFrame; ++i)
            p += double(samples[i]) * samples[i];
        loudest = std::max(loudest, p);
        quietest = quietest < 0 ? p : std::min(quietest, p);
    }
    return loudest > 100 * std::max(quietest, double(kFrame));
}

} // namespace speech

#pragma once
// How long the sound has been quiet since the loudest part of an utterance:
// a piece 20 dB below the loudest one so far is quiet, and so is one back
// down at the room's own noise (within 3 dB of the quietest piece heard,
// the room before the utterance included) once the utterance has stood 10
// dB above it: in a room with a fan the pause after a word lies less than
// 20 dB under the word, and with pink noise 10 dB under the voice the
// word's loudest tenth of a second stands less than 15 dB above it (no
// word was answered before the end of the utterance there). A louder
// piece (the start of another syllable) begins the count again.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace speech {

// The mean square of `count` samples: the power every test of loudness here
// compares.
inline double meanSquare(const std::int16_t* samples, std::size_t count) {
    double p = 0;
    for (std::size_t i = 0; i < count; ++i)
        p += double(samples[i]) * samples[i];
    return count ? p / double(count) : 0;
}

class QuietTail {
public:
    void reset() {
        loudest_ = 0;
        quietest_ = -1;
        quiet_ = 0;
    }
    // The room just before the utterance: it sets the noise, not the count.
    void room(const std::int16_t* samples, std::size_t count) {
        for (std::size_t at = 0; at + kPiece <= count; at += kPiece)
            floor(meanSquare(samples + at, kPiece));
    }
    // Takes the next piece; returns the quiet samples at the end so far.
    std::size_t add(const std::int16_t* samples, std::size_t count) {
        if (count == 0)
            return quiet_;
        const double p = meanSquare(samples, count);
        floor(p);
        if (p > loudest_)
            loudest_ = p;
        const bool atRoom = loudest_ > 10 * quietest_ && p < 2 * quietest_;
        quiet_ = p * 100 < loudest_ || atRoom ? quiet_ + count : 0;
        return quiet_;
    }

private:
    static constexpr std::size_t kPiece = 1600; // 0.1 s at 16 kHz
    void floor(double p) { quietest_ = quietest_ < 0 ? p : std::min(quietest_, p); }

    double loudest_ = 0;   // mean square of the loudest piece
    double quietest_ = -1; // and of the quietest (-1: none yet)
    std::size_t quiet_ = 0;
};

// Where the loud part of an utterance lies: from the first 10 ms (at
// 16 kHz) within 30 dB of its loudest to the end of the last one, so that
// a word is found behind the quiet and the room noise around it. In a noisy
// room (a fan 20 dB under the voice) the noise itself lies within 30 dB: a
// moment counts only if it also stands 9 dB over the room, the utterance's
// quietest tenth (over 30 ms, so that the noise's own flicker does not).
struct SoundSpan {
    std::size_t begin = 0;
    std::size_t end = 0;
};

inline SoundSpan loudSpan(const std::int16_t* samples, std::size_t count) {
    constexpr std::size_t kFrame = 160;
    std::vector<double> power;
    for (std::size_t at = 0; at < count; at += kFrame)
        power.push_back(meanSquare(samples + at, std::min(count, at + kFrame) - at));
    SoundSpan span;
    if (power.empty())
        return span;
    const double loudest = *std::max_element(power.begin(), power.end());
    std::vector<double> smooth(power.size());
    for (std::size_t f = 0; f < power.size(); ++f) {
        const std::size_t from = f > 0 ? f - 1 : 0, to = std::min(power.size(), f + 2);
        double sum = 0;
        for (std::size_t g = from; g < to; ++g)
            sum += power[g];
        smooth[f] = sum / double(to - from);
    }
    std::vector<double> sorted = smooth;
    const auto tenth = sorted.begin() + std::ptrdiff_t(sorted.size() / 10);
    std::nth_element(sorted.begin(), tenth, sorted.end());
    const double room = *tenth;
    bool found = false;
    for (std::size_t f = 0; f < power.size() && loudest > 0; ++f)
        if (power[f] * 1000 >= loudest && smooth[f] >= 8 * room) {
            if (!found)
                span.begin = f * kFrame;
            found = true;
            span.end = std::min(count, (f + 1) * kFrame);
        }
    return span;
}

// Whether anything in the sound stands out from its own quietest part by
// 20 dB, as a voice does from a room; steady noise does not.
inline bool standsOut(const std::int16_t* samples, std::size_t count) {
    constexpr std::size_t kFrame = 160;
    double loudest = 0, quietest = -1;
    for (std::size_t at = 0; at + kFrame <= count; at += kFrame) {
        const double p = meanSquare(samples + at, kFrame) * kFrame;
        loudest = std::max(loudest, p);
        quietest = quietest < 0 ? p : std::min(quietest, p);
    }
    return loudest > 100 * std::max(quietest, double(kFrame));
}

} // namespace speech

#pragma once
// Marks utterances off in the sound, piece by piece, from what the decoder's
// voice detector says of each piece: an utterance begins with the half
// second before speech was noticed (the detector notices it a little late),
// goes on across pauses shorter than the join, and ends after the
// detector's end of speech (at once while a take runs). It also says when a
// command may be answered before the end: speech followed by a little quiet.
// No decoder in here: it is tested on made-up pieces.

#include "QuietTail.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace speech {

class UtteranceSegmenter {
public:
    static constexpr int kSampleRate = 16000;
    // Kept before speech is noticed; the rest of the quiet is not.
    static constexpr std::size_t kBefore = kSampleRate / 2;
    // Longer than any command word said slowly; the rest is not kept.
    static constexpr std::size_t kLongest = kSampleRate * 8;

    struct Rules {
        double joinQuiet = 0;  // seconds an utterance stays open after the end of speech
        double earlyQuiet = 0; // seconds of quiet after speech to answer early (0: never)
        bool strict = false;   // a take runs: no join, no early answer
    };
    enum class Step {
        None,
        Began,       // an utterance began with this piece
        Ended,       // it is over: take it with take()
        AnswerEarly, // its words so far may be answered now
    };

    // The next piece of sound; `fedAfter`: samples fed, this piece included.
    Step add(const std::int16_t* piece, std::size_t count, bool inSpeech, const Rules& rules,
             std::uint64_t fedAfter);
    // The utterance, ended (and with it its early answer).
    std::vector<std::int16_t> take();
    // Steady sound: the utterance and the quiet before it go, unheard.
    void drop();

    bool inUtterance() const { return inUtterance_; }
    const std::vector<std::int16_t>& utterance() const { return utterance_; }
    // Samples fed before the utterance's first one.
    std::uint64_t utteranceFrom() const { return utteranceFrom_; }
    void answered() { answered_ = true; }
    bool wasAnswered() const { return answered_; }

private:
    std::vector<std::int16_t> before_;
    std::vector<std::int16_t> utterance_;
    std::uint64_t utteranceFrom_ = 0;
    bool inUtterance_ = false;
    bool answered_ = false; // this utterance's command went out early
    QuietTail tail_;        // how long the utterance has been quiet
    std::size_t ended_ = 0; // samples since the decoder's end of speech
};

} // namespace speech

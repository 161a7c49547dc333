#pragma once
// The order of a training: each command word in turn, said a few times by
// the user, each try checked before it counts; a word can be started again.
// The training window shows what this says and forwards what it hears.

#include "VoiceProfile.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace speech {

class TrainingSequence {
public:
    // What the window tells the user after a step.
    enum class Status { Ignored, Heard, NotHeard, LikeAnother, TooLoud, TooSoft };

    // The word asked for now (its place in commandWordList()); words() once
    // every word has all its takes.
    std::size_t word() const { return word_; }
    static std::size_t words();
    bool finished() const { return word_ >= words(); }
    // Which try of the current word comes next (1-based).
    int nextTake() const;
    const VoiceProfile& profile() const { return profile_; }

    // True when the current word is new and should be said to the user
    // before the first try; the caller says it and then calls saidToUser.
    bool wantsSaying() const;
    void sayingToUser() { saying_ = true; }
    void saidToUser() { saying_ = false; }
    bool saying() const { return saying_; }

    // One utterance of the user's. Ignored while the word is
    // being said to the user or once every word is done.
    Status hear(const std::vector<std::int16_t>& samples);
    // Starts "this word" again: before the first try of a word, the one
    // just finished.
    void redo();

private:
    VoiceProfile profile_;
    std::size_t word_ = 0;
    bool saying_ = false;
};

} // namespace speech

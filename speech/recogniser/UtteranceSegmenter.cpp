#include "UtteranceSegmenter.h"

#include <utility>

namespace speech {

UtteranceSegmenter::Step UtteranceSegmenter::add(const std::int16_t* piece, std::size_t count,
                                                 bool inSpeech, const Rules& rules,
                                                 std::uint64_t fedAfter) {
    if (inUtterance_) {
        if (utterance_.size() < kLongest)
            utterance_.insert(utterance_.end(), piece, piece + count);
    } else {
        before_.insert(before_.end(), piece, piece + count);
        if (before_.size() > kBefore)
            before_.erase(before_.begin(), before_.end() - std::ptrdiff_t(kBefore));
    }
    if (inSpeech && !inUtterance_) {
        inUtterance_ = true;
        answered_ = false;
        tail_.reset();
        tail_.room(before_.data(), before_.size());
        ended_ = 0;
        utterance_.assign(before_.begin(), before_.end());
        utteranceFrom_ = fedAfter - before_.size();
        before_.clear();
        return Step::Began;
    }
    if (!inUtterance_)
        return Step::None;
    // Speech that comes back before the utterance is over goes on in the
    // same utterance: the decoder has dropped the quiet.
    ended_ = inSpeech ? 0 : ended_ + count;
    if (!inSpeech && (rules.strict || double(ended_) > rules.joinQuiet * kSampleRate))
        return Step::Ended;
    if (inSpeech && !answered_ && rules.earlyQuiet > 0 && !rules.strict &&
        double(tail_.add(piece, count)) >= rules.earlyQuiet * kSampleRate)
        return Step::AnswerEarly;
    return Step::None;
}

std::vector<std::int16_t> UtteranceSegmenter::take() {
    inUtterance_ = false;
    std::vector<std::int16_t> heard = std::move(utterance_);
    utterance_.clear();
    return heard;
}

void UtteranceSegmenter::drop() {
    inUtterance_ = false;
    utterance_.clear();
    before_.clear();
}

} // namespace speech

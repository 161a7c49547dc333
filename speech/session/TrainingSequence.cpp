#include "TrainingSequence.h"

#include "CommandLexicon.h"

namespace speech {

std::size_t TrainingSequence::words() {
    return commandWordList().size();
}

int TrainingSequence::nextTake() const {
    return finished() ? 0 : profile_.takes(commandWordList()[word_]) + 1;
}

bool TrainingSequence::wantsSaying() const {
    return !saying_ && !finished() && profile_.takes(commandWordList()[word_]) == 0;
}

TrainingSequence::Status TrainingSequence::hear(const std::vector<std::int16_t>& samples) {
    if (finished() || saying_)
        return Status::Ignored;
    const std::string& word = commandWordList()[word_];
    switch (profile_.offer(word, samples)) {
    case VoiceProfile::TakeCheck::NotAWord:
        return Status::NotHeard;
    case VoiceProfile::TakeCheck::LikeAnotherWord:
        return Status::LikeAnother;
    case VoiceProfile::TakeCheck::TooLoud:
        return Status::TooLoud;
    case VoiceProfile::TakeCheck::TooSoft:
        return Status::TooSoft;
    case VoiceProfile::TakeCheck::Fine:
        break;
    }
    if (profile_.takes(word) >= VoiceProfile::kTakesPerWord)
        ++word_;
    return Status::Heard;
}

void TrainingSequence::redo() {
    const auto& list = commandWordList();
    if (word_ > 0 && (finished() || profile_.takes(list[word_]) == 0))
        --word_;
    profile_.clearWord(list[word_]);
}

} // namespace speech

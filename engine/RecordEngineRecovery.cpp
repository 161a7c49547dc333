// The engine's side of the take's copy on disk: where it is kept, a copy
// that could not be kept, closing with a take that has no whole copy, and
// the takes earlier sessions left.

#include "RecordEngine.h"

#include "RecoveryOffer.h"

#include <utility>

namespace engine {

void RecordEngine::setRecoveryFolder(const std::filesystem::path& folder,
                                     RecoveryFile::Trash trash) {
    recovery_ = std::make_unique<RecoveryFile>(folder);
    recovery_->setTrash(std::move(trash));
}

// Said once per take, while it goes on: the user may want to stop and save
// sooner than planned.
void RecordEngine::warnUnprotected() {
    if (warnedUnprotected_)
        return;
    warnedUnprotected_ = true;
    if (recovery_)
        recovery_->markCutShort();
    tell(text::kUnprotected);
}

bool RecordEngine::QueryClose() {
    if (phase_ != Phase::Idle && !(recovery_ && recovery_->failed()))
        return true; // the copy on disk is whole: offered at the next start
    if (phase_ != Phase::Idle)
        stopNow();
    if (!recovery_ || takeSaved_ || !hasFinishedTake() || block_.length() <= kHeaderBytes ||
        !recovery_->failed())
        return true;
    if (window_.askYesNo(programTitle_, scripted(text::kSaveBeforeClose))) {
        SaveRecording();
        return takeSaved_; // a save cancelled or failed: the window stays
    }
    recovery_->throwAwayOwn();
    return true;
}

bool RecordEngine::adoptTake(std::vector<std::uint8_t> image, std::time_t madeAt) {
    if (phase_ != Phase::Idle)
        stopNow();
    dropTake();
    if (!block_.adopt(image))
        return false;
    takeSaved_ = false;
    takeMadeAt_ = madeAt;
    PlaybackStream =
        library_.BASS_StreamCreateFile(1, block_.data(), 0, audio::QWORD(block_.length()), 0);
    window_.setPlaySaveEnabled(PlaybackStream != 0);
    return true;
}

void RecordEngine::OfferRecovery() {
    if (!recovery_ || phase_ != Phase::Idle)
        return;
    RecoveryOffer offer;
    offer.hold = [this](std::vector<std::uint8_t> image, std::time_t madeAt) {
        return adoptTake(std::move(image), madeAt);
    };
    offer.save = [this] { SaveRecording(); };
    offer.run(*recovery_, window_, programTitle_);
}

} // namespace engine

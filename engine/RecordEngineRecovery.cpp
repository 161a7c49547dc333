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

bool RecordEngine::QueryClose(std::function<void()> closeNow) {
    if (phase_ != Phase::Idle && !(recovery_ && recovery_->failed()))
        return true; // the copy on disk is whole: offered at the next start
    if (phase_ != Phase::Idle)
        stopNow();
    if (!recovery_ || takeSaved_ || letGo_ || !hasFinishedTake() ||
        block_.length() <= kHeaderBytes || !recovery_->failed())
        return true;
    if (closeQuestionOpen_ || saveDialogOpen_)
        return false; // she is answering already
    closeQuestionOpen_ = true;
    window_.askYesNo(programTitle_, scripted(text::kSaveBeforeClose),
                     [this, closeNow = std::move(closeNow)](bool yes) {
                         closeQuestionOpen_ = false;
                         if (!yes) {
                             recovery_->throwAwayOwn();
                             letGo_ = true; // nothing left to ask about
                             closeNow();
                             return;
                         }
                         SaveRecording([closeNow](bool saved) {
                             if (saved) // cancelled or failed: the window stays
                                 closeNow();
                         });
                     });
    return false;
}

bool RecordEngine::adoptTake(std::vector<std::uint8_t> image, std::time_t madeAt) {
    if (phase_ != Phase::Idle)
        stopNow();
    dropTake();
    if (!block_.adopt(image))
        return false;
    takeSaved_ = false;
    letGo_ = false;
    takeMadeAt_ = madeAt;
    PlaybackStream =
        library_.BASS_StreamCreateFile(1, block_.data(), 0, audio::QWORD(block_.length()), 0);
    window_.setPlaySaveEnabled(PlaybackStream != 0);
    return true;
}

void RecordEngine::OfferRecovery() {
    if (!recovery_ || phase_ != Phase::Idle)
        return;
    if (!offer_.expired())
        return; // one offer at a time
    auto offer = std::make_shared<RecoveryOffer>(
        *recovery_, window_, programTitle_,
        [this](std::vector<std::uint8_t> image, std::time_t madeAt) {
            return adoptTake(std::move(image), madeAt);
        },
        [this](std::function<void()> then) {
            SaveRecording([then = std::move(then)](bool) { then(); });
        });
    offer_ = offer;
    offer->start();
}

} // namespace engine

#include "RecoveryOffer.h"

#include "EngineTexts.h"
#include "TakeNames.h"
#include "WaveHeader.h"

#include <cstdio>
#include <utility>

namespace engine {
namespace {

std::string utf8(const std::filesystem::path& file) {
    return reinterpret_cast<const char*>(file.u8string().c_str());
}

} // namespace

RecoveryOffer::RecoveryOffer(RecoveryFile& recovery, EngineWindow& window, std::string title,
                             Hold hold, Save save)
    : recovery_(recovery), window_(window), title_(std::move(title)), hold_(std::move(hold)),
      save_(std::move(save)) {}

void RecoveryOffer::start() {
    files_ = recovery_.leftovers();
    next_ = 0;
    offerNext();
}

void RecoveryOffer::offerNext() {
    if (finished())
        return;
    const std::filesystem::path file = files_[next_++];
    const bool s = window_.isSimplified();
    auto self = shared_from_this();
    auto image = RecoveryFile::readTake(file);
    if (!image) {
        // Not a take any more (damaged, or never ours): asking about it
        // at every start would help nobody. Kept where it is when the
        // trash will not take it, and the user told where.
        const bool trashed = recovery_.throwAway(file);
        window_.showNotice(title_,
                           trashed ? std::string(text::kRecoverTrashed.in(s))
                                   : text::kRecoverFailed.in(s) + utf8(file),
                           MessageIcon::Exclamation, [self] { self->offerNext(); });
        return;
    }
    const std::string asked = question(file, image->size(), s);
    window_.askYesNo(title_, asked, [self, file, image = std::move(*image)](bool yes) mutable {
        self->answered(file, std::move(image), yes);
    });
}

void RecoveryOffer::answered(const std::filesystem::path& file, std::vector<std::uint8_t> image,
                             bool yes) {
    auto self = shared_from_this();
    if (!yes) {
        recovery_.throwAway(file); // the trash refusing it: offered again
        offerNext();
        return;
    }
    // Held before the dialog: a cancelled save leaves it as this session's
    // unsaved take, still on disk. A take that cannot be held in memory is
    // never removed: the user is told where it is.
    if (!recovery_.adopt(file) || !hold_(std::move(image), RecoveryFile::recordedAt(file))) {
        window_.showNotice(title_, text::kRecoverFailed.in(window_.isSimplified()) + utf8(file),
                           MessageIcon::Exclamation, [self] { self->offerNext(); });
        return;
    }
    save_([self] { self->offerNext(); });
}

// "12月8日 上午6点45分" (with the year when it is not this one) and "1分05秒".
std::string RecoveryOffer::question(const std::filesystem::path& file, std::size_t imageBytes,
                                    bool simplified) {
    const std::string when =
        momentInWords(RecoveryFile::recordedAt(file), std::time(nullptr), simplified);
    const std::string length =
        lengthInWords(imageBytes > kHeaderBytes ? imageBytes - kHeaderBytes : 0, kBytesPerSecond);
    char detail[256];
    std::snprintf(detail, sizeof detail, text::kRecoverDetail.in(simplified), when.c_str(),
                  length.c_str());
    return text::kRecover.in(simplified) + std::string("\r\n") +
           (RecoveryFile::cutShort(file) ? text::kRecoverCut.in(simplified) + std::string("\r\n")
                                         : std::string()) +
           detail;
}

} // namespace engine

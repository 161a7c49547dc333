#include "RecoveryOffer.h"

#include "EngineTexts.h"
#include "TakeNames.h"
#include "WaveHeader.h"

#include <cstdio>

namespace engine {

void RecoveryOffer::run(RecoveryFile& recovery, EngineWindow& window,
                        const std::string& title) const {
    const bool s = window.isSimplified();
    for (const std::filesystem::path& file : recovery.leftovers()) {
        const std::string where = reinterpret_cast<const char*>(file.u8string().c_str());
        auto image = RecoveryFile::readTake(file);
        if (!image) {
            // Not a take any more (damaged, or never ours): asking about it
            // at every start would help nobody. Kept where it is when the
            // trash will not take it, and the user told where.
            const bool trashed = recovery.throwAway(file);
            window.showMessage(title,
                               trashed ? std::string(text::kRecoverTrashed.in(s))
                                       : text::kRecoverFailed.in(s) + where,
                               MessageIcon::Exclamation);
            continue;
        }
        if (!window.askYesNo(title, question(file, image->size(), s))) {
            recovery.throwAway(file); // the trash refusing it: offered again
            continue;
        }
        // Held before the dialog: a cancelled save leaves it as this
        // session's unsaved take, still on disk. A take that cannot be held
        // in memory is never removed: the user is told where it is.
        if (!recovery.adopt(file) || !hold(std::move(*image), RecoveryFile::recordedAt(file))) {
            window.showMessage(title, text::kRecoverFailed.in(s) + where, MessageIcon::Exclamation);
            continue;
        }
        save();
    }
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

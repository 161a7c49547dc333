#pragma once
// The takes the suite's recorders put in the desktop's trash (a take a new
// one replaced before it was saved, a leftover answered 否), found by the
// trash's own records of where each file came from, and put back.

#include <QString>

#include <ctime>
#include <filesystem>
#include <vector>

namespace recordings {

struct TrashedTake {
    QString file; // in the trash's files/
    QString info; // its record in the trash's info/
    QString name; // as the trash holds it: "2026-12-08 06.45.12 1分05秒.wav"
    std::time_t recorded = 0;
    qint64 bytes = 0;
};

// The user's own trash (the freedesktop.org one in the data folder).
QString homeTrash();
// Those of the files in `trash` that came from one of `from` (the recorders'
// recovery folders), newest first.
std::vector<TrashedTake> trashedTakes(const QString& trash,
                                      const std::vector<std::filesystem::path>& from);
// Puts `take` back, byte for byte, into `folder` under the name it would
// have been saved with ("12月8日 上午6点45分.wav", " (2)" when taken), and
// forgets it in the trash. The new path, or empty with `error` set.
QString restoreTake(const TrashedTake& take, const QString& folder, bool simplified,
                    QString* error = nullptr);

} // namespace recordings

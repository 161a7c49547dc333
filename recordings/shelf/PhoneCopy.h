#pragma once
// A small copy of a recording for phones and messaging apps: MP3, one
// channel, about 64 kbit/s (half a megabyte a minute, where the WAV is ten),
// written by libsndfile's MPEG writer. No widgets, no Qt: it runs on a
// worker thread.

#include <atomic>
#include <filesystem>
#include <functional>
#include <string>

namespace recordings {

struct PhoneCopyResult {
    bool ok = false;
    std::string error;  // libsndfile's words, when it failed
    double seconds = 0; // of sound written
};

// Writes `mp3` from `wav` (any file libsndfile reads, any rate and channel
// count), through a temporary beside it: a copy that fails or is cancelled
// leaves nothing. `progress` is told the share done (0..1) now and then;
// `cancel` set stops it.
PhoneCopyResult writePhoneCopy(const std::filesystem::path& wav, const std::filesystem::path& mp3,
                               const std::function<void(double)>& progress = {},
                               const std::atomic<bool>* cancel = nullptr);
// The name of the copy beside a recording: "x.wav" gives "x.mp3".
std::filesystem::path phoneCopyPath(const std::filesystem::path& wav);

} // namespace recordings

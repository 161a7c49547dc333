#pragma once
// Plays one recording at a time from the list, through the suite's own
// audio layer: the file is read into memory and played in place, so a
// file changed or removed meanwhile cannot break the sound. Window thread.

#include "AudioLibrary.h"

#include <cstdint>
#include <filesystem>
#include <vector>

namespace recordings {

class ShelfPlayer {
public:
    explicit ShelfPlayer(audio::AudioLibrary& library) : library_(library) {}
    ~ShelfPlayer() { stop(); }
    ShelfPlayer(const ShelfPlayer&) = delete;
    ShelfPlayer& operator=(const ShelfPlayer&) = delete;

    // Stops what plays and plays `file` from its start; false when it
    // cannot be read or played.
    bool play(const std::filesystem::path& file);
    void stop();
    // The file that plays now (empty when none, or when it has ended).
    std::filesystem::path playing();
    // How far it is and how long, in seconds.
    double position();
    double length() const { return length_; }

private:
    audio::AudioLibrary& library_;
    std::vector<std::uint8_t> image_;
    audio::HSTREAM stream_ = 0;
    std::filesystem::path file_;
    double bytesPerSecond_ = 176400;
    double length_ = 0;
};

} // namespace recordings

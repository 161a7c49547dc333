#include "ShelfPlayer.h"

#include "WavFormat.h"

#include <fstream>
#include <iterator>

namespace recordings {

bool ShelfPlayer::play(const std::filesystem::path& file) {
    stop();
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return false;
    image_.assign(std::istreambuf_iterator<char>(in), {});
    const auto format = audio::parseWavImage(image_.data(), image_.size());
    if (!format) {
        image_.clear();
        return false;
    }
    stream_ = library_.BASS_StreamCreateFile(1, image_.data(), 0, image_.size(), 0);
    if (stream_ == 0 || !library_.BASS_ChannelPlay(stream_, 0)) {
        stop();
        return false;
    }
    file_ = file;
    bytesPerSecond_ = double(format->sampleRate) * format->blockAlign();
    length_ = double(library_.BASS_ChannelGetLength(stream_)) / bytesPerSecond_;
    return true;
}

void ShelfPlayer::stop() {
    if (stream_ != 0)
        library_.BASS_StreamFree(stream_);
    stream_ = 0;
    image_.clear();
    image_.shrink_to_fit();
    file_.clear();
    length_ = 0;
}

std::filesystem::path ShelfPlayer::playing() {
    if (stream_ != 0 && library_.BASS_ChannelIsActive(stream_) == audio::BASS_ACTIVE_STOPPED)
        stop(); // played to its end
    return file_;
}

double ShelfPlayer::position() {
    if (stream_ == 0)
        return 0;
    return double(library_.BASS_ChannelGetPosition(stream_)) / bytesPerSecond_;
}

} // namespace recordings

#pragma once
// Reading the format of a canonical PCM WAV image held in memory: what a
// memory stream needs to know to play the image in place.

#include <cstddef>
#include <cstdint>
#include <optional>

namespace audio {

struct PcmFormat {
    std::uint16_t channels = 0;
    std::uint32_t sampleRate = 0;
    std::uint16_t bitsPerSample = 0;
    std::size_t dataOffset = 0; // first sample byte in the image
    std::size_t dataBytes = 0;  // sample bytes available in the image

    std::uint32_t blockAlign() const { return channels * bitsPerSample / 8u; }
};

// Walks the RIFF chunks of `image` (of `size` bytes). The data size is taken
// from the chunk header but never beyond the image, and a zero size (a take
// whose header is not finished) means "to the end of the image".
std::optional<PcmFormat> parseWavImage(const void* image, std::size_t size);

} // namespace audio

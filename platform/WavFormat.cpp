#include "WavFormat.h"

#include <cstring>

namespace audio {
namespace {

std::uint32_t le32(const unsigned char* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}
std::uint16_t le16(const unsigned char* p) {
    return std::uint16_t(p[0] | p[1] << 8);
}

} // namespace

std::optional<PcmFormat> parseWavImage(const void* image, std::size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(image);
    if (!bytes || size < 12 || std::memcmp(bytes, "RIFF", 4) != 0 ||
        std::memcmp(bytes + 8, "WAVE", 4) != 0)
        return std::nullopt;

    PcmFormat format;
    bool haveFormat = false;
    std::size_t pos = 12;
    while (pos + 8 <= size) {
        const unsigned char* chunk = bytes + pos;
        const std::size_t chunkSize = le32(chunk + 4);
        const std::size_t body = pos + 8;
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (chunkSize < 16 || body + 16 > size)
                return std::nullopt;
            if (le16(bytes + body) != 1) // PCM only
                return std::nullopt;
            format.channels = le16(bytes + body + 2);
            format.sampleRate = le32(bytes + body + 4);
            format.bitsPerSample = le16(bytes + body + 14);
            haveFormat = true;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (!haveFormat || format.channels == 0 || format.sampleRate == 0 ||
                (format.bitsPerSample != 8 && format.bitsPerSample != 16))
                return std::nullopt;
            const std::size_t available = size - body;
            format.dataOffset = body;
            format.dataBytes = (chunkSize == 0 || chunkSize > available) ? available : chunkSize;
            format.dataBytes -= format.dataBytes % format.blockAlign();
            return format;
        }
        // Chunks are word aligned; a size that would run past the image ends the walk.
        const std::size_t next = body + chunkSize + (chunkSize & 1u);
        if (next <= pos)
            return std::nullopt;
        pos = next;
    }
    return std::nullopt;
}

} // namespace audio

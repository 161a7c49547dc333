#include "WaveHeader.h"

#include <cmath>
#include <cstring>

namespace engine {

void WaveHeader::write32(int offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[std::size_t(offset + i)] = std::uint8_t(value >> (8 * i));
}

void WaveHeader::write16(int offset, std::uint16_t value) {
    bytes[std::size_t(offset)] = std::uint8_t(value);
    bytes[std::size_t(offset + 1)] = std::uint8_t(value >> 8);
}

std::uint32_t WaveHeader::read32(int offset) const {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | bytes[std::size_t(offset + i)];
    return v;
}

WaveHeader WaveHeader::forNewTake() {
    WaveHeader h;
    std::memcpy(h.bytes.data(), "RIFF", 4);
    h.write32(4, 0);
    std::memcpy(h.bytes.data() + 8, "WAVE", 4);
    std::memcpy(h.bytes.data() + 12, "fmt ", 4);
    h.write32(16, 16);
    h.write16(20, 1); // PCM
    h.write16(22, kChannels);
    h.write32(24, kSampleRate);
    // Block alignment as a real-number quotient rounded half to even, the
    // byte rate derived from it.
    const auto blockAlign = std::uint16_t(std::nearbyint(kChannels * kBitsPerSample / 8.0));
    h.write32(28, std::uint32_t(blockAlign) * kSampleRate);
    h.write16(32, blockAlign);
    h.write16(34, kBitsPerSample);
    std::memcpy(h.bytes.data() + 36, "data", 4);
    h.write32(40, 0);
    return h;
}

void WaveHeader::setSizes(std::int32_t recordLength) {
    write32(4, std::uint32_t(recordLength - 8));
    write32(40, std::uint32_t(recordLength - kHeaderBytes));
}

void WaveHeader::mendSizes(std::uint8_t* image, std::int32_t recordLength) {
    WaveHeader header;
    header.setSizes(recordLength);
    std::memcpy(image + 4, header.bytes.data() + 4, 4);
    std::memcpy(image + 40, header.bytes.data() + 40, 4);
}

} // namespace engine

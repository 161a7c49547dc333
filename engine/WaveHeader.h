#pragma once
// The 44-byte header of a canonical PCM WAV file, kept as the record it is
// on disk so that it can be copied to the head of the take as it stands.

#include <array>
#include <cstdint>

namespace engine {

constexpr std::uint32_t kSampleRate = 44100;
constexpr std::uint16_t kChannels = 2;
constexpr std::uint16_t kBitsPerSample = 16;
constexpr std::int32_t kHeaderBytes = 44;
constexpr std::uint32_t kBytesPerSecond = 176400;

struct WaveHeader {
    std::array<std::uint8_t, kHeaderBytes> bytes{};

    // The start values: format filled in, both size fields 0.
    static WaveHeader forNewTake();
    // The two size fields as they are once the take is `recordLength` bytes.
    void setSizes(std::int32_t recordLength);
    // The same, written into the head of a WAV image in memory.
    static void mendSizes(std::uint8_t* image, std::int32_t recordLength);

    std::uint32_t riffSize() const { return read32(4); }
    std::uint32_t dataSize() const { return read32(40); }

    void write32(int offset, std::uint32_t value);
    void write16(int offset, std::uint16_t value);
    std::uint32_t read32(int offset) const;
};

} // namespace engine

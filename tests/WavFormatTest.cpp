// The memory stream's reading of a WAV image: named cases of broken input,
// and every truncation of a good image must be refused or read inside it.

#include "WavFormat.h"
#include "WaveHeader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

std::vector<std::uint8_t> goodImage(std::uint32_t dataBytes) {
    auto h = engine::WaveHeader::forNewTake();
    h.setSizes(std::int32_t(44 + dataBytes));
    // Made whole first, then the header copied in: growing a vector made
    // from the header trips a false array-bounds warning of GCC 12 at -O3.
    std::vector<std::uint8_t> v(44 + dataBytes, 0x11);
    std::copy(h.bytes.begin(), h.bytes.end(), v.begin());
    return v;
}

} // namespace

TEST(WavFormat, ReadsOurOwnHeader) {
    const auto img = goodImage(4000);
    const auto f = audio::parseWavImage(img.data(), img.size());
    ASSERT_TRUE(f);
    EXPECT_EQ(f->channels, 2);
    EXPECT_EQ(f->sampleRate, 44100u);
    EXPECT_EQ(f->bitsPerSample, 16);
    EXPECT_EQ(f->dataOffset, 44u);
    EXPECT_EQ(f->dataBytes, 4000u);
}

TEST(WavFormat, RefusesBrokenImages) {
    struct Row {
        const char* name;
        std::vector<std::uint8_t> bytes;
    };
    auto notRiff = goodImage(8);
    notRiff[0] = 'X';
    auto notPcm = goodImage(8);
    notPcm[20] = 3;
    auto zeroChannels = goodImage(8);
    zeroChannels[22] = 0;
    auto hugeChunk = goodImage(8);
    hugeChunk[16] = 0xFF, hugeChunk[17] = 0xFF, hugeChunk[18] = 0xFF, hugeChunk[19] = 0x7F;
    const std::vector<Row> rows = {
        {"empty", {}},
        {"one byte", {'R'}},
        {"not RIFF", notRiff},
        {"not PCM", notPcm},
        {"no channels", zeroChannels},
        {"format chunk past the end", hugeChunk},
    };
    for (const auto& r : rows)
        EXPECT_FALSE(audio::parseWavImage(r.bytes.data(), r.bytes.size())) << r.name;
}

TEST(WavFormat, EveryTruncationStaysInsideTheImage) {
    const auto img = goodImage(400);
    for (std::size_t n = 0; n <= img.size(); ++n) {
        const std::vector<std::uint8_t> cut(img.begin(), img.begin() + std::ptrdiff_t(n));
        const auto f = audio::parseWavImage(cut.data(), cut.size());
        if (f) {
            EXPECT_LE(f->dataOffset + f->dataBytes, n) << n;
            EXPECT_EQ(f->dataBytes % 4, 0u) << n;
        }
    }
}

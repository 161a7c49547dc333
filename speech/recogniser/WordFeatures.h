#pragma once
// What a spoken word looks like to the template matcher: one vector per
// 10 ms of speech (mel cepstrum without its level, plus how it changes),
// cut to the loud part of the utterance and with its mean taken off, so
// that the microphone's colour and the speaker's distance matter little.
//
// A recording made in a quiet moment is compared with a word said over the
// noise of a room by adding that room's noise to the recording first (at the
// word's level): both then look as they would in the same room. A steady
// room's noise is then taken back off both, so that bands it fills weigh
// nothing.

#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace speech {

// An utterance's power in each mel band, frame by frame, and the room's
// noise heard in its quiet moments.
struct BandPowers {
    static constexpr int kBands = 26;
    using Frame = std::array<float, kBands>;
    std::vector<Frame> frames;
    Frame room{};
    double peak = 0; // the loudest frame's power
    // The room's noise is steady (a fan, traffic, hiss): its quiet frames
    // lie close together, as a dying echo's or a word's own edges do not.
    bool steadyRoom = false;
    // Bands this microphone does not pass. A word compared with one that
    // lacks some bands is compared without them on both sides: what one
    // side's microphone cut away says nothing about the word.
    std::bitset<kBands> missing;

    // 16 kHz mono samples of one utterance with a moment of quiet around it.
    static BandPowers fromSamples(const std::int16_t* samples, std::size_t count);

    // The same utterance as another microphone or room would give it: only
    // the bands between `lowHz` and `highHz` (as a telephone or a small
    // headset passes them); or heard in a room whose
    // echo dies away by 60 dB in `seconds`, its tail `level` of the direct
    // sound's power.
    BandPowers bandLimited(double lowHz, double highHz) const;
    // How much of the utterance's power lies in `bands`, as a share of all.
    double shareIn(const std::bitset<kBands>& bands) const;
    BandPowers reverberant(double seconds, double level) const;
};

class WordFeatures {
public:
    static constexpr int kDims = 19;       // c1..c9 and the slopes of c0..c9
    static constexpr int kFrameStep = 160; // samples: 10 ms

    WordFeatures() = default;
    // The word as it would sound at `like`'s level over the louder of the
    // two rooms, band by band: called both ways, two words are compared as
    // if said in the same room.
    static WordFeatures inRoomOf(const BandPowers& word, const BandPowers& like);
    static WordFeatures fromBands(const BandPowers& word);

    std::size_t frames() const { return data_.size() / kDims; }
    bool empty() const { return data_.empty(); }
    const float* frame(std::size_t i) const { return data_.data() + i * kDims; }

private:
    // `peakPower`: the word's loudest frame in the bands compared;
    // `subtractRoom`: the room both sides are heard in is steady noise.
    static WordFeatures compute(const BandPowers& word, double gain, const BandPowers::Frame& add,
                                const std::bitset<BandPowers::kBands>& missing, double peakPower,
                                bool subtractRoom);
    std::vector<float> data_;
};

} // namespace speech

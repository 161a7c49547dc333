#include "SteadySound.h"

#include "QuietTail.h"
#include "WordFeatures.h"

#include <algorithm>
#include <array>
#include <functional>

namespace speech {

std::size_t SteadySound::add(const std::int16_t* samples, std::size_t count) {
    const double power = meanSquare(samples, count);
    room_ = room_ < 0 ? power : std::min(room_ * kRoomRise, power);
    if (power < kOverRoom * room_) {
        reset(room_);
        return 0;
    }
    const BandPowers bands = BandPowers::fromSamples(samples, count);
    // Each moment narrow, all with the same loudest band, and that band the
    // one the steady sound so far had.
    int band = -1;
    bool steady = !bands.frames.empty();
    for (const BandPowers::Frame& f : bands.frames) {
        if (!steady)
            break;
        std::array<float, BandPowers::kBands> sorted = f;
        std::partial_sort(sorted.begin(), sorted.begin() + kTopBands, sorted.end(),
                          std::greater<>());
        double total = 0, top = 0;
        for (int b = 0; b < BandPowers::kBands; ++b)
            total += sorted[std::size_t(b)];
        for (int b = 0; b < kTopBands; ++b)
            top += sorted[std::size_t(b)];
        const int loudest = int(std::max_element(f.begin(), f.end()) - f.begin());
        steady = total > 0 && top >= kNarrowShare * total && (band < 0 || loudest == band);
        band = loudest;
    }
    if (!steady || (band_ >= 0 && band != band_)) {
        run_ = steady ? count : 0;
        band_ = steady ? band : -1;
        return run_;
    }
    band_ = band;
    run_ += count;
    return run_;
}

} // namespace speech

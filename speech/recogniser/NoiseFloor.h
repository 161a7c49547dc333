#pragma once
// A faint floor of white noise added under everything the decoder hears:
// exact digital zeros (a muted source, a padded file) throw its noise and
// level tracking off, and every real microphone has a floor louder than
// this one anyway.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>

namespace speech {

class NoiseFloor {
public:
    // `db`: the floor's level (dBFS RMS); uniform noise peaks √3 above it.
    explicit NoiseFloor(double db)
        : peak_(int(32768.0 * std::pow(10.0, db / 20.0) * std::sqrt(3.0))) {}

    void addTo(const std::int16_t* samples, std::size_t count, std::int16_t* out) {
        for (std::size_t i = 0; i < count; ++i) {
            state_ ^= state_ << 13;
            state_ ^= state_ >> 17;
            state_ ^= state_ << 5;
            const int floor = int(state_ % std::uint32_t(2 * peak_ + 1)) - peak_;
            out[i] = std::int16_t(std::clamp(int(samples[i]) + floor, -32768, 32767));
        }
    }

private:
    int peak_;
    std::uint32_t state_ = 2463534242u; // xorshift
};

} // namespace speech

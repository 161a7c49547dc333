#pragma once
// Made-up "words" for recogniser tests: tones rich in harmonics whose pitch
// glides as a syllable's formants would, with a moment of quiet (or room
// noise) around them. 16 kHz mono.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>
#include <vector>

namespace synthetic {

constexpr int kRate = 16000;

struct Glide {
    double fromHz, toHz;
};

// One "word": a glide per syllable of `seconds` each, 0.3 s quiet either side.
inline std::vector<std::int16_t> say(const std::vector<Glide>& syllables, double seconds,
                                     double amplitude = 8000, double noise = 0, unsigned seed = 1) {
    std::mt19937 rng(seed);
    std::normal_distribution<double> hiss(0, 1);
    const auto quiet = std::size_t(0.3 * kRate);
    const auto each = std::size_t(seconds * kRate);
    std::vector<std::int16_t> out(2 * quiet + each * syllables.size());
    double phase = 0;
    for (std::size_t i = 0; i < out.size(); ++i) {
        double v = 0;
        if (i >= quiet && i < quiet + each * syllables.size()) {
            const std::size_t k = (i - quiet) / each;
            const double t = double((i - quiet) % each) / double(each);
            const double hz = syllables[k].fromHz + (syllables[k].toHz - syllables[k].fromHz) * t;
            phase += 2 * std::numbers::pi * hz / kRate;
            const double envelope = std::sin(std::numbers::pi * t);
            for (int h = 1; h <= 6; ++h)
                v += amplitude / h * envelope * std::sin(h * phase);
        }
        v += noise * hiss(rng);
        out[i] = std::int16_t(std::clamp(v, -32000.0, 32000.0));
    }
    return out;
}

// Eight distinct words; the fourth and eighth share their first syllable
// as the real 停止 and 停止识别 do.
inline const std::vector<std::vector<Glide>> kWords = {
    {{300, 600}, {500, 400}}, {{700, 300}, {300, 300}},
    {{400, 400}, {900, 500}}, {{250, 800}, {800, 250}},
    {{600, 600}, {600, 200}}, {{350, 350}, {350, 900}},
    {{900, 300}, {450, 700}}, {{250, 800}, {800, 250}, {500, 500}, {300, 700}},
};

} // namespace synthetic

#include "Tempo.h"

#include "QuietTail.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace speech {
namespace {
constexpr std::size_t kFrame = 160; // 10 ms at 16 kHz

double power(const std::vector<std::int16_t>& s, std::size_t at) {
    double p = 0;
    for (std::size_t i = at; i < std::min(s.size(), at + kFrame); ++i)
        p += double(s[i]) * s[i];
    return p;
}
} // namespace

std::vector<std::int16_t> withoutInnerPauses(const std::vector<std::int16_t>& samples,
                                             double keepSeconds) {
    const SoundSpan span = loudSpan(samples.data(), samples.size());
    if (span.end <= span.begin)
        return samples;
    double loudest = 0;
    for (std::size_t at = span.begin; at < span.end; at += kFrame)
        loudest = std::max(loudest, power(samples, at));
    const auto keep = std::size_t(keepSeconds * 16000.0) / kFrame;
    std::vector<bool> quiet;
    for (std::size_t at = span.begin; at < span.end; at += kFrame)
        quiet.push_back(power(samples, at) * 1000 < loudest);
    // The middle of a long pause goes: its first and last moments stay, so
    // that each syllable keeps its own fade.
    std::vector<bool> kept(quiet.size(), true);
    for (std::size_t f = 0; f < quiet.size();) {
        std::size_t run = f;
        while (run < quiet.size() && quiet[run])
            ++run;
        if (run - f > keep)
            std::fill(kept.begin() + std::ptrdiff_t(f + keep / 2),
                      kept.begin() + std::ptrdiff_t(run - (keep - keep / 2)), false);
        f = run == f ? f + 1 : run;
    }
    std::vector<std::int16_t> out(samples.begin(), samples.begin() + std::ptrdiff_t(span.begin));
    for (std::size_t f = 0; f < kept.size(); ++f) {
        if (!kept[f])
            continue;
        const std::size_t at = span.begin + f * kFrame;
        out.insert(out.end(), samples.begin() + std::ptrdiff_t(at),
                   samples.begin() + std::ptrdiff_t(std::min(span.end, at + kFrame)));
    }
    out.insert(out.end(), samples.begin() + std::ptrdiff_t(span.end), samples.end());
    return out;
}

std::size_t loudParts(const std::vector<std::int16_t>& samples, double pauseSeconds) {
    const SoundSpan span = loudSpan(samples.data(), samples.size());
    if (span.end <= span.begin)
        return 0;
    double loudest = 0;
    for (std::size_t at = span.begin; at < span.end; at += kFrame)
        loudest = std::max(loudest, power(samples, at));
    const auto pause = std::size_t(pauseSeconds * 16000.0) / kFrame;
    // The span begins and ends loud: each long quiet run inside it parts two.
    std::size_t parts = 1, run = 0;
    for (std::size_t at = span.begin; at < span.end; at += kFrame) {
        if (power(samples, at) * 1000 < loudest) {
            ++run;
            continue;
        }
        if (run >= pause)
            ++parts;
        run = 0;
    }
    return parts;
}

namespace {
// A second-order Butterworth section (the audio cookbook's), run sample by
// sample.
class Section {
public:
    static Section lowPass(double hz) { return Section(hz, false); }
    static Section highPass(double hz) { return Section(hz, true); }
    double operator()(double x) {
        const double y = b0_ * x + z1_;
        z1_ = b1_ * x - a1_ * y + z2_;
        z2_ = b2_ * x - a2_ * y;
        return y;
    }

private:
    Section(double hz, bool high) {
        const double w = 2 * std::numbers::pi * hz / 16000.0;
        const double alpha = std::sin(w) / std::sqrt(2.0);
        const double a0 = 1 + alpha, c = std::cos(w);
        b1_ = (high ? -(1 + c) : 1 - c) / a0;
        b0_ = b2_ = (high ? (1 + c) : 1 - c) / 2 / a0;
        a1_ = -2 * c / a0;
        a2_ = (1 - alpha) / a0;
    }
    double b0_, b1_, b2_, a1_, a2_, z1_ = 0, z2_ = 0;
};
} // namespace

std::size_t syllableNuclei(const std::vector<std::int16_t>& samples, double dipDb) {
    constexpr std::size_t kWindow = 3 * kFrame; // 30 ms, every 10 ms
    constexpr std::size_t kSmooth = 9;          // 90 ms: a syllable's rise and fall
    if (samples.size() < kWindow + 2 * kFrame)
        return 0;
    Section high = Section::highPass(300), low = Section::lowPass(3000);
    std::vector<double> band(samples.size());
    for (std::size_t i = 0; i < samples.size(); ++i)
        band[i] = low(high(double(samples[i])));
    std::vector<double> level;
    for (std::size_t at = 0; at + kWindow <= band.size(); at += kFrame) {
        double p = 0;
        for (std::size_t i = at; i < at + kWindow; ++i)
            p += band[i] * band[i];
        level.push_back(10 * std::log10(p + 1));
    }
    std::vector<double> smooth(level.size());
    for (std::size_t f = 0; f < level.size(); ++f) {
        const std::size_t from = f >= kSmooth / 2 ? f - kSmooth / 2 : 0;
        const std::size_t to = std::min(level.size(), f + kSmooth / 2 + 1);
        double sum = 0;
        for (std::size_t g = from; g < to; ++g)
            sum += level[g];
        smooth[f] = sum / double(kSmooth); // zeros beyond the ends, as around the sound
    }
    const auto [quietest, top] = std::minmax_element(smooth.begin(), smooth.end());
    const double floor = std::max(*top - 25, *quietest + dipDb);
    std::size_t count = 0, current = 0;
    for (std::size_t f = 1; f + 1 < smooth.size(); ++f) {
        if (smooth[f] < smooth[f - 1] || smooth[f] <= smooth[f + 1] || smooth[f] < floor)
            continue;
        if (count == 0) {
            count = 1;
            current = f;
            continue;
        }
        const double valley = *std::min_element(smooth.begin() + std::ptrdiff_t(current),
                                                smooth.begin() + std::ptrdiff_t(f + 1));
        if (valley < std::min(smooth[current], smooth[f]) - dipDb) {
            ++count;
            current = f;
        } else if (smooth[f] > smooth[current]) {
            current = f;
        }
    }
    return count;
}

std::vector<std::int16_t> quickened(const std::vector<std::int16_t>& samples, double factor) {
    constexpr std::size_t kPiece = 2 * kFrame;  // 20 ms
    constexpr std::size_t kOutHop = kPiece / 2; // Hann pieces at half overlap add up to one
    constexpr std::ptrdiff_t kSearch = 80;      // 5 ms either side: about one pitch period
    if (factor >= 1 || factor <= 0 || samples.size() < 4 * kPiece)
        return samples;
    const double inHop = double(kOutHop) / factor;
    const std::size_t pieces = std::size_t(double(samples.size() - kPiece) / inHop) + 1;
    std::vector<double> out(pieces * kOutHop + kPiece, 0.0);
    std::vector<double> window(kPiece);
    for (std::size_t i = 0; i < kPiece; ++i)
        window[i] = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * double(i) / double(kPiece));
    const auto last = std::ptrdiff_t(samples.size() - kPiece);
    std::ptrdiff_t previous = 0;
    for (std::size_t k = 0; k < pieces; ++k) {
        std::ptrdiff_t chosen = 0;
        if (k > 0) {
            // The piece near its place in time that best continues what
            // the previous one would have gone on to.
            const std::ptrdiff_t natural = std::min(previous + std::ptrdiff_t(kOutHop), last);
            const auto nominal = std::ptrdiff_t(std::lround(double(k) * inHop));
            double best = -1e300;
            for (std::ptrdiff_t c = std::max<std::ptrdiff_t>(0, nominal - kSearch);
                 c <= std::min(last, nominal + kSearch); ++c) {
                double score = 0;
                for (std::size_t i = 0; i < kPiece; i += 2)
                    score +=
                        double(samples[std::size_t(c) + i]) * samples[std::size_t(natural) + i];
                if (score > best) {
                    best = score;
                    chosen = c;
                }
            }
        }
        for (std::size_t i = 0; i < kPiece; ++i)
            out[k * kOutHop + i] += window[i] * samples[std::size_t(chosen) + i];
        previous = chosen;
    }
    std::vector<std::int16_t> result(out.size());
    std::transform(out.begin(), out.end(), result.begin(), [](double v) {
        return std::int16_t(std::clamp(std::lround(v), -32768L, 32767L));
    });
    return result;
}

} // namespace speech

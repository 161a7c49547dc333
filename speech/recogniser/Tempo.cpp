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

#include "WordFeatures.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <limits>
#include <numbers>

namespace speech {
namespace {

constexpr int kRate = 16000;
constexpr int kFrame = 400; // 25 ms
constexpr int kHop = WordFeatures::kFrameStep;
constexpr int kFft = 512;
constexpr int kBins = kFft / 2 + 1;
constexpr int kFilters = BandPowers::kBands;
// c0 .. c9: the higher ones follow the voice's pitch more than the word.
constexpr int kCeps = 10;
constexpr double kLowHz = 133.0;
constexpr double kHighHz = 6855.0;
// Frames more than 30 dB below the loudest are quiet (natural log of power).
constexpr double kQuietBelowPeak = 6.9;
// ... or less than 5 dB above the room's noise. Standing 10 dB above a
// loud steady room (pink noise 10 to 15 dB under the voice), a soft voice's
// word was cut to its loudest few frames, which every word shares: half of
// some voices' words were missed.
constexpr double kAboveRoom = 1.15;
// A room is steady when its quiet frames' power varies by at most this
// ratio (3 dB), judged over at least this many frames (0.2 s).
constexpr double kSteadySpread = 2.0;
constexpr std::size_t kSteadyFrames = 20;
// A frame's power below this is digital silence (about one step of the
// samples), not a microphone's noise.
constexpr double kDigitalSilence = 1e3;

double toMel(double hz) {
    return 2595.0 * std::log10(1.0 + hz / 700.0);
}
double fromMel(double mel) {
    return 700.0 * (std::pow(10.0, mel / 2595.0) - 1.0);
}

// Fixed tables: window, filter bank, cosine transform with its lifter.
struct Tables {
    std::array<double, kFrame> window{};
    std::array<std::array<double, kBins>, kFilters> filters{};
    // Each triangle covers a few bins only: [first, last) of filter m.
    std::array<int, kFilters> first{}, last{};
    std::array<double, kFilters> centreHz{};
    std::array<std::array<double, kFilters>, kCeps> dct{};

    Tables() {
        using std::numbers::pi;
        for (int n = 0; n < kFrame; ++n)
            window[n] = 0.54 - 0.46 * std::cos(2 * pi * n / (kFrame - 1));
        std::array<double, kFilters + 2> edges{};
        for (int i = 0; i < kFilters + 2; ++i)
            edges[i] =
                fromMel(toMel(kLowHz) + (toMel(kHighHz) - toMel(kLowHz)) * i / (kFilters + 1));
        for (int m = 0; m < kFilters; ++m)
            centreHz[m] = edges[m + 1];
        for (int m = 0; m < kFilters; ++m)
            for (int b = 0; b < kBins; ++b) {
                const double hz = double(b) * kRate / kFft;
                const double up = (hz - edges[m]) / (edges[m + 1] - edges[m]);
                const double down = (edges[m + 2] - hz) / (edges[m + 2] - edges[m + 1]);
                filters[m][b] = std::max(0.0, std::min(up, down));
            }
        for (int m = 0; m < kFilters; ++m) {
            first[m] = 0;
            while (first[m] < kBins && filters[m][first[m]] == 0.0)
                ++first[m];
            last[m] = kBins;
            while (last[m] > first[m] && filters[m][last[m] - 1] == 0.0)
                --last[m];
        }
        constexpr double lifter = 22.0;
        for (int k = 0; k < kCeps; ++k)
            for (int m = 0; m < kFilters; ++m)
                dct[k][m] = std::cos(pi * k * (m + 0.5) / kFilters) *
                            (1.0 + lifter / 2 * std::sin(pi * k / lifter));
    }
};

const Tables& tables() {
    static const Tables t;
    return t;
}

// In-place radix-2 transform; `x` has kFft points.
void fft(std::vector<std::complex<double>>& x) {
    const std::size_t n = x.size();
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j)
            std::swap(x[i], x[j]);
    }
    for (std::size_t len = 2; len <= n; len <<= 1) {
        const double angle = -2 * std::numbers::pi / double(len);
        const std::complex<double> step(std::cos(angle), std::sin(angle));
        for (std::size_t i = 0; i < n; i += len) {
            std::complex<double> w(1);
            for (std::size_t k = 0; k < len / 2; ++k) {
                const auto u = x[i + k];
                const auto v = x[i + k + len / 2] * w;
                x[i + k] = u + v;
                x[i + k + len / 2] = u - v;
                w *= step;
            }
        }
    }
}

} // namespace

BandPowers BandPowers::fromSamples(const std::int16_t* samples, std::size_t count) {
    BandPowers out;
    if (count < std::size_t(kFrame))
        return out;
    const Tables& t = tables();
    const std::size_t frames = 1 + (count - kFrame) / kHop;
    out.frames.resize(frames);
    std::vector<double> energy(frames);
    std::vector<std::complex<double>> buf(kFft);
    for (std::size_t f = 0; f < frames; ++f) {
        const std::int16_t* s = samples + f * kHop;
        std::fill(buf.begin(), buf.end(), 0.0);
        for (int n = 0; n < kFrame; ++n) {
            const double prev = (f * kHop + n) > 0 ? s[n - 1] : s[n];
            buf[n] = (s[n] - 0.97 * prev) * t.window[n];
        }
        fft(buf);
        std::array<double, kBins> power{};
        for (int b = 0; b < kBins; ++b)
            power[b] = std::norm(buf[b]);
        double total = 0;
        for (int m = 0; m < kFilters; ++m) {
            double e = 0;
            for (int b = t.first[m]; b < t.last[m]; ++b)
                e += t.filters[m][b] * power[b];
            out.frames[f][m] = float(e);
            total += e;
        }
        energy[f] = total;
    }
    // The room: the quietest tenth of the frames. Digital silence (a gap in
    // the sound, not a microphone) says nothing about it.
    std::vector<double> sorted = energy;
    std::sort(sorted.begin(), sorted.end());
    const auto silent = std::size_t(
        std::lower_bound(sorted.begin(), sorted.end(), kDigitalSilence) - sorted.begin());
    const std::size_t quiet = std::max<std::size_t>(1, (frames - silent) / 10);
    const double limit = sorted[std::min(frames - 1, silent + quiet - 1)];
    std::size_t counted = 0;
    std::array<double, kFilters> room{};
    for (std::size_t f = 0; f < frames; ++f)
        if (energy[f] >= kDigitalSilence && energy[f] <= limit) {
            for (int m = 0; m < kFilters; ++m)
                room[m] += out.frames[f][m];
            ++counted;
        }
    for (int m = 0; m < kFilters; ++m)
        out.room[m] = counted ? float(room[m] / double(counted)) : 0.0f;
    out.peak = sorted.back();
    // Steady when the quietest twentieth and the quietest quarter of the
    // frames lie within 3 dB: a fan's or a road's noise between the words.
    const std::size_t usable = frames - silent;
    const double quietest = sorted[std::min(frames - 1, silent + usable / 20)];
    const double quarter = sorted[std::min(frames - 1, silent + usable / 4)];
    out.steadyRoom = usable >= kSteadyFrames && quarter <= kSteadySpread * quietest;
    return out;
}

BandPowers BandPowers::bandLimited(double lowHz, double highHz) const {
    BandPowers out = *this;
    for (int m = 0; m < kFilters; ++m) {
        const double centre = tables().centreHz[m];
        if (centre < lowHz || centre > highHz)
            out.missing.set(std::size_t(m));
    }
    return out;
}

double BandPowers::shareIn(const std::bitset<kBands>& bands) const {
    double in = 0, all = 0;
    for (const Frame& f : frames)
        for (int m = 0; m < kFilters; ++m) {
            all += f[m];
            in += bands.test(std::size_t(m)) ? f[m] : 0;
        }
    return all > 0 ? in / all : 0;
}

BandPowers BandPowers::reverberant(double seconds, double level) const {
    BandPowers out = *this;
    // Power falls by 60 dB over `seconds`: this much each 10 ms frame.
    const double decay = std::pow(1e-6, double(WordFeatures::kFrameStep) / kRate / seconds);
    // The tail's total power is `level` of the sound that made it.
    const double gain = level * (1 - decay) / decay;
    Frame tail{};
    for (std::size_t f = 0; f < frames.size(); ++f) {
        for (int m = 0; m < kFilters; ++m) {
            out.frames[f][m] = float(frames[f][m] + gain * tail[m]);
            tail[m] = float(decay * (tail[m] + frames[f][m]));
        }
    }
    return out;
}

namespace {

// The loudest frame's power in the bands both sides pass.
double peakWithout(const BandPowers& word, const std::bitset<kFilters>& missing) {
    if (missing.none())
        return word.peak;
    double peak = 0;
    for (const BandPowers::Frame& f : word.frames) {
        double total = 0;
        for (int m = 0; m < kFilters; ++m)
            if (!missing.test(std::size_t(m)))
                total += f[m];
        peak = std::max(peak, total);
    }
    return peak;
}

} // namespace

WordFeatures WordFeatures::fromBands(const BandPowers& word) {
    return compute(word, 1.0, {}, word.missing, peakWithout(word, word.missing), word.steadyRoom);
}

WordFeatures WordFeatures::inRoomOf(const BandPowers& word, const BandPowers& like) {
    const std::bitset<kFilters> missing = word.missing | like.missing;
    const double wordPeak = peakWithout(word, missing);
    const double likePeak = peakWithout(like, missing);
    if (wordPeak <= 0 || likePeak <= 0)
        return {};
    const double gain = likePeak / wordPeak;
    // Only the noise that the word does not already have.
    BandPowers::Frame add{};
    double likeRoom = 0, wordRoom = 0;
    for (int m = 0; m < kFilters; ++m) {
        add[m] = float(std::max(0.0, double(like.room[m]) - gain * word.room[m]));
        likeRoom += like.room[m];
        wordRoom += gain * word.room[m];
    }
    // The louder room is the one both sides are heard in: the same choice
    // whichever way round the two are compared.
    const bool steady = likeRoom >= wordRoom ? like.steadyRoom : word.steadyRoom;
    return compute(word, gain, add, missing, wordPeak, steady);
}

WordFeatures WordFeatures::compute(const BandPowers& word, double gain,
                                   const BandPowers::Frame& add,
                                   const std::bitset<kFilters>& missing, double peakPower,
                                   bool subtractRoom) {
    WordFeatures out;
    const std::size_t frames = word.frames.size();
    if (frames == 0)
        return out;
    const Tables& t = tables();
    std::vector<double> energy(frames);
    std::vector<std::array<double, kCeps>> ceps(frames);
    // Bands never go below 40 dB under the loudest frame's average band.
    // A missing band is the same in every frame: the mean taken off below
    // leaves nothing of it.
    const auto passed = double(kFilters - int(missing.count()));
    const double floor = gain * peakPower / passed * 1e-4;
    double roomPower = 0;
    for (int m = 0; m < kFilters; ++m)
        if (!missing.test(std::size_t(m)))
            roomPower += gain * word.room[m] + add[m];
    for (std::size_t f = 0; f < frames; ++f) {
        std::array<double, kFilters> logMel{};
        double total = 0;
        for (int m = 0; m < kFilters; ++m) {
            if (missing.test(std::size_t(m)))
                continue;
            const double e = gain * word.frames[f][m] + add[m];
            total += e;
            // A steady room taken back off, down to the room's own level: a
            // band the noise fills is then the same in every frame, on both
            // sides of a comparison, and counts for nothing once the mean is
            // off. A dying echo is no steady room: taken off, it took the
            // word's own quiet parts with it.
            const double room = gain * word.room[m] + add[m];
            logMel[m] = std::log((subtractRoom ? std::max(e - room, room) : e) + floor);
        }
        energy[f] = std::log(total + 1e-3);
        for (int k = 0; k < kCeps; ++k) {
            double c = 0;
            for (int m = 0; m < kFilters; ++m)
                c += t.dct[k][m] * logMel[m];
            ceps[f][k] = c;
        }
    }

    // The word: from the first to the last frame near the loudest one and
    // well above the room.
    const double peak = *std::max_element(energy.begin(), energy.end());
    const double loud = std::max(peak - kQuietBelowPeak, std::log(roomPower + 1e-3) + kAboveRoom);
    std::size_t first = 0, last = frames;
    while (first < frames && energy[first] < loud)
        ++first;
    while (last > first && energy[last - 1] < loud)
        --last;
    const std::size_t n = last - first;
    if (n < 5)
        return out;

    std::array<double, kCeps> mean{};
    for (std::size_t f = first; f < last; ++f)
        for (int k = 0; k < kCeps; ++k)
            mean[k] += ceps[f][k] / double(n);
    out.data_.resize(n * kDims);
    for (std::size_t i = 0; i < n; ++i) {
        float* v = out.data_.data() + i * kDims;
        const std::size_t f = first + i;
        for (int k = 1; k < kCeps; ++k)
            v[k - 1] = float(ceps[f][k] - mean[k]);
        // Slope over two frames either side, within the word.
        for (int k = 0; k < kCeps; ++k) {
            double d = 0;
            for (int j = 1; j <= 2; ++j) {
                const std::size_t ahead = std::min(f + j, last - 1);
                const std::size_t behind = f >= first + j ? f - j : first;
                d += j * (ceps[ahead][k] - ceps[behind][k]);
            }
            v[kCeps - 1 + k] = float(d / 10.0);
        }
    }
    return out;
}

} // namespace speech

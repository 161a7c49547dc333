#include "VoiceProfile.h"

#include "CommandLexicon.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <map>
#include <optional>
#include <set>

namespace speech {
namespace {

constexpr int kRate = 16000;
// A command word takes between 0.15 s and 3 s however slowly it is said.
constexpr std::size_t kShortest = kRate * 15 / 100;
constexpr std::size_t kLongest = kRate * 3;

// Two utterances compared as if said in the same room at the same level.
Warp distance(const BandPowers& a, const BandPowers& b) {
    return warp(WordFeatures::inRoomOf(a, b), WordFeatures::inRoomOf(b, a));
}

} // namespace

std::vector<VoiceProfile::Recording> VoiceProfile::recordings() const {
    std::vector<Recording> out;
    out.reserve(takes_.size());
    for (const Take& t : takes_)
        out.push_back({t.word, t.samples});
    return out;
}

bool VoiceProfile::addRecordings(std::vector<Recording> recordings, std::size_t& rejected) {
    std::set<std::string> words;
    for (std::size_t i = 0; i < recordings.size(); ++i) {
        Recording& r = recordings[i];
        std::optional<BandPowers> bands = wordSound(r.word, r.samples);
        if (!bands) {
            rejected = i;
            takes_.clear();
            spread_.clear();
            return false;
        }
        std::vector<BandPowers> conditions = conditionsOf(r.samples, *bands);
        takes_.push_back({r.word, std::move(r.samples), std::move(*bands), std::move(conditions)});
        words.insert(r.word);
    }
    for (const auto& word : words)
        measureSpread(word);
    return true;
}

std::optional<BandPowers> VoiceProfile::wordSound(const std::string& word,
                                                  const std::vector<std::int16_t>& samples) const {
    const auto& words = commandWordList();
    if (std::find(words.begin(), words.end(), word) == words.end() || takes(word) >= kTakesPerWord)
        return std::nullopt;
    BandPowers bands = BandPowers::fromSamples(samples.data(), samples.size());
    const std::size_t speech = WordFeatures::fromBands(bands).frames() * WordFeatures::kFrameStep;
    if (speech < kShortest || speech > kLongest)
        return std::nullopt;
    return bands;
}

void VoiceProfile::keep(const std::string& word, std::vector<std::int16_t> samples,
                        BandPowers bands) {
    std::vector<BandPowers> conditions = conditionsOf(samples, bands);
    takes_.push_back({word, std::move(samples), std::move(bands), std::move(conditions)});
    measureSpread(word);
}

std::vector<BandPowers> VoiceProfile::conditionsOf(const std::vector<std::int16_t>& samples,
                                                   const BandPowers& bands) {
    std::vector<BandPowers> out;
    // Said louder than the converter takes: the peaks flattened.
    int peak = 1;
    for (const std::int16_t v : samples)
        peak = std::max(peak, std::abs(int(v)));
    for (const double over : kClippedGains) {
        const double gain = over * 32767.0 / peak;
        std::vector<std::int16_t> clipped(samples.size());
        std::transform(samples.begin(), samples.end(), clipped.begin(), [gain](std::int16_t v) {
            return std::int16_t(std::clamp(double(v) * gain, -32767.0, 32767.0));
        });
        out.push_back(BandPowers::fromSamples(clipped.data(), clipped.size()));
    }
    out.push_back(bands.bandLimited(kPhoneLowHz, kPhoneHighHz));
    out.push_back(bands.reverberant(kEchoSeconds, kEchoLevel));
    return out;
}

bool VoiceProfile::addTake(const std::string& word, std::vector<std::int16_t> samples) {
    std::optional<BandPowers> bands = wordSound(word, samples);
    if (!bands)
        return false;
    keep(word, std::move(samples), std::move(*bands));
    return true;
}

VoiceProfile::TakeCheck VoiceProfile::offer(const std::string& word,
                                            std::vector<std::int16_t> samples) {
    // A clipped recording or one barely above the room says more about the
    // microphone than about the voice: the user is asked to try again.
    int peak = 0;
    std::size_t clipped = 0;
    for (const std::int16_t v : samples) {
        const int a = std::abs(int(v));
        peak = std::max(peak, a);
        clipped += a >= kClipLevel ? 1 : 0;
    }
    if (clipped >= kMostClipped)
        return TakeCheck::TooLoud;
    if (peak < kSoftestPeak)
        return TakeCheck::TooSoft;
    std::optional<BandPowers> bands = wordSound(word, samples);
    if (!bands)
        return TakeCheck::NotAWord;
    constexpr double inf = std::numeric_limits<double>::infinity();
    double own = inf;
    std::string nearestOther;
    double other = inf;
    for (const Take& t : takes_) {
        const double d = distance(*bands, t.bands).mean;
        if (t.word == word)
            own = std::min(own, d);
        else if (d < other) {
            other = d;
            nearestOther = t.word;
        }
    }
    // With earlier recordings of this word, they must be the nearest; with
    // none yet, the take must not pass for the other word.
    if (!nearestOther.empty() &&
        (std::isfinite(own) ? other < own
                            : other <= limits(nearestOther).mean * kOfferFactor / kSpreadFactor))
        return TakeCheck::LikeAnotherWord;
    keep(word, std::move(samples), std::move(*bands));
    return TakeCheck::Fine;
}

bool VoiceProfile::learn(const std::string& word, std::vector<std::int16_t> samples) {
    const Match m = match(samples.data(), samples.size());
    if (m.word != word || !confident(m))
        return false;
    BandPowers bands = BandPowers::fromSamples(samples.data(), samples.size());
    if (takes(word) >= kTakesPerWord) {
        // The oldest goes: the takes are kept in the order they came.
        takes_.erase(std::find_if(takes_.begin(), takes_.end(),
                                  [&](const Take& t) { return t.word == word; }));
    }
    keep(word, std::move(samples), std::move(bands));
    return true;
}

void VoiceProfile::clearWord(const std::string& word) {
    std::erase_if(takes_, [&](const Take& t) { return t.word == word; });
    spread_.erase(word);
}

int VoiceProfile::takes(const std::string& word) const {
    return int(
        std::count_if(takes_.begin(), takes_.end(), [&](const Take& t) { return t.word == word; }));
}

bool VoiceProfile::complete() const {
    for (const auto& w : commandWordList())
        if (takes(w) == 0)
            return false;
    return true;
}

namespace {

// How far apart `n` recordings of one word lie: each from its nearest
// sibling, the largest of these; negative when there are fewer than two.
template <typename Distance> Warp spreadOf(std::size_t n, Distance distance) {
    // Each pair once: the distance is the same both ways.
    std::vector<Warp> nearest(n);
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = i + 1; j < n; ++j) {
            const Warp d = distance(i, j);
            for (std::size_t k : {i, j})
                if (d.mean < nearest[k].mean)
                    nearest[k] = d;
        }
    Warp spread{-1, -1};
    for (const Warp& w : nearest)
        if (std::isfinite(w.mean)) {
            spread.mean = std::max(spread.mean, w.mean);
            spread.worst = std::max(spread.worst, w.worst);
        }
    return spread;
}

} // namespace

void VoiceProfile::measureSpread(const std::string& word) {
    std::vector<const Take*> own;
    for (const Take& t : takes_)
        if (t.word == word)
            own.push_back(&t);
    const Warp spread = spreadOf(own.size(), [&](std::size_t i, std::size_t j) {
        return distance(own[i]->bands, own[j]->bands);
    });
    if (spread.mean >= 0)
        spread_[word] = spread;
    else
        spread_.erase(word);
}

// What a word accepts: its own spread, or with one recording or two nearly
// identical ones (which would leave no room for the next saying), most of
// the typical spread of the others.
Warp VoiceProfile::limits(const std::string& word) const {
    Warp typical{0, 0};
    for (const auto& [w, spread] : spread_) {
        typical.mean += spread.mean / double(spread_.size());
        typical.worst += spread.worst / double(spread_.size());
    }
    Warp own{0, 0};
    if (auto it = spread_.find(word); it != spread_.end())
        own = it->second;
    return {kSpreadFactor * std::max(own.mean, 0.8 * typical.mean),
            kWorstFactor * std::max(own.worst, 0.8 * typical.worst)};
}

// A noisy room brings every two sounds closer, a word's own recordings as
// much as a near miss: where the recordings, heard in this room, lie
// clearly closer together than in quiet, the limits shrink with them.
double VoiceProfile::roomShrink(const std::vector<WordFeatures>& inRoom) const {
    double ratio = 0;
    int words = 0;
    for (const auto& [word, quiet] : spread_) {
        std::vector<std::size_t> own;
        for (std::size_t i = 0; i < takes_.size(); ++i)
            if (takes_[i].word == word)
                own.push_back(i);
        const Warp spread = spreadOf(own.size(), [&](std::size_t i, std::size_t j) {
            return warp(inRoom[own[i]], inRoom[own[j]]);
        });
        if (spread.mean >= 0 && quiet.mean > 0) {
            ratio += spread.mean / quiet.mean;
            ++words;
        }
    }
    // Halfway (a square root): fully, the limits turned away too many of the
    // words themselves in loud rooms.
    return words ? std::sqrt(std::min(1.0, ratio / words / kRoomMargin)) : 1.0;
}

VoiceProfile::Match VoiceProfile::match(const std::int16_t* samples, std::size_t count) const {
    Match m;
    const BandPowers heard = BandPowers::fromSamples(samples, count);
    const WordFeatures heardAlone = WordFeatures::fromBands(heard);
    if (heardAlone.empty() || !complete())
        return m;
    // Every recording as it would sound in the room the utterance was said
    // in; the utterance with the recordings' own room where that is louder.
    std::vector<WordFeatures> inRoom(takes_.size());
    std::map<std::string, Warp> nearest;
    for (std::size_t i = 0; i < takes_.size(); ++i) {
        const Take& t = takes_[i];
        inRoom[i] = WordFeatures::inRoomOf(t.bands, heard);
        Warp d = warp(WordFeatures::inRoomOf(heard, t.bands), inRoom[i]);
        if (useConditions_)
            for (const BandPowers& c : t.conditions) {
                // A copy without some bands stands for a word that itself
                // lacks them (clearly less there than the recording has):
                // compared without them, other words come closer too.
                if (c.missing.any() &&
                    heard.shareIn(c.missing) > kMissingBelow * t.bands.shareIn(c.missing))
                    continue;
                const Warp dc =
                    warp(WordFeatures::inRoomOf(heard, c), WordFeatures::inRoomOf(c, heard));
                if (dc.mean < d.mean)
                    d = dc;
            }
        auto [it, added] = nearest.try_emplace(t.word, d);
        if (!added && d.mean < it->second.mean)
            it->second = d;
    }
    std::string best;
    Warp bestD;
    double second = std::numeric_limits<double>::infinity();
    for (const auto& [word, d] : nearest) {
        if (d.mean < bestD.mean) {
            second = bestD.mean;
            bestD = d;
            best = word;
        } else if (d.mean < second) {
            second = d.mean;
        }
    }
    m.distance = bestD;
    m.runnerUp = second;
    if (best.empty() || !std::isfinite(bestD.mean))
        return m;
    m.nearest = best;
    const double shrink = roomShrink(inRoom);
    m.limit = limits(best);
    m.limit.mean *= shrink;
    m.limit.worst *= shrink;
    if (bestD.mean <= m.limit.mean && bestD.worst <= m.limit.worst &&
        bestD.mean <= kMarginRatio * second)
        m.word = best;
    return m;
}

} // namespace speech

namespace speech {

std::string VoiceProfile::decide(const Match& m, const std::string& secondOpinion) {
    if (!m.word.empty() || m.nearest.empty() || m.nearest != secondOpinion)
        return m.word;
    const bool near = m.distance.mean <= kAgreedFactor * m.limit.mean &&
                      m.distance.worst <= kAgreedFactor * m.limit.worst &&
                      m.distance.mean <= kMarginRatio * m.runnerUp;
    return near ? m.nearest : std::string();
}

} // namespace speech

#pragma once
// A user's own recordings of the eight command words, and the matcher that
// compares a new utterance with them. Speaker-dependent template matching
// does far better for one person's voice than the English acoustic model
// does for Mandarin in general; it is used once every word has a recording.
// Keeping the recordings between runs is VoiceStore's work.

#include "CommandLexicon.h"
#include "TimeWarp.h"
#include "WordFeatures.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace speech {

class VoiceProfile {
public:
    static constexpr int kTakesPerWord = 3;

    struct Match {
        std::string word;    // empty: not a command
        std::string nearest; // the best word, accepted or not
        Warp distance;       // to the nearest recording of the best word
        Warp limit;          // the most that word accepts
        double runnerUp = 0; // mean distance to the nearest other word
    };

    struct Recording {
        std::string word;
        std::vector<std::int16_t> samples;
    };
    // Every recording, each word's in the order they came (oldest first).
    std::vector<Recording> recordings() const;
    // Adds stored recordings, measuring each word once at the end. The
    // first that is not a word of its own (too short, too long, one too
    // many) stops it: false, with its place in `recordings` as `rejected`,
    // and the profile is left empty.
    bool addRecordings(std::vector<Recording> recordings, std::size_t& rejected);

    // Too short or too long for a word, or the word has all its recordings:
    // false, nothing added.
    bool addTake(const std::string& word, std::vector<std::int16_t> samples);
    // A new recording from the user, kept when it is a word at all, neither
    // clipped nor far too soft, and not more like another word's recordings
    // than this word's (the user said the wrong word, or two words would be
    // confused later).
    enum class TakeCheck { Fine, NotAWord, LikeAnotherWord, TooLoud, TooSoft };
    TakeCheck offer(const std::string& word, std::vector<std::int16_t> samples);
    void clearWord(const std::string& word);
    // A command the user gave and did not undo, matched confidently: it
    // becomes that word's newest recording, in place of its oldest once the
    // word has all its recordings, so that the profile follows the voice as
    // it changes. False (nothing changes) when it is not confidently `word`.
    bool learn(const std::string& word, std::vector<std::int16_t> samples);
    // Close enough to learn from: well inside the word's limits.
    static bool confident(const Match& m) {
        return !m.word.empty() && m.distance.mean <= kLearnFactor * m.limit.mean &&
               m.distance.worst <= kLearnFactor * m.limit.worst;
    }
    int takes(const std::string& word) const;
    // Every command word has at least one recording.
    bool complete() const;
    bool empty() const { return takes_.empty(); }

    Match match(const std::int16_t* samples, std::size_t count) const;
    // The command word, or empty when the utterance is not confidently one.
    std::string recognise(const std::int16_t* samples, std::size_t count) const {
        return match(samples, count).word;
    }
    // The match's word; or, where the general recogniser heard the same
    // word (`secondOpinion`), the nearest word within looser limits: a voice
    // changed by the microphone or the room is still taken when both agree.
    static std::string decide(const Match& m, const std::string& secondOpinion);

    // An utterance must stand at most this far (as a ratio) from its word,
    // relative to how far that word's own recordings lie from each other,
    // both on the whole and over its worst stretch, and clearly nearer to it
    // than to any other word.
    static constexpr double kSpreadFactor = 2.25;
    static constexpr double kWorstFactor = 2.25;
    static constexpr double kMarginRatio = 0.7;
    // A first recording of a word is refused as another word only when it
    // lies this close to that word (in spreads): tighter than recognition,
    // so that the user is not refused a word merely near another one.
    static constexpr double kOfferFactor = 1.5;
    static constexpr double kAgreedFactor = 1.5; // on top of the limits
    // Learning takes only what lies within this share of the limits (about
    // the spread of the word's own recordings).
    static constexpr double kLearnFactor = 0.5;
    // The room must bring the recordings this much closer (as a ratio of
    // their spread in quiet) before the limits shrink.
    static constexpr double kRoomMargin = 0.9;
    // A recording with this many samples at the limit is clipped; one whose
    // loudest sample stays under kSoftestPeak (about -36 dBFS) is too soft.
    static constexpr int kClipLevel = 32700;
    static constexpr std::size_t kMostClipped = 16;
    static constexpr int kSoftestPeak = 500;
    // The conditions each recording is also matched in: clipped this far
    // over full scale (about 6 and 14 dB), a telephone's band, a room's echo.
    static constexpr double kClippedGains[] = {2.0, 5.0};
    static constexpr double kPhoneLowHz = 300;
    static constexpr double kPhoneHighHz = 3400;
    // A word heard with less than half (3 dB under) of a recording's share
    // of power outside that band may have come through such a microphone.
    static constexpr double kMissingBelow = 0.5;
    static constexpr double kEchoSeconds = 0.6;
    static constexpr double kEchoLevel = 1.0;
    // Matching against the conditions too (on unless measuring without).
    void setUseConditions(bool on) { useConditions_ = on; }

private:
    struct Take {
        std::string word;
        std::vector<std::int16_t> samples;
        BandPowers bands;
        // The same recording as it would come through a louder voice that
        // clips, a telephone-band microphone and a reverberant room: an
        // utterance is matched against the nearest of them, so that a word
        // trained in one quiet moment is still known when the voice, the
        // microphone or the room changes.
        std::vector<BandPowers> conditions;
    };
    static std::vector<BandPowers> conditionsOf(const std::vector<std::int16_t>& samples,
                                                const BandPowers& bands);
    std::optional<BandPowers> wordSound(const std::string& word,
                                        const std::vector<std::int16_t>& samples) const;
    void keep(const std::string& word, std::vector<std::int16_t> samples, BandPowers bands);
    void measureSpread(const std::string& word);
    Warp limits(const std::string& word) const;
    // How much the limits shrink in the room the recordings were heard in
    // (`inRoom`, one per recording): 1 in quiet.
    double roomShrink(const std::vector<WordFeatures>& inRoom) const;

    std::vector<Take> takes_;
    std::map<std::string, Warp> spread_;
    bool useConditions_ = true;
};

} // namespace speech

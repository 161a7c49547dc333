#pragma once
// The recogniser proper: 16 kHz mono 16-bit samples go in, fed
// continuously as a microphone delivers them; whole phrases come out, one per
// utterance that the decoder's own voice detection marks off (or sooner, once
// a command is followed by a little quiet and cannot grow). Only a phrase
// that is exactly one command word is delivered. With a user's complete
// voice profile the utterance is matched against that user's recordings;
// without one, the English acoustic model's approximation decides. Not
// thread-safe: one thread feeds it.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace speech {

class VoiceProfile;

// How the decoder is set up. The defaults are what the window uses; the
// benchmarks and speechcheck change them to measure alternatives.
struct DecoderSettings {
    // Weight of the single-command branch against the syllable loop.
    double commandProbability = 0.2;
    // Each command's share of that branch, relative to 1 (missing: 1).
    std::map<std::string, double> wordWeight = {{"试听", 3.0}, {"播放", 0.3}, {"继续", 0.3}};
    // Further spellings of the command words, in readPronunciations() form.
    std::string extraPronunciations;
    // The extra spellings are the only ones (for measuring spellings).
    bool replacePronunciations = false;
    // pocketsphinx options on top of ours ("-lw", "8"), for measuring.
    std::vector<std::pair<std::string, std::string>> options;
    // The level of the faint noise added under everything heard (dBFS RMS).
    double floorDb = -70;
    // Quiet after a word (seconds) that is enough to answer before the
    // decoder's own end of speech, when the words so far are exactly one
    // command that begins no longer one. 0: always wait for the end.
    double earlyQuiet = 0.2;
};

class CommandDecoder {
public:
    using PhraseHandler = std::function<void(const std::string& phrase)>;

    // Loads the acoustic model; `error` says what is missing when it fails.
    static std::unique_ptr<CommandDecoder> create(std::string& error,
                                                  const DecoderSettings& settings = {});
    ~CommandDecoder();
    CommandDecoder(const CommandDecoder&) = delete;
    CommandDecoder& operator=(const CommandDecoder&) = delete;

    void setPhraseHandler(PhraseHandler handler) { handler_ = std::move(handler); }
    // Every utterance's sound (with a little of the quiet before it), before
    // it is recognised: what an enrolment records.
    using UtteranceHandler = std::function<void(const std::vector<std::int16_t>& samples)>;
    void setUtteranceHandler(UtteranceHandler handler) { utteranceHandler_ = std::move(handler); }
    // A command matched confidently against the user's recordings, with its
    // sound: what the window may learn from. Called before the phrase.
    using ConfidentHandler =
        std::function<void(const std::string& phrase, const std::vector<std::int16_t>& samples)>;
    void setConfidentHandler(ConfidentHandler handler) { confidentHandler_ = std::move(handler); }
    // The user's recordings; used only when complete. Null: none.
    void setProfile(std::shared_ptr<const VoiceProfile> profile) { profile_ = std::move(profile); }
    void feed(const std::int16_t* samples, std::size_t count);
    // Ends an utterance in progress (end of a file) and delivers it.
    void flush();
    // Samples taken in so far; during a phrase handler, up to the piece
    // that ended the utterance.
    std::uint64_t samplesFed() const { return fed_; }

    static constexpr int kSampleRate = 16000;

private:
    struct Impl;
    explicit CommandDecoder(std::unique_ptr<Impl> impl);
    void finishUtterance();
    void answerEarly();
    std::string decide(const std::string& heard, const std::vector<std::int16_t>& samples);

    std::unique_ptr<Impl> impl_;
    DecoderSettings settings_;
    PhraseHandler handler_;
    UtteranceHandler utteranceHandler_;
    ConfidentHandler confidentHandler_;
    std::shared_ptr<const VoiceProfile> profile_;
    std::uint64_t fed_ = 0;
};

} // namespace speech

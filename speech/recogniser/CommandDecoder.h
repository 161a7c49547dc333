#pragma once
// The recogniser proper: 16 kHz mono 16-bit samples go in, fed
// continuously as a microphone delivers them; whole phrases come out, one per
// utterance that the decoder's own voice detection marks off (or sooner, once
// a command is followed by a little quiet and cannot grow). Only a phrase
// that is exactly one command word is delivered. With a user's complete
// voice profile the utterance is matched against that user's recordings;
// without one, the English acoustic model's approximation decides. Not
// thread-safe: one thread feeds it.

#include "CommandCheck.h"

#include <atomic>
#include <cstdint>
#include <cstdlib>
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
    std::map<std::string, double> wordWeight = {{"试听", 0.3}, {"播放", 0.3}, {"继续", 0.3}};
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
    // With the user's own recordings, a word the model has not (yet) heard
    // as a command is answered at that moment too when the recordings alone
    // take it, instead of at the end of the utterance.
    bool earlyMatch = true;
    // How much longer (seconds) an utterance stays open after the
    // decoder's own end of speech (half a second of quiet) when no take
    // runs: a word said a syllable at a time is then one utterance across
    // a pause of up to about 0.7 s (the decoder takes a moment to notice
    // speech again). Paused words 71.9% -> 85.4% on the tuning voices; a
    // word said fluently is answered early, as before. Not while a take
    // runs, where each sentence of the message ends as the decoder ends
    // it. 0: never.
    double joinQuiet = 0.3;
    // The weight of going on into the syllable loop after a command: a
    // command followed by more speech is then heard as no command.
    double continueProbability = 0.1;
    // What makes a command one said on its own, when no take runs and
    // while one does (stricter: a false command there ends the message
    // being recorded). While a take runs no command is answered early:
    // it must be followed by the decoder's whole end of speech.
    IsolationRules idle{1.0, 0.25, 1e9, 0};
    IsolationRules duringTake{1.0, 0.2, 0.65, 0};
    // How far (dB) the loudness of the sound's vowels must dip between two
    // of them for the two to count as two syllables.
    double vowelDipDb = 8.0;
    // The command branch's weight while a take runs. The branch's weight
    // against the loop's is the threshold on the likelihood ratio between
    // the best command path and the best loop path over the same sound
    // (the lattice's posterior, the other way to ask, is not kept by this
    // decoder's grammar search).
    double takeCommandProbability = 0.1;
    // The commands' shares while a take runs, over `wordWeight`: playing
    // does nothing then (the take being recorded is not yet one to play),
    // so those words are not listened for, and short everyday words that
    // sound like them (老张, 好的) cannot fire.
    std::map<std::string, double> takeWordWeight = {{"播放", 0.0}, {"试听", 0.0}};
    // The command branch's weight when an utterance in which no command was
    // heard is heard once more, against its own mean (see rehear()); lower
    // than the first time's, so that a second chance is not one for other
    // phrases too. 0: every utterance is heard once.
    double rehearProbability = 0.05;
    // The same for an utterance said with pauses between its parts (a word
    // said a syllable at a time) when it is heard at an everyday pace: the
    // model, which knows syllables only inside words, hears a syllable said
    // on its own as a neighbour of it. 0: as `rehearProbability`.
    double pausedProbability = 0.7;
    // A word heard again whose sound, without the pauses between its
    // syllables, lasts longer than this (seconds) is heard a third time
    // brought to about this length (at most twice as quick). 0: never.
    double slowSeconds = 0.7;
};

class CommandDecoder {
public:
    // A tone or hum steady this long (seconds) is no syllable.
    static constexpr double kSteadySeconds = 0.4;
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
    // During a phrase handler: the samples taken in before the command
    // began (its first syllable, not the quiet before it).
    std::uint64_t commandStart() const { return commandStart_; }
    // Whether a take is being recorded: commands are then heard by the
    // stricter rules. Thread-safe; applies from the next utterance on.
    void setDuringTake(bool on) { duringTake_ = on; }
    // What the front end has learnt of the voice and the microphone (the
    // mean of the cepstra of the speech heard so far), to start the next
    // run from instead of the model's own guess: the first word after
    // listening begins is then heard as well as the later ones. Call from
    // the feeding thread; set() ignores a state of another shape.
    std::vector<float> hearing() const;
    void setHearing(const std::vector<float>& state);

    static constexpr int kSampleRate = 16000;

private:
    struct Impl;
    explicit CommandDecoder(std::unique_ptr<Impl> impl);
    void finishUtterance();
    // Ends the utterance unheard, and what the front end learnt in it
    // with it: it held a steady tone or hum, not speech.
    void dropUtterance();
    std::string rehear(const std::vector<std::int16_t>& samples, std::size_t syllables);
    void process(const std::int16_t* samples, std::size_t count);
    void answerEarly();
    std::string decide(const std::string& heard, const std::vector<std::int16_t>& samples);
    std::string matchAlone(const std::vector<std::int16_t>& samples);

    std::unique_ptr<Impl> impl_;
    DecoderSettings settings_;
    PhraseHandler handler_;
    UtteranceHandler utteranceHandler_;
    ConfidentHandler confidentHandler_;
    std::shared_ptr<const VoiceProfile> profile_;
    std::uint64_t fed_ = 0;
    std::uint64_t commandStart_ = 0;
    std::atomic<bool> duringTake_{false};
    bool strict_ = false; // the rules in force for this utterance
    // SPEECH_DEBUG set: what each utterance was heard as goes to stderr.
    const bool debug_ = std::getenv("SPEECH_DEBUG") != nullptr;
    // `sound`: what was decoded (the utterance itself unless it was changed).
    std::string heardCommand(const std::vector<std::int16_t>* sound = nullptr);
    void startUtterance();
};

} // namespace speech

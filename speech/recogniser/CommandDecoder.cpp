#include "CommandDecoder.h"

#include "CommandLexicon.h"
#include "FrontEndMean.h"
#include "NoiseFloor.h"
#include "QuietTail.h"
#include "SphinxDecoder.h"
#include "SteadySound.h"
#include "Tempo.h"
#include "UtteranceSegmenter.h"
#include "VoiceProfile.h"

#include <algorithm>
#include <cstdio>
#include <set>
#include <sstream>

namespace speech {

struct CommandDecoder::Impl {
    std::unique_ptr<SphinxDecoder> sphinx;
    FrontEndMean mean;
    UtteranceSegmenter segmenter;
    NoiseFloor floor;
    SteadySound steady;    // how long the sound has been a steady tone
    bool inSteady = false; // the sound is one now
    // The command syllables only loose spellings have, and whether the
    // last hearing's path took one of them (false when it was no command).
    std::set<std::string> loose;
    bool heardLoose = false;
    // Each command's share when no take runs and while one does.
    std::map<std::string, double> idleWeights, takeWeights;
    const std::map<std::string, double>& weights(bool duringTake) const {
        return duringTake ? takeWeights : idleWeights;
    }

    Impl(std::unique_ptr<SphinxDecoder> held, double floorDb)
        : sphinx(std::move(held)), mean(sphinx->cmn()), floor(floorDb) {}
    ps_decoder_t* decoder() const { return sphinx->get(); }
};

CommandDecoder::CommandDecoder(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
CommandDecoder::~CommandDecoder() = default;

std::unique_ptr<CommandDecoder> CommandDecoder::create(std::string& error,
                                                       const DecoderSettings& settings) {
    SphinxDecoder::Setup setup;
    setup.spellings = commandSpellings(readPronunciations(settings.extraPronunciations),
                                       settings.replacePronunciations);
    setup.continueProbability = settings.continueProbability;
    setup.options = settings.options;
    std::map<std::string, double> takeWeights = settings.takeWordWeight;
    takeWeights.insert(settings.wordWeight.begin(), settings.wordWeight.end());
    setup.idle = {settings.commandProbability, settings.wordWeight};
    setup.take = {settings.takeCommandProbability, takeWeights};
    setup.again = {settings.rehearProbability, settings.wordWeight};
    setup.paused = {settings.pausedProbability, settings.wordWeight};
    auto sphinx = SphinxDecoder::create(setup, error);
    if (!sphinx)
        return nullptr;
    auto impl = std::make_unique<Impl>(std::move(sphinx), settings.floorDb);
    impl->loose = looseSyllables(setup.spellings);
    impl->idleWeights = settings.wordWeight;
    impl->takeWeights = std::move(takeWeights);
    ps_start_utt(impl->decoder());
    auto decoder = std::unique_ptr<CommandDecoder>(new CommandDecoder(std::move(impl)));
    decoder->settings_ = settings;
    return decoder;
}

void CommandDecoder::feed(const std::int16_t* samples, std::size_t count) {
    // Small pieces, so that the end of speech is noticed within a few frames.
    constexpr std::size_t kPiece = 1600; // 0.1 s
    Impl& d = *impl_;
    for (std::size_t done = 0; done < count; done += kPiece) {
        const std::size_t n = std::min(kPiece, count - done);
        const std::int16_t* piece = samples + done;
        // Whether a take runs changes the grammar between utterances.
        if (!d.segmenter.inUtterance() && bool(duringTake_) != strict_) {
            ps_end_utt(d.decoder());
            startUtterance();
        }
        // A steady tone is no speech: an utterance it is in is dropped at
        // every piece of it, and once more as it ends, so that a word said
        // right after it begins an utterance of its own, heard as after
        // quiet. Nothing of it begins the next utterance.
        const bool steady = double(d.steady.add(piece, n)) >= kSteadySeconds * kSampleRate;
        if (steady || d.inSteady)
            dropUtterance();
        d.inSteady = steady;
        process(piece, n);
        fed_ += n;
        const UtteranceSegmenter::Rules rules{settings_.joinQuiet, settings_.earlyQuiet, strict_};
        switch (d.segmenter.add(piece, n, ps_get_in_speech(d.decoder()) != 0, rules, fed_)) {
        case UtteranceSegmenter::Step::Began:
            d.mean.utteranceBegins();
            break;
        case UtteranceSegmenter::Step::Ended:
            finishUtterance();
            break;
        case UtteranceSegmenter::Step::AnswerEarly:
            answerEarly();
            break;
        case UtteranceSegmenter::Step::None:
            break;
        }
    }
}

// The decoder hears the sound over a faint floor of its own (NoiseFloor).
void CommandDecoder::process(const std::int16_t* samples, std::size_t count) {
    constexpr std::size_t kPiece = 1600;
    std::int16_t heard[kPiece];
    for (std::size_t done = 0; done < count; done += kPiece) {
        const std::size_t n = std::min(kPiece, count - done);
        impl_->floor.addTo(samples + done, n, heard);
        const int framesBefore = impl_->mean.frames();
        ps_process_raw(impl_->decoder(), heard, n, FALSE, FALSE);
        impl_->mean.tookPiece(framesBefore);
    }
}

// The utterance ends after half a second of quiet (more when no take runs,
// see DecoderSettings::joinQuiet), so that a word said with pauses between
// its syllables is heard whole. Once the words so far are exactly one
// command and it is followed by a little quiet, only a longer command
// beginning with it (停止 in 停止识别) could still change the answer; any
// other command is delivered then. With the user's complete recordings, a
// word the model does not hear as a command is delivered then too when the
// recordings alone take it.
void CommandDecoder::answerEarly() {
    const std::string phrase = heardCommand();
    const bool matcher = settings_.earlyMatch && profile_ && profile_->complete();
    if (phrase.empty() ? !matcher : beginsLongerCommand(phrase))
        return;
    const UtteranceSegmenter& segmenter = impl_->segmenter;
    const std::string answer =
        phrase.empty() ? matchAlone(segmenter.utterance()) : decide(phrase, segmenter.utterance());
    if (debug_)
        std::fprintf(stderr, "early [%s] -> [%s]\n", phrase.c_str(), answer.c_str());
    if (!isCommandWord(answer) || beginsLongerCommand(answer))
        return;
    impl_->segmenter.answered();
    commandStart_ = segmenter.utteranceFrom() +
                    loudSpan(segmenter.utterance().data(), segmenter.utterance().size()).begin;
    if (handler_)
        handler_(answer);
}

std::vector<float> CommandDecoder::hearing() const {
    return impl_->mean.get();
}

void CommandDecoder::setHearing(const std::vector<float>& state) {
    impl_->mean.set(state);
}

void CommandDecoder::flush() {
    if (impl_->segmenter.inUtterance())
        finishUtterance();
}

// The command the decoder's best path so far (or final, after the end of
// the utterance) is, by the rules in force; empty for anything else.
std::string CommandDecoder::heardCommand(const std::vector<std::int16_t>* sound) {
    const IsolationRules& rules = strict_ ? settings_.duringTake : settings_.idle;
    impl_->heardLoose = false;
    std::int32_t score = 0;
    const char* hyp = ps_get_hyp(impl_->decoder(), &score);
    const std::string said = hyp ? hyp : "";
    if (commandOf(said).empty()) {
        if (debug_ && !said.empty())
            std::fprintf(stderr, "hyp [%s] at %.2f s\n", said.c_str(), double(fed_) / kSampleRate);
        return {};
    }
    std::vector<HeardWord> words;
    std::string spelt; // with the spellings' numbers, for SPEECH_DEBUG
    const double frame = 1.0 / impl_->sphinx->frameRate();
    for (ps_seg_t* seg = ps_seg_iter(impl_->decoder()); seg; seg = ps_seg_next(seg)) {
        const char* w = ps_seg_word(seg);
        if (!w || w[0] == '<' || w[0] == '(' || w[0] == '[')
            continue;
        impl_->heardLoose = impl_->heardLoose || impl_->loose.count(w);
        int sf = 0, ef = 0;
        ps_seg_frames(seg, &sf, &ef);
        // Alternative spellings are named "word(2)"; the word is what counts.
        std::string name = w;
        spelt += (spelt.empty() ? "" : " ") + name;
        name = name.substr(0, name.find('('));
        words.push_back({name, sf * frame, (ef + 1) * frame});
    }
    const std::vector<std::int16_t>& utterance = impl_->segmenter.utterance();
    const std::vector<std::int16_t>& decoded = sound ? *sound : utterance;
    const SoundSpan span = loudSpan(decoded.data(), decoded.size());
    // Vowels are counted in what was said: squeezed to an everyday pace
    // (rehear()), a phrase's vowels run together.
    const HeardSound heard{double(span.end - span.begin) / kSampleRate,
                           syllableNuclei(utterance, settings_.vowelDipDb)};
    std::string command = isolatedCommand(words, heard, rules);
    // A word not listened for now may still come out of the syllable loop,
    // which holds every command's syllables.
    if (const auto w = impl_->weights(strict_).find(command);
        w != impl_->weights(strict_).end() && w->second <= 0)
        command.clear();
    if (debug_) {
        std::fprintf(stderr, "hyp [%s] at %.2f s sound %.2f vowels %zu syllables", said.c_str(),
                     double(fed_) / kSampleRate, heard.seconds, heard.syllables);
        for (const HeardWord& w : words)
            std::fprintf(stderr, " %.2f", w.end - w.start);
        std::fprintf(stderr, "%s as [%s] -> [%s]\n", strict_ ? " (take)" : "", spelt.c_str(),
                     command.c_str());
    }
    return command;
}

// A new utterance of the decoder, with the grammar and rules that fit
// whether a take runs now.
void CommandDecoder::startUtterance() {
    const bool strict = duringTake_;
    if (strict != strict_) {
        impl_->sphinx->use(strict ? SphinxDecoder::kTake : SphinxDecoder::kIdle);
        strict_ = strict;
    }
    ps_start_utt(impl_->decoder());
}

// How many syllables a hypothesis or a command word has: the decoder's
// words are syllables (its fillers and silences are not), and each
// character of a command word is one.
static std::size_t syllablesIn(const std::string& text) {
    if (isCommandWord(text))
        return std::size_t(syllableCount(text));
    std::size_t count = 0;
    std::istringstream words(text);
    for (std::string w; words >> w;)
        count += w[0] == '<' || w[0] == '[' || w[0] == '(' ? 0 : 1;
    return count;
}

void CommandDecoder::dropUtterance() {
    ps_end_utt(impl_->decoder());
    if (impl_->segmenter.inUtterance()) {
        impl_->mean.forgetUtterance();
        if (debug_)
            std::fprintf(stderr, "steady sound at %.2f s: utterance dropped\n",
                         double(fed_) / kSampleRate);
    }
    impl_->segmenter.drop();
    startUtterance();
}

void CommandDecoder::finishUtterance() {
    ps_end_utt(impl_->decoder());
    const std::vector<std::int16_t>& utterance = impl_->segmenter.utterance();
    // The voice detector also marks off sound that is no voice: above all
    // the first moments of a stream, before it knows the room's noise. Such
    // sound must not become the level and colour that the next words are
    // heard against (a first 录音 after two seconds of room noise was missed
    // 31 times in 33 that way).
    // A copy: the decoder's next look at its hypothesis frees this one.
    const char* hyp = ps_get_hyp(impl_->decoder(), nullptr);
    const std::string firstHearing = hyp ? hyp : "";
    if (firstHearing.empty() || !standsOut(utterance.data(), utterance.size()))
        impl_->mean.forgetUtterance();
    std::string phrase = heardCommand();
    if (phrase.empty())
        phrase = rehear(utterance, syllablesIn(firstHearing));
    const std::vector<std::int16_t> heard = impl_->segmenter.take();
    // The decoder is not reset between utterances: its front end keeps
    // adapting to the microphone's level and noise.
    startUtterance();
    if (utteranceHandler_)
        utteranceHandler_(heard);
    if (impl_->segmenter.wasAnswered())
        return;
    phrase = decide(phrase, heard);
    if (isCommandWord(phrase) && handler_) {
        // A command is the whole utterance: it began where its sound did.
        commandStart_ =
            impl_->segmenter.utteranceFrom() + loudSpan(heard.data(), heard.size()).begin;
        handler_(phrase);
    }
}

// The front end learns the voice as it hears it: each utterance is heard
// against the mean of the cepstra heard before it. A voice it does not know
// yet (a first start, another microphone, someone else speaking) is heard
// against a mean far from its own, and its first words are missed (a first
// 录音, 停止 or 保存 after room noise: 16 times in 33). So an utterance in
// which no command was heard is heard once more, against its own mean. Only
// when no take runs: while one does, a second chance for every sentence of
// the message would be a second chance for a false command. What the front
// end learnt is left as the first hearing left it.
std::string CommandDecoder::rehear(const std::vector<std::int16_t>& samples,
                                   std::size_t syllables) {
    if (strict_ || settings_.rehearProbability <= 0)
        return {};
    const std::vector<float> own = impl_->mean.utteranceMean(10);
    if (own.empty() || !standsOut(samples.data(), samples.size()))
        return {};
    const FrontEndMean::Saved learnt(impl_->sphinx->cmn());
    const std::size_t parts = loudParts(samples);
    const auto hearAgain = [&](const std::vector<std::int16_t>& sound, const char* search) {
        impl_->mean.set(own);
        impl_->sphinx->use(search);
        ps_start_utt(impl_->decoder());
        process(sound.data(), sound.size());
        ps_end_utt(impl_->decoder());
        return heardCommand(&sound);
    };
    std::string phrase = hearAgain(samples, SphinxDecoder::kAgain);
    // A word drawn out, or said a syllable at a time: heard at an everyday
    // pace. Not with the user's own recordings: the matcher knows their
    // slow words already, and a squeezed phrase would only be one more
    // second opinion for a near miss.
    if (phrase.empty() && settings_.slowSeconds > 0 && !(profile_ && profile_->complete())) {
        const std::vector<std::int16_t> joined = withoutInnerPauses(samples);
        const SoundSpan span = loudSpan(joined.data(), joined.size());
        const double seconds = double(span.end - span.begin) / kSampleRate;
        // Only as many syllables as were heard the first time, or as the
        // sound has parts with pauses between them (a syllable said on its
        // own is often heard as two of the loop's): a sentence squeezed to a
        // word's length must not become that word.
        if (seconds > settings_.slowSeconds) {
            // A word said a syllable at a time is heard with a stronger
            // command branch: its syllables, each said on its own, sound to
            // the model like neighbours of themselves (保存 as 播放_1 保存_2,
            // 停止 as s_du s_cu). Only squeezed, where the syllables must
            // also match the parts: heard as it was said, a phrase with a
            // stop in it (路上, 播种) became a command.
            const bool paused = parts > 1 && settings_.pausedProbability > 0;
            phrase = hearAgain(quickened(joined, std::max(0.5, settings_.slowSeconds / seconds)),
                               paused ? SphinxDecoder::kPaused : SphinxDecoder::kAgain);
            const std::size_t heard = syllablesIn(phrase);
            if (heard != syllables && !(parts > 1 && heard == parts))
                phrase.clear();
        }
    }
    impl_->sphinx->use(SphinxDecoder::kIdle);
    if (debug_)
        std::fprintf(stderr, "heard again: [%s]\n", phrase.c_str());
    return phrase;
}

// The command the utterance says: the recogniser's word, or with a complete
// voice profile the matcher's answer (the recogniser's a second opinion).
std::string CommandDecoder::decide(const std::string& heard,
                                   const std::vector<std::int16_t>& samples) {
    if (!profile_ || !profile_->complete())
        return heard;
    const VoiceProfile::Match m = profile_->match(samples.data(), samples.size());
    if (debug_)
        std::fprintf(stderr,
                     "match [%s] nearest [%s] mean %.2f limit %.2f worst %.2f limit %.2f "
                     "runner-up %.2f\n",
                     m.word.c_str(), m.nearest.c_str(), m.distance.mean, m.limit.mean,
                     m.distance.worst, m.limit.worst, m.runnerUp);
    // A loose spelling catches a word the model mishears, and with it the
    // phrases that sound like that word (事情 as 试听): no second opinion
    // for a match that is not close enough on its own.
    const std::string phrase = VoiceProfile::decide(m, impl_->heardLoose ? std::string() : heard);
    if (confidentHandler_ && phrase == m.word && VoiceProfile::confident(m))
        confidentHandler_(phrase, samples);
    return phrase;
}

// The user's own recordings alone, by the limits the end of an utterance
// would apply without a second opinion.
std::string CommandDecoder::matchAlone(const std::vector<std::int16_t>& samples) {
    const VoiceProfile::Match m = profile_->match(samples.data(), samples.size());
    if (debug_)
        std::fprintf(stderr, "early match [%s] mean %.2f limit %.2f\n", m.nearest.c_str(),
                     m.distance.mean, m.limit.mean);
    if (confidentHandler_ && VoiceProfile::confident(m))
        confidentHandler_(m.word, samples);
    return m.word;
}

} // namespace speech

#include "CommandDecoder.h"

#include "CommandLexicon.h"
#include "QuietTail.h"
#include "SteadySound.h"
#include "Tempo.h"
#include "VoiceProfile.h"

#include <pocketsphinx.h>
#include <sphinxbase/cmn.h>
#include <sphinxbase/feat.h>
#include <sphinxbase/fsg_model.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <sstream>

#ifndef POCKETSPHINX_MODEL_DIR
#define POCKETSPHINX_MODEL_DIR "/usr/share/pocketsphinx/model"
#endif

namespace fs = std::filesystem;

namespace speech {

struct CommandDecoder::Impl {
    fs::path workDir;
    cmd_ln_t* config = nullptr;
    ps_decoder_t* decoder = nullptr;
    bool inUtterance = false;          // speech was heard since the utterance began
    bool answered = false;             // this utterance's command went out early
    QuietTail tail;                    // how long the utterance has been quiet
    SteadySound steady;                // how long the sound has been a steady tone
    bool inSteady = false;             // the sound is one now
    std::size_t ended = 0;             // samples since the decoder's end of speech
    std::uint32_t noise = 2463534242u; // xorshift state of the floor
    int floorPeak = 0;                 // the floor's largest value
    int frameRate = 100;               // the decoder's frames a second
    // The voice detector notices speech a little after it starts: the last
    // half second before it is kept and becomes the utterance's start.
    std::vector<std::int16_t> before;
    std::vector<std::int16_t> utterance;
    std::uint64_t utteranceFrom = 0; // samples fed before `utterance` began
    // What the front end had learnt as the utterance began.
    std::vector<float> meanBefore;
    // The front end's running sum of cepstra and its count of frames then:
    // what the utterance adds to them is its own mean.
    std::vector<mfcc_t> sumBefore;
    int framesBefore = 0;
    bool rescaled = false; // the running sum was rescaled since framesBefore
    // The command syllables only loose spellings have, and whether the
    // last hearing's path took one of them (false when it was no command).
    std::set<std::string> loose;
    bool heardLoose = false;
    // Each command's share when no take runs and while one does.
    std::map<std::string, double> idleWeights, takeWeights;
    const std::map<std::string, double>& weights(bool duringTake) const {
        return duringTake ? takeWeights : idleWeights;
    }
    static constexpr std::size_t kBefore = CommandDecoder::kSampleRate / 2;
    // Longer than any command word said slowly; the rest is not kept.
    static constexpr std::size_t kLongest = CommandDecoder::kSampleRate * 8;

    ~Impl() {
        if (decoder)
            ps_free(decoder);
        if (config)
            cmd_ln_free_r(config);
        std::error_code ignored;
        if (!workDir.empty())
            fs::remove_all(workDir, ignored);
    }
};

namespace {

// What the front end has learnt (its mean, running sum and count), put back
// as it was once a sound has been heard again for a second look: the next
// utterance must be heard as if that had never happened.
class FrontEndState {
public:
    explicit FrontEndState(cmn_t* cmn)
        : cmn_(cmn), mean_(cmn->cmn_mean, cmn->cmn_mean + cmn->veclen),
          sum_(cmn->sum, cmn->sum + cmn->veclen), frames_(cmn->nframe) {}
    ~FrontEndState() {
        std::copy(mean_.begin(), mean_.end(), cmn_->cmn_mean);
        std::copy(sum_.begin(), sum_.end(), cmn_->sum);
        cmn_->nframe = frames_;
    }
    FrontEndState(const FrontEndState&) = delete;
    FrontEndState& operator=(const FrontEndState&) = delete;

private:
    cmn_t* cmn_;
    std::vector<mfcc_t> mean_;
    std::vector<mfcc_t> sum_;
    int frames_;
};

} // namespace

CommandDecoder::CommandDecoder(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
CommandDecoder::~CommandDecoder() = default;

std::unique_ptr<CommandDecoder> CommandDecoder::create(std::string& error,
                                                       const DecoderSettings& settings) {
    const fs::path model = fs::path(POCKETSPHINX_MODEL_DIR) / "en-us" / "en-us";
    if (!fs::exists(model / "mdef")) {
        error = "找不到语音识别模型：" + model.string();
        return nullptr;
    }
    auto impl = std::make_unique<Impl>();
    std::random_device rd;
    impl->workDir = fs::temp_directory_path() / ("speech-" + std::to_string(rd()));
    std::error_code ec;
    fs::create_directories(impl->workDir, ec);
    const fs::path dict = impl->workDir / "commands.dict";
    const fs::path fsg = impl->workDir / "commands.fsg";
    const auto spellings = commandSpellings(readPronunciations(settings.extraPronunciations),
                                            settings.replacePronunciations);
    std::ofstream(dict) << dictionaryText(spellings);
    impl->loose = looseSyllables(spellings);
    const fs::path takeFsg = impl->workDir / "take.fsg";
    std::ofstream(fsg) << grammarText(spellings, settings.commandProbability, settings.wordWeight,
                                      settings.continueProbability);
    impl->idleWeights = settings.wordWeight;
    impl->takeWeights = settings.takeWordWeight;
    impl->takeWeights.insert(settings.wordWeight.begin(), settings.wordWeight.end());
    std::ofstream(takeFsg) << grammarText(spellings, settings.takeCommandProbability,
                                          impl->takeWeights, settings.continueProbability);
    const fs::path againFsg = impl->workDir / "again.fsg";
    std::ofstream(againFsg) << grammarText(spellings, settings.rehearProbability,
                                           settings.wordWeight, settings.continueProbability);
    const fs::path pausedFsg = impl->workDir / "paused.fsg";
    std::ofstream(pausedFsg) << grammarText(spellings, settings.pausedProbability,
                                            settings.wordWeight, settings.continueProbability);

    std::vector<std::pair<std::string, std::string>> args = {
        {"-hmm", model.string()},
        {"-dict", dict.string()},
        {"-fsg", fsg.string()},
        {"-logfn", "/dev/null"},
        {"-samprate", "16000"},
        // A language weight of 10 and a small word insertion penalty let the
        // command branch win where it should, while wrong commands stay rare.
        {"-lw", "10"},
        {"-wip", "0.05"},
        // With the default beams a fifth of the utterances ended with no
        // path through the grammar at all, and so with no answer.
        {"-beam", "1e-80"},
        {"-pbeam", "1e-80"},
        {"-wbeam", "1e-60"},
        // 70 frames a second instead of 100: Mandarin syllables, slow ones
        // above all, last longer than the English phones the model knows;
        // fewer frames fit them (slow speech 31% -> 54% on the tuning voices).
        {"-frate", "70"},
        // The end of speech after the same half second as at 100 frames.
        {"-vad_postspeech", "35"},
    };
    for (const auto& [name, value] : settings.options) {
        auto it = std::find_if(args.begin(), args.end(),
                               [&name](const auto& a) { return a.first == name; });
        if (it != args.end())
            it->second = value;
        else
            args.emplace_back(name, value);
    }
    std::vector<char*> argv;
    for (auto& [name, value] : args) {
        argv.push_back(name.data());
        argv.push_back(value.data());
    }
    impl->config = cmd_ln_parse_r(nullptr, ps_args(), int(argv.size()), argv.data(), TRUE);
    if (!impl->config) {
        error = "语音识别设置无效";
        return nullptr;
    }
    impl->decoder = ps_init(impl->config);
    if (!impl->decoder) {
        error = "无法载入语音识别模型：" + model.string();
        return nullptr;
    }
    // The grammar while a take runs, and the one for hearing an utterance
    // again, as further searches of the same decoder.
    const auto addSearch = [&impl](const char* name, const fs::path& file) {
        fsg_model_t* grammar =
            fsg_model_readfile(file.string().c_str(), ps_get_logmath(impl->decoder),
                               float(cmd_ln_float32_r(impl->config, "-lw")));
        const bool added = grammar && ps_set_fsg(impl->decoder, name, grammar) >= 0;
        if (grammar)
            fsg_model_free(grammar);
        return added;
    };
    if (!addSearch("take", takeFsg) ||
        (settings.rehearProbability > 0 && !addSearch("again", againFsg)) ||
        (settings.pausedProbability > 0 && !addSearch("paused", pausedFsg))) {
        error = "语音识别语法无效";
        return nullptr;
    }
    impl->frameRate = cmd_ln_int32_r(impl->config, "-frate");
    ps_start_utt(impl->decoder);
    impl->floorPeak = int(32768.0 * std::pow(10.0, settings.floorDb / 20.0) * std::sqrt(3.0));
    auto decoder = std::unique_ptr<CommandDecoder>(new CommandDecoder(std::move(impl)));
    decoder->settings_ = settings;
    return decoder;
}

void CommandDecoder::feed(const std::int16_t* samples, std::size_t count) {
    // Small pieces, so that the end of speech is noticed within a few frames.
    constexpr std::size_t kPiece = 1600; // 0.1 s
    for (std::size_t done = 0; done < count; done += kPiece) {
        const std::size_t n = std::min(kPiece, count - done);
        const std::int16_t* piece = samples + done;
        // Whether a take runs changes the grammar between utterances.
        if (!impl_->inUtterance && bool(duringTake_) != strict_) {
            ps_end_utt(impl_->decoder);
            startUtterance();
        }
        Impl& d = *impl_;
        // A steady tone is no speech: an utterance it is in is dropped at
        // every piece of it, and once more as it ends, so that a word said
        // right after it begins an utterance of its own, heard as after
        // quiet. Nothing of it begins the next utterance.
        const bool steady = double(d.steady.add(piece, n)) >= kSteadySeconds * kSampleRate;
        if (steady || d.inSteady) {
            dropUtterance();
            d.before.clear();
        }
        d.inSteady = steady;
        process(piece, n);
        fed_ += n;
        const bool inSpeech = ps_get_in_speech(impl_->decoder) != 0;
        if (d.inUtterance) {
            if (d.utterance.size() < Impl::kLongest)
                d.utterance.insert(d.utterance.end(), piece, piece + n);
        } else {
            d.before.insert(d.before.end(), piece, piece + n);
            if (d.before.size() > Impl::kBefore)
                d.before.erase(d.before.begin(), d.before.end() - std::ptrdiff_t(Impl::kBefore));
        }
        if (inSpeech && !d.inUtterance) {
            d.meanBefore = hearing();
            {
                // The front end's running sum is rescaled to a shorter window
                // (CMN_WIN frames) whenever it passes CMN_WIN_HWM, and the
                // utterance's own sum (see rehear()) is the difference from
                // here on: a rescale inside the utterance made that garbage,
                // or negative, about every other utterance. Rescaled here
                // instead, the mean kept as it is, no rescale comes for
                // CMN_WIN_HWM - CMN_WIN frames (3 s of speech).
                cmn_t* cmn = ps_get_feat(d.decoder)->cmn_struct;
                if (cmn->nframe > CMN_WIN) {
                    const mfcc_t scale = mfcc_t(CMN_WIN) / mfcc_t(cmn->nframe);
                    for (int i = 0; i < cmn->veclen; ++i)
                        cmn->sum[i] *= scale;
                    cmn->nframe = CMN_WIN;
                }
                d.sumBefore.assign(cmn->sum, cmn->sum + cmn->veclen);
                d.framesBefore = cmn->nframe;
                d.rescaled = false;
            }
            d.inUtterance = true;
            d.answered = false;
            d.tail.reset();
            d.tail.room(d.before.data(), d.before.size());
            d.ended = 0;
            d.utterance.assign(d.before.begin(), d.before.end());
            d.utteranceFrom = fed_ - d.before.size();
            d.before.clear();
        } else if (d.inUtterance) {
            // Speech that comes back before the utterance is over goes on
            // in the same utterance: the decoder has dropped the quiet.
            d.ended = inSpeech ? 0 : d.ended + n;
            if (!inSpeech && (strict_ || double(d.ended) > settings_.joinQuiet * kSampleRate))
                finishUtterance();
            else if (inSpeech && !d.answered && settings_.earlyQuiet > 0 && !strict_ &&
                     double(d.tail.add(piece, n)) >= settings_.earlyQuiet * kSampleRate)
                answerEarly();
        }
    }
}

// The decoder hears the sound over a faint floor of its own: exact digital
// zeros (a muted source, a padded file) throw its noise and level tracking
// off, and every real microphone has a floor louder than this one anyway.
void CommandDecoder::process(const std::int16_t* samples, std::size_t count) {
    constexpr std::size_t kPiece = 1600;
    std::int16_t heard[kPiece];
    for (std::size_t done = 0; done < count; done += kPiece) {
        const std::size_t n = std::min(kPiece, count - done);
        for (std::size_t i = 0; i < n; ++i) {
            impl_->noise ^= impl_->noise << 13;
            impl_->noise ^= impl_->noise >> 17;
            impl_->noise ^= impl_->noise << 5;
            const int floor = int(impl_->noise % (2 * impl_->floorPeak + 1)) - impl_->floorPeak;
            heard[i] = std::int16_t(std::clamp(int(samples[done + i]) + floor, -32768, 32767));
        }
        const int framesBefore = ps_get_feat(impl_->decoder)->cmn_struct->nframe;
        ps_process_raw(impl_->decoder, heard, n, FALSE, FALSE);
        if (ps_get_feat(impl_->decoder)->cmn_struct->nframe < framesBefore)
            impl_->rescaled = true;
    }
}

// The utterance ends after half a second of quiet (more when no take runs,
// see DecoderSettings::joinQuiet), so that a word said with pauses between
// its syllables is heard whole. Once the words so far are exactly one
// command and it is followed by a little quiet, only a longer command
// beginning with it (停止 in 停止识别) could still change the answer; any
// other command is delivered then.
void CommandDecoder::answerEarly() {
    const std::string phrase = heardCommand();
    if (phrase.empty() || beginsLongerCommand(phrase))
        return;
    const std::string answer = decide(phrase, impl_->utterance);
    if (debug_)
        std::fprintf(stderr, "early [%s] -> [%s]\n", phrase.c_str(), answer.c_str());
    if (!isCommandWord(answer))
        return;
    impl_->answered = true;
    commandStart_ =
        impl_->utteranceFrom + loudSpan(impl_->utterance.data(), impl_->utterance.size()).begin;
    if (handler_)
        handler_(answer);
}

std::vector<float> CommandDecoder::hearing() const {
    cmn_t* cmn = ps_get_feat(impl_->decoder)->cmn_struct;
    std::vector<mfcc_t> mean(std::size_t(cmn->veclen));
    cmn_live_get(cmn, mean.data());
    return {mean.begin(), mean.end()};
}

void CommandDecoder::setHearing(const std::vector<float>& state) {
    cmn_t* cmn = ps_get_feat(impl_->decoder)->cmn_struct;
    if (state.size() != std::size_t(cmn->veclen) ||
        !std::all_of(state.begin(), state.end(), [](float v) { return std::isfinite(v); }))
        return;
    const std::vector<mfcc_t> mean(state.begin(), state.end());
    cmn_live_set(cmn, mean.data());
}

void CommandDecoder::flush() {
    if (impl_->inUtterance)
        finishUtterance();
}

// The command the decoder's best path so far (or final, after the end of
// the utterance) is, by the rules in force; empty for anything else.
std::string CommandDecoder::heardCommand(const std::vector<std::int16_t>* sound) {
    const IsolationRules& rules = strict_ ? settings_.duringTake : settings_.idle;
    impl_->heardLoose = false;
    std::int32_t score = 0;
    const char* hyp = ps_get_hyp(impl_->decoder, &score);
    const std::string said = hyp ? hyp : "";
    if (commandOf(said).empty()) {
        if (debug_ && !said.empty())
            std::fprintf(stderr, "hyp [%s] at %.2f s\n", said.c_str(), double(fed_) / kSampleRate);
        return {};
    }
    std::vector<HeardWord> words;
    std::string spelt; // with the spellings' numbers, for SPEECH_DEBUG
    const double frame = 1.0 / impl_->frameRate;
    for (ps_seg_t* seg = ps_seg_iter(impl_->decoder); seg; seg = ps_seg_next(seg)) {
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
    const std::vector<std::int16_t>& decoded = sound ? *sound : impl_->utterance;
    const SoundSpan span = loudSpan(decoded.data(), decoded.size());
    // Vowels are counted in what was said: squeezed to an everyday pace
    // (rehear()), a phrase's vowels run together.
    const HeardSound heard{double(span.end - span.begin) / kSampleRate,
                           syllableNuclei(impl_->utterance, settings_.vowelDipDb)};
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
        ps_set_search(impl_->decoder, strict ? "take" : "_default");
        strict_ = strict;
    }
    ps_start_utt(impl_->decoder);
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
    ps_end_utt(impl_->decoder);
    if (impl_->inUtterance) {
        setHearing(impl_->meanBefore);
        if (debug_)
            std::fprintf(stderr, "steady sound at %.2f s: utterance dropped\n",
                         double(fed_) / kSampleRate);
    }
    impl_->inUtterance = false;
    impl_->utterance.clear();
    startUtterance();
}

void CommandDecoder::finishUtterance() {
    ps_end_utt(impl_->decoder);
    impl_->inUtterance = false;
    // The voice detector also marks off sound that is no voice: above all
    // the first moments of a stream, before it knows the room's noise. Such
    // sound must not become the level and colour that the next words are
    // heard against (a first 录音 after two seconds of room noise was missed
    // 31 times in 33 that way).
    // A copy: the decoder's next look at its hypothesis frees this one.
    const char* hyp = ps_get_hyp(impl_->decoder, nullptr);
    const std::string firstHearing = hyp ? hyp : "";
    if (firstHearing.empty() || !standsOut(impl_->utterance.data(), impl_->utterance.size()))
        setHearing(impl_->meanBefore);
    std::string phrase = heardCommand();
    if (phrase.empty())
        phrase = rehear(impl_->utterance, syllablesIn(firstHearing));
    const std::vector<std::int16_t> heard = std::move(impl_->utterance);
    impl_->utterance.clear();
    // The decoder is not reset between utterances: its front end keeps
    // adapting to the microphone's level and noise.
    startUtterance();
    if (utteranceHandler_)
        utteranceHandler_(heard);
    if (impl_->answered)
        return;
    phrase = decide(phrase, heard);
    if (isCommandWord(phrase) && handler_) {
        // A command is the whole utterance: it began where its sound did.
        commandStart_ = impl_->utteranceFrom + loudSpan(heard.data(), heard.size()).begin;
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
    cmn_t* cmn = ps_get_feat(impl_->decoder)->cmn_struct;
    const int frames = cmn->nframe - impl_->framesBefore;
    if (strict_ || settings_.rehearProbability <= 0 || frames < 10 || impl_->rescaled ||
        std::size_t(cmn->veclen) != impl_->sumBefore.size() ||
        !standsOut(samples.data(), samples.size()))
        return {};
    std::vector<mfcc_t> own(impl_->sumBefore.size());
    for (std::size_t i = 0; i < own.size(); ++i)
        own[i] = (cmn->sum[i] - impl_->sumBefore[i]) / mfcc_t(frames);
    const FrontEndState learnt(cmn);
    const std::size_t parts = loudParts(samples);
    const auto hearAgain = [&](const std::vector<std::int16_t>& sound, const char* search) {
        cmn_live_set(cmn, own.data());
        ps_set_search(impl_->decoder, search);
        ps_start_utt(impl_->decoder);
        process(sound.data(), sound.size());
        ps_end_utt(impl_->decoder);
        return heardCommand(&sound);
    };
    std::string phrase = hearAgain(samples, "again");
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
                               paused ? "paused" : "again");
            const std::size_t heard = syllablesIn(phrase);
            if (heard != syllables && !(parts > 1 && heard == parts))
                phrase.clear();
        }
    }
    ps_set_search(impl_->decoder, "_default");
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
                     "match [%s] mean %.2f limit %.2f worst %.2f limit %.2f runner-up %.2f\n",
                     m.word.c_str(), m.distance.mean, m.limit.mean, m.distance.worst, m.limit.worst,
                     m.runnerUp);
    // A loose spelling catches a word the model mishears, and with it the
    // phrases that sound like that word (事情 as 试听): no second opinion
    // for a match that is not close enough on its own.
    const std::string phrase = VoiceProfile::decide(m, impl_->heardLoose ? std::string() : heard);
    if (confidentHandler_ && phrase == m.word && VoiceProfile::confident(m))
        confidentHandler_(phrase, samples);
    return phrase;
}

} // namespace speech

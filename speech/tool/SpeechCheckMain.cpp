// speechcheck FILE.wav...: runs each file through the recogniser that the
// speech recorder window uses, fed continuously as from a microphone, and
// prints one line per delivered phrase: the file name, a tab, the phrase.
//
//   speechcheck [--lexicon FILE] [--profile DIR] [--room FILE] [--gap S]
//               [--set NAME=VALUE]... [--times] [--during-take] [--hearing FILE] FILE.wav...
//   speechcheck --enrol DIR WORD FILE.wav...
// --profile recognises with a user's recordings of the command words (as
// the window does once that user has recorded them); --enrol adds each
// utterance heard in the files to DIR as a recording of WORD, exactly as the
// window's enrolment does. --room mixes a recording of a room's noise, over
// and over, into everything fed (the files and the quiet between them), as a
// microphone in that room would hear it. --during-take hears the files as
// the window does while a take is being recorded. --no-conditions matches
// a profile's recordings only as they were made (for measuring).
// --hearing starts from what an earlier run learnt of the voice and the
// microphone, kept in FILE, and keeps what this run learnt there, as the
// window does between runs.

#include "CommandDecoder.h"
#include "CommandLexicon.h"
#include "HearingFile.h"
#include "VoiceProfile.h"
#include "VoiceStore.h"

#include <SDL.h>
#include <sndfile.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

// The file as 16 kHz mono 16-bit samples, whatever its own format.
bool readAs16kMono(const char* path, std::vector<std::int16_t>& out) {
    SF_INFO info{};
    SNDFILE* f = sf_open(path, SFM_READ, &info);
    if (!f)
        return false;
    std::vector<std::int16_t> in(std::size_t(info.frames) * std::size_t(info.channels));
    const sf_count_t got = sf_readf_short(f, in.data(), info.frames);
    sf_close(f);
    in.resize(std::size_t(got) * std::size_t(info.channels));
    SDL_AudioStream* conv =
        SDL_NewAudioStream(AUDIO_S16SYS, Uint8(info.channels), info.samplerate, AUDIO_S16SYS, 1,
                           speech::CommandDecoder::kSampleRate);
    if (!conv)
        return false;
    SDL_AudioStreamPut(conv, in.data(), int(in.size() * sizeof(std::int16_t)));
    SDL_AudioStreamFlush(conv);
    out.resize(std::size_t(SDL_AudioStreamAvailable(conv)) / sizeof(std::int16_t));
    const int n = SDL_AudioStreamGet(conv, out.data(), int(out.size() * sizeof(std::int16_t)));
    out.resize(n > 0 ? std::size_t(n) / sizeof(std::int16_t) : 0);
    SDL_FreeAudioStream(conv);
    return true;
}

// Reads "--set name=value": prob=P (command branch), weight.WORD=W (that
// command's share), floor=DB (the decoder's own noise floor), early=S (the
// quiet that may answer before the end of speech; 0 never), continue=P
// (going on after a command), syllable=S (the longest command syllable),
// beyond=S (the loud sound allowed outside the command; take.syllable=,
// take.beyond= those while a take runs; persyl=S and take.persyl=S the
// most loud sound for each syllable of a command; take.prob= the command branch
// then, take.weight.WORD= a command's share then), rehear=P (the command
// branch when an utterance is heard again; 0 never; paused=P that for one
// said with pauses between its parts), slow=S (a word heard
// again that lasts longer is heard at an everyday pace; 0 never), extra=N and
// take.extra=N (how many more syllables than the command the sound may have,
// by its vowels), dip=DB (the dip that parts two vowels), join=S (how much
// longer an utterance stays open after the decoder's end of speech when no
// take runs; 0 never), or a pocketsphinx option such as -lw=8.
bool applySetting(const std::string& text, speech::DecoderSettings& settings) {
    const auto eq = text.find('=');
    if (eq == std::string::npos || eq == 0)
        return false;
    const std::string name = text.substr(0, eq);
    const std::string value = text.substr(eq + 1);
    if (name == "prob")
        settings.commandProbability = std::atof(value.c_str());
    else if (name.rfind("take.weight.", 0) == 0)
        settings.takeWordWeight[name.substr(12)] = std::atof(value.c_str());
    else if (name.rfind("weight.", 0) == 0)
        settings.wordWeight[name.substr(7)] = std::atof(value.c_str());
    else if (name == "floor")
        settings.floorDb = std::atof(value.c_str());
    else if (name == "early")
        settings.earlyQuiet = std::atof(value.c_str());
    else if (name == "earlymatch")
        settings.earlyMatch = std::atoi(value.c_str()) != 0;
    else if (name == "continue")
        settings.continueProbability = std::atof(value.c_str());
    else if (name == "syllable")
        settings.idle.longestSyllable = std::atof(value.c_str());
    else if (name == "take.prob")
        settings.takeCommandProbability = std::atof(value.c_str());
    else if (name == "beyond")
        settings.idle.soundBeyond = std::atof(value.c_str());
    else if (name == "take.beyond")
        settings.duringTake.soundBeyond = std::atof(value.c_str());
    else if (name == "persyl")
        settings.idle.soundPerSyllable = std::atof(value.c_str());
    else if (name == "take.persyl")
        settings.duringTake.soundPerSyllable = std::atof(value.c_str());
    else if (name == "take.syllable")
        settings.duringTake.longestSyllable = std::atof(value.c_str());
    else if (name == "rehear")
        settings.rehearProbability = std::atof(value.c_str());
    else if (name == "slow")
        settings.slowSeconds = std::atof(value.c_str());
    else if (name == "paused")
        settings.pausedProbability = std::atof(value.c_str());
    else if (name == "extra")
        settings.idle.extraSyllables = std::size_t(std::atoi(value.c_str()));
    else if (name == "take.extra")
        settings.duringTake.extraSyllables = std::size_t(std::atoi(value.c_str()));
    else if (name == "join")
        settings.joinQuiet = std::atof(value.c_str());
    else if (name == "dip")
        settings.vowelDipDb = std::atof(value.c_str());

    else if (name[0] == '-')
        settings.options.emplace_back(name, value);
    else
        return false;
    return true;
}

int usage() {
    std::fprintf(stderr,
                 "usage: speechcheck [--lexicon FILE] [--profile DIR] [--room FILE] [--gap S]\n"
                 "                   [--set NAME=VALUE]... [--times] [--during-take]\n"
                 "                   [--hearing FILE] FILE.wav...\n"
                 "       speechcheck --enrol DIR WORD FILE.wav...\n");
    return 2;
}

struct Options {
    speech::DecoderSettings settings;
    std::string profileDir;
    std::string hearingFile;
    std::string enrolWord;
    std::vector<std::int16_t> room;
    bool times = false;
    bool duringTake = false; // heard as while a take is being recorded
    bool conditions = true;  // recordings also matched as heard otherwise
    double gapSeconds = 1.0;
    int firstFile = 1;
};

// The options before the files; an exit status when they are wrong.
std::optional<int> parseOptions(int argc, char* argv[], Options& o) {
    int first = 1;
    for (; first < argc && argv[first][0] == '-'; ++first) {
        const std::string option = argv[first];
        const bool hasValue = first + 1 < argc;
        if (option == "--times") {
            o.times = true;
        } else if (option == "--during-take") {
            o.duringTake = true;
        } else if (option == "--no-conditions") {
            o.conditions = false;
        } else if ((option == "--lexicon" || option == "--commands") && hasValue) {
            // Further spellings of the command words ("word phones" lines);
            // with --commands, their only spellings.
            std::ifstream in(argv[++first]);
            o.settings.extraPronunciations.assign(std::istreambuf_iterator<char>(in), {});
            o.settings.replacePronunciations = option == "--commands";
        } else if (option == "--hearing" && hasValue) {
            o.hearingFile = argv[++first];
        } else if (option == "--profile" && hasValue) {
            o.profileDir = argv[++first];
        } else if (option == "--gap" && hasValue) {
            o.gapSeconds = std::atof(argv[++first]);
        } else if (option == "--set" && hasValue) {
            if (!applySetting(argv[++first], o.settings))
                return usage();
        } else if (option == "--room" && hasValue) {
            if (!readAs16kMono(argv[++first], o.room) || o.room.empty()) {
                std::fprintf(stderr, "speechcheck: cannot read %s\n", argv[first]);
                return 2;
            }
        } else if (option == "--enrol" && first + 2 < argc) {
            o.profileDir = argv[++first];
            o.enrolWord = argv[++first];
        } else {
            return usage();
        }
    }
    if (first >= argc)
        return usage();
    o.firstFile = first;
    return std::nullopt;
}

} // namespace

int main(int argc, char* argv[]) {
    // --print-dictionary: the pronunciation dictionary the decoder uses.
    if (argc == 2 && std::string(argv[1]) == "--print-dictionary") {
        std::fputs(speech::dictionaryText().c_str(), stdout);
        return 0;
    }
    Options o;
    if (const auto status = parseOptions(argc, argv, o))
        return *status;
    const speech::DecoderSettings& settings = o.settings;
    const std::string& profileDir = o.profileDir;
    const std::string& hearingFile = o.hearingFile;
    const std::string& enrolWord = o.enrolWord;
    const std::vector<std::int16_t>& room = o.room;
    const bool times = o.times;
    const int first = o.firstFile;
    std::size_t roomAt = 0;
    // Feeds `samples` with the room's noise added.
    auto feed = [&](speech::CommandDecoder& decoder, std::vector<std::int16_t> samples) {
        if (!room.empty())
            for (auto& v : samples) {
                v = std::int16_t(std::clamp(int(v) + int(room[roomAt]), -32768, 32767));
                roomAt = (roomAt + 1) % room.size();
            }
        decoder.feed(samples.data(), samples.size());
    };
    std::string error;
    auto decoder = speech::CommandDecoder::create(error, settings);
    if (!decoder) {
        std::fprintf(stderr, "speechcheck: %s\n", error.c_str());
        return 1;
    }
    decoder->setDuringTake(o.duringTake);
    if (!hearingFile.empty())
        decoder->setHearing(speech::readHearing(hearingFile));
    auto profile = std::make_shared<speech::VoiceProfile>();
    profile->setUseConditions(o.conditions);
    speech::FolderVoiceStore store(profileDir);
    if (!profileDir.empty() && !store.load(*profile, error)) {
        std::fprintf(stderr, "speechcheck: %s\n", error.c_str());
        return 1;
    }
    if (!enrolWord.empty()) {
        if (!speech::isCommandWord(enrolWord)) {
            std::fprintf(stderr, "speechcheck: %s is not a command word\n", enrolWord.c_str());
            return 2;
        }
        profile->clearWord(enrolWord);
        decoder->setUtteranceHandler([&](const std::vector<std::int16_t>& samples) {
            if (profile->offer(enrolWord, samples) != speech::VoiceProfile::TakeCheck::Fine)
                std::fprintf(stderr, "speechcheck: an utterance of %.2f s was not taken\n",
                             double(samples.size()) / speech::CommandDecoder::kSampleRate);
        });
    } else if (!profileDir.empty()) {
        decoder->setProfile(profile);
    }
    const char* current = nullptr;
    constexpr double kRate = speech::CommandDecoder::kSampleRate;
    // With SPEECH_TIMING set, stderr gets for each phrase the time from the
    // end of the file's speech to its delivery, in the audio's own time
    // (negative when the phrase came before the file's last loud sample).
    const bool timing = std::getenv("SPEECH_TIMING") != nullptr;
    std::uint64_t speechEnd = 0;
    decoder->setPhraseHandler([&](const std::string& phrase) {
        if (times)
            std::printf("%s\t%s\t%.3f\n", current, phrase.c_str(),
                        double(decoder->samplesFed()) / kRate);
        else
            std::printf("%s\t%s\n", current, phrase.c_str());
        std::fflush(stdout);
        if (timing)
            std::fprintf(stderr, "latency\t%.3f\n",
                         (double(decoder->samplesFed()) - double(speechEnd)) / kRate);
    });
    // Quiet after each file, as between spoken words: long enough for the
    // decoder to notice the end of speech by itself, as it does at a
    // microphone.
    const std::vector<std::int16_t> pause(std::size_t(std::max(0.0, o.gapSeconds) * kRate), 0);
    int status = 0;
    for (int i = first; i < argc; ++i) {
        current = argv[i];
        if (std::getenv("SPEECH_DEBUG"))
            std::fprintf(stderr, "file %s\n", current);
        std::vector<std::int16_t> samples;
        if (!readAs16kMono(argv[i], samples)) {
            std::fprintf(stderr, "speechcheck: cannot read %s\n", argv[i]);
            status = 1;
            continue;
        }
        std::size_t last = samples.size();
        while (last > 0 && std::abs(samples[last - 1]) < 1000)
            --last;
        speechEnd = decoder->samplesFed() + last;
        feed(*decoder, std::move(samples));
        feed(*decoder, pause);
    }
    decoder->flush();
    if (!hearingFile.empty() && !speech::writeHearing(hearingFile, decoder->hearing())) {
        std::fprintf(stderr, "speechcheck: cannot write %s\n", hearingFile.c_str());
        status = 1;
    }
    if (!enrolWord.empty()) {
        std::printf("%s\t%d recordings\n", enrolWord.c_str(), profile->takes(enrolWord));
        if (!store.save(*profile, error)) {
            std::fprintf(stderr, "speechcheck: %s\n", error.c_str());
            return 1;
        }
    }
    return status;
}

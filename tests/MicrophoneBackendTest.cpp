// The real microphone layer on SDL's disk driver, which reads a raw file in
// place of a microphone at the pace of real time: the decoder's worker
// hands each utterance over on its own thread while enrolling, nothing
// while not listening, the backend can be dropped in mid-sentence, and what
// it learnt of the voice is kept for the next run.
// Also run under ThreadSanitizer.

#include "CommandDecoder.h"
#include "HearingFile.h"
#include "SpeechBackend.h"
#include "SyntheticWords.h"
#include "VoiceProfile.h"

#include "WaitFor.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using fake::waitFor;

namespace fs = std::filesystem;

struct Heard {
    std::mutex mutex;
    std::vector<std::vector<std::int16_t>> utterances;
    std::vector<std::string> phrases;
    std::atomic<int> levels{0};
    std::atomic<bool> onWindowThread{false};
    std::thread::id windowThread = std::this_thread::get_id();

    std::size_t utteranceCount() {
        std::lock_guard lock(mutex);
        return utterances.size();
    }
    speech::SpeechBackend::Sinks sinks() {
        return {[this](const std::string& p, std::chrono::steady_clock::time_point) {
                    std::lock_guard lock(mutex);
                    phrases.push_back(p);
                },
                [this](std::vector<std::int16_t> samples) {
                    if (std::this_thread::get_id() == windowThread)
                        onWindowThread = true;
                    std::lock_guard lock(mutex);
                    utterances.push_back(std::move(samples));
                },
                [this](float) { levels.fetch_add(1); }, nullptr};
    }
};

class MicrophoneBackendTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // Three sayings of one word, a second apart: 16 kHz mono, native
        // 16-bit, the format the backend opens its device in.
        std::vector<std::int16_t> sound;
        for (int i = 0; i < 3; ++i) {
            const auto word = synthetic::say(synthetic::kWords[0], 0.3, 8000, 30, unsigned(i + 1));
            sound.insert(sound.end(), word.begin(), word.end());
            sound.insert(sound.end(), std::size_t(synthetic::kRate), std::int16_t(0));
        }
        microphone() =
            fs::temp_directory_path() / ("microphone-" + std::to_string(::getpid()) + ".raw");
        std::ofstream(microphone(), std::ios::binary)
            .write(reinterpret_cast<const char*>(sound.data()),
                   std::streamsize(sound.size() * sizeof(std::int16_t)));
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILEIN", microphone().c_str(), 1);
        setenv("SDL_DISKAUDIOFILE", "/dev/null", 1);
    }
    static void TearDownTestSuite() { fs::remove(microphone()); }
    static fs::path& microphone() {
        static fs::path path;
        return path;
    }
};

TEST_F(MicrophoneBackendTest, EnrolmentHandsOverEachUtteranceOnTheWorkerThread) {
    Heard heard;
    auto backend = speech::makeMicrophoneBackend(heard.sinks());
    std::string error;
    ASSERT_TRUE(backend->load(error)) << error;
    ASSERT_TRUE(backend->setEnrolling(true, error)) << error;
    // The profile changes hands while the worker decodes.
    for (int i = 0; i < 20; ++i) {
        backend->setProfile(nullptr);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ASSERT_TRUE(waitFor([&] { return heard.utteranceCount() >= 2; }, 15000))
        << "utterances heard: " << heard.utteranceCount();
    EXPECT_FALSE(heard.onWindowThread);
    EXPECT_GT(heard.levels.load(), 0) << "the level bar follows the voice";
    {
        std::lock_guard lock(heard.mutex);
        // Each holds about the word (0.6 s of sound): neither a scrap nor
        // the whole file.
        for (const auto& u : heard.utterances) {
            EXPECT_GT(u.size(), std::size_t(synthetic::kRate * 3 / 10));
            EXPECT_LT(u.size(), std::size_t(synthetic::kRate * 2));
        }
        EXPECT_TRUE(heard.phrases.empty()) << "no commands while enrolling";
    }
    EXPECT_FALSE(backend->microphoneLost());
    ASSERT_TRUE(backend->setEnrolling(false, error));
    const std::size_t before = heard.utteranceCount();
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    EXPECT_EQ(heard.utteranceCount(), before) << "nothing once enrolment ended";
}

TEST_F(MicrophoneBackendTest, DroppedInMidSentenceItStopsCleanly) {
    Heard heard;
    {
        auto backend = speech::makeMicrophoneBackend(heard.sinks());
        std::string error;
        ASSERT_TRUE(backend->load(error)) << error;
        ASSERT_TRUE(backend->setActive(true, error)) << error;
        std::this_thread::sleep_for(std::chrono::milliseconds(450)); // inside the first word
    }
    // A second one opens the microphone afresh.
    auto again = speech::makeMicrophoneBackend(heard.sinks());
    std::string error;
    ASSERT_TRUE(again->load(error)) << error;
    ASSERT_TRUE(again->setEnrolling(true, error)) << error;
    EXPECT_TRUE(waitFor([&] { return heard.utteranceCount() >= 1; }, 15000));
}

// The first word after listening begins is heard against what the last
// run learnt of the voice and the microphone, and never against a room's
// noise: the voice detector, not yet knowing the room, marks off its first
// moments as an utterance in which no word is heard.
TEST_F(MicrophoneBackendTest, WhatItLearntOfTheVoiceIsKeptButNotFromSoundWithNoWord) {
    std::string error;
    auto decoder = speech::CommandDecoder::create(error);
    ASSERT_TRUE(decoder) << error;
    const std::vector<float> guess = decoder->hearing();
    ASSERT_EQ(guess.size(), 13u);
    int utterances = 0;
    decoder->setUtteranceHandler([&](const std::vector<std::int16_t>&) { ++utterances; });
    const auto room = synthetic::say({}, 0, 0, 60); // 0.6 s of -55 dB noise
    for (int i = 0; i < 5; ++i)
        decoder->feed(room.data(), room.size());
    decoder->flush();
    ASSERT_GT(utterances, 0) << "the noise's start is taken for speech";
    EXPECT_EQ(decoder->hearing(), guess);

    // A word in which no command is heard is heard a second time, against
    // its own mean; the front end keeps what the first hearing taught it,
    // and the utterance is handed on once.
    speech::DecoderSettings once;
    once.rehearProbability = 0;
    auto twice = speech::CommandDecoder::create(error);
    auto single = speech::CommandDecoder::create(error, once);
    ASSERT_TRUE(twice && single) << error;
    const auto word = synthetic::say(synthetic::kWords[1], 0.3, 8000, 30);
    int handedOn[2] = {0, 0};
    for (int i : {0, 1}) {
        speech::CommandDecoder& d = i == 0 ? *twice : *single;
        d.setUtteranceHandler([&handedOn, i](const std::vector<std::int16_t>&) { ++handedOn[i]; });
        d.feed(word.data(), word.size());
        d.flush();
    }
    EXPECT_EQ(handedOn[0], 1);
    EXPECT_EQ(handedOn[1], 1);
    EXPECT_EQ(twice->hearing(), single->hearing());
    EXPECT_NE(twice->hearing(), guess);

    const fs::path file = fs::temp_directory_path() / ("hearing-" + std::to_string(::getpid()));
    Heard heard;
    {
        auto backend = speech::makeMicrophoneBackend(heard.sinks());
        backend->keepHearingIn(file);
        ASSERT_TRUE(backend->load(error)) << error;
        ASSERT_TRUE(backend->setEnrolling(true, error)) << error;
        ASSERT_TRUE(waitFor([&] { return heard.utteranceCount() >= 2; }, 15000));
    }
    const std::vector<float> learnt = speech::readHearing(file);
    ASSERT_EQ(learnt.size(), guess.size());
    EXPECT_NE(learnt, guess);
    decoder->setHearing(learnt);
    EXPECT_EQ(decoder->hearing(), learnt);

    for (const char* damaged : {"", "41 -5 nan", "41 -5 x 3", "1e9"}) {
        std::ofstream(file) << damaged;
        EXPECT_TRUE(speech::readHearing(file).empty()) << damaged;
        decoder->setHearing(speech::readHearing(file)); // of no shape: ignored
        EXPECT_EQ(decoder->hearing(), learnt) << damaged;
    }
    fs::remove(file);
}

// A word said a syllable at a time: a pause a little longer than the
// decoder's own end of speech does not part it when no take runs. While
// one runs, each sentence of the message ends where the decoder ends it.
TEST(CommandDecoderTest, APauseBetweenSyllablesKeepsOneUtteranceOnlyWhenNoTakeRuns) {
    const auto syllable = synthetic::say({{300, 600}}, 0.3, 8000, 30);
    std::vector<std::int16_t> word(syllable.begin(), syllable.end() - 4800);
    const auto pause = synthetic::say({}, 0.62, 0, 30, 9); // of room noise
    word.insert(word.end(), pause.begin(), pause.end());
    word.insert(word.end(), syllable.begin() + 4800, syllable.end());
    const auto room = synthetic::say({}, 0, 0, 30, 7);
    speech::DecoderSettings noJoin;
    noJoin.joinQuiet = 0;
    struct Case {
        bool duringTake;
        speech::DecoderSettings settings;
        int utterances;
    } cases[] = {{false, {}, 1}, {true, {}, 2}, {false, noJoin, 2}};
    for (const Case& c : cases) {
        std::string error;
        auto decoder = speech::CommandDecoder::create(error, c.settings);
        ASSERT_TRUE(decoder) << error;
        decoder->setDuringTake(c.duringTake);
        for (int i = 0; i < 6; ++i) // the room, learnt before the word
            decoder->feed(room.data(), room.size());
        int utterances = 0;
        decoder->setUtteranceHandler([&](const std::vector<std::int16_t>&) { ++utterances; });
        decoder->feed(word.data(), word.size());
        for (int i = 0; i < 4; ++i)
            decoder->feed(room.data(), room.size());
        decoder->flush();
        EXPECT_EQ(utterances, c.utterances) << c.duringTake << ' ' << c.settings.joinQuiet;
    }
}

// With the user's own recordings, a word that the model does not hear as a
// command is answered once a little quiet follows it, as a word the model
// hears is, not at the end of the utterance.
TEST(CommandDecoderTest, ATrainedWordIsAnsweredOnceALittleQuietFollowsIt) {
    auto profile = std::make_shared<speech::VoiceProfile>();
    const auto& words = speech::commandWordList();
    for (std::size_t w = 0; w < words.size(); ++w)
        for (double s : {0.25, 0.3, 0.35})
            ASSERT_TRUE(profile->addTake(words[w], synthetic::say(synthetic::kWords[w], s, 8000, 30,
                                                                  unsigned(double(w) + s * 100))));
    const auto word = synthetic::say(synthetic::kWords[1], 0.3, 8000, 30, 5); // ends at 0.9 s
    const auto room = synthetic::say({}, 0, 0, 30, 7);
    speech::DecoderSettings atTheEnd;
    atTheEnd.earlyMatch = false;
    for (const speech::DecoderSettings& settings : {speech::DecoderSettings{}, atTheEnd}) {
        std::string error;
        auto decoder = speech::CommandDecoder::create(error, settings);
        ASSERT_TRUE(decoder) << error;
        decoder->setProfile(profile);
        for (int i = 0; i < 6; ++i)
            decoder->feed(room.data(), room.size());
        const std::uint64_t start = decoder->samplesFed();
        std::vector<std::pair<std::string, double>> said;
        decoder->setPhraseHandler([&](const std::string& phrase) {
            said.emplace_back(phrase, double(decoder->samplesFed() - start) / 16000 - 0.9);
        });
        decoder->feed(word.data(), word.size());
        for (int i = 0; i < 4; ++i)
            decoder->feed(room.data(), room.size());
        decoder->flush();
        ASSERT_EQ(said.size(), 1u);
        EXPECT_EQ(said[0].first, words[1]);
        if (settings.earlyMatch)
            EXPECT_LT(said[0].second, 0.45);
        else
            EXPECT_GT(said[0].second, 0.6);
    }
}

} // namespace

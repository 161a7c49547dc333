// The template matcher and the stored profile, with made-up words.

#include "VoiceProfile.h"
#include "AsNormalUser.h"
#include "SampleRing.h"
#include "SyntheticWords.h"
#include "VoiceStore.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <random>

namespace fs = std::filesystem;
using speech::VoiceProfile;

namespace {

using synthetic::kRate;
using synthetic::kWords;
using synthetic::say;

VoiceProfile enrolled(double noise = 0) {
    VoiceProfile p;
    const auto& words = speech::commandWordList();
    for (std::size_t w = 0; w < words.size(); ++w)
        for (double s : {0.25, 0.3, 0.35})
            EXPECT_TRUE(p.addTake(
                words[w], say(kWords[w], s, 8000, noise, unsigned(w * 10) + unsigned(s * 100))));
    return p;
}

std::string heard(const VoiceProfile& p, const std::vector<std::int16_t>& s) {
    return p.recognise(s.data(), s.size());
}

// The word as another microphone or room gives it: a telephone's band (two
// one-pole sections each way, 300-3400 Hz), a line that cuts it as steeply
// as real ones do, or a room whose echo dies away over half a second, its
// echo about as loud as the word itself.
std::vector<std::int16_t> telephone(std::vector<std::int16_t> s) {
    const double low = std::exp(-2 * std::numbers::pi * 3400.0 / kRate);
    const double high = std::exp(-2 * std::numbers::pi * 300.0 / kRate);
    for (int pass = 0; pass < 2; ++pass) {
        double lp = 0, hpIn = 0, hpOut = 0;
        for (auto& v : s) {
            lp = (1 - low) * v + low * lp;
            hpOut = high * (hpOut + lp - hpIn);
            hpIn = lp;
            v = std::int16_t(std::clamp(hpOut, -32000.0, 32000.0));
        }
    }
    return s;
}

std::vector<std::int16_t> phoneLine(const std::vector<std::int16_t>& s) {
    // A windowed-sinc band-pass: flat inside, 70 dB down outside.
    constexpr int kTaps = 801;
    std::vector<double> h(kTaps);
    for (int n = 0; n < kTaps; ++n) {
        const double t = n - kTaps / 2;
        const auto lowPass = [t](double hz) {
            const double w = 2 * hz / kRate;
            return t == 0 ? w : std::sin(std::numbers::pi * w * t) / (std::numbers::pi * t);
        };
        const double x = 2 * std::numbers::pi * n / (kTaps - 1);
        h[std::size_t(n)] =
            (lowPass(3400) - lowPass(300)) * (0.42 - 0.5 * std::cos(x) + 0.08 * std::cos(2 * x));
    }
    std::vector<std::int16_t> out(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        double v = 0;
        for (int n = 0; n < kTaps; ++n)
            if (const auto k = std::ptrdiff_t(i) + kTaps / 2 - n; k >= 0 && k < std::ssize(s))
                v += h[std::size_t(n)] * s[std::size_t(k)];
        out[i] = std::int16_t(std::clamp(v, -32000.0, 32000.0));
    }
    return out;
}

std::vector<std::int16_t> reverberant(const std::vector<std::int16_t>& s) {
    std::mt19937 rng(7);
    std::normal_distribution<double> n(0, 1);
    std::vector<double> echo(std::size_t(kRate / 2));
    for (std::size_t i = 0; i < echo.size(); ++i)
        echo[i] = 0.02 * n(rng) * std::pow(1e-3, double(i) / double(echo.size()));
    std::vector<std::int16_t> out(s.size() + echo.size());
    for (std::size_t i = 0; i < out.size(); ++i) {
        double v = i < s.size() ? s[i] : 0;
        for (std::size_t k = 1; k < echo.size() && k <= i; k += 4)
            if (i - k < s.size())
                v += 4 * echo[k] * s[i - k];
        out[i] = std::int16_t(std::clamp(v, -32000.0, 32000.0));
    }
    return out;
}

TEST(VoiceProfileTest, EachWordIsKnownSaidSlowerFasterSofterOrInNoise) {
    const VoiceProfile p = enrolled();
    ASSERT_TRUE(p.complete());
    const auto& words = speech::commandWordList();
    for (std::size_t w = 0; w < words.size(); ++w) {
        SCOPED_TRACE(words[w]);
        EXPECT_EQ(heard(p, say(kWords[w], 0.3)), words[w]);
        EXPECT_EQ(heard(p, say(kWords[w], 0.45)), words[w]) << "said slowly";
        EXPECT_EQ(heard(p, say(kWords[w], 0.2)), words[w]) << "said quickly";
        EXPECT_EQ(heard(p, say(kWords[w], 0.3, 1500)), words[w]) << "said softly";
        // Hiss about 20 dB below the voice; the recordings were made in quiet.
        EXPECT_EQ(heard(p, say(kWords[w], 0.3, 8000, 600, 99)), words[w]) << "in noise";
        // A little louder: what the hiss fills must weigh nothing, or it
        // draws every word to the same distance.
        for (unsigned seed : {7u, 13u, 99u})
            EXPECT_EQ(heard(p, say(kWords[w], 0.3, 8000, 700, seed)), words[w]) << "louder noise";
        // Louder still, a sixth of the voice's amplitude: a word cut down
        // to its few frames far above such a room looks like every other.
        for (unsigned seed : {7u, 13u, 99u})
            EXPECT_EQ(heard(p, say(kWords[w], 0.3, 8000, 1300, seed)), words[w]) << "loud room";
        // Said far louder than the converter takes, another microphone, a
        // reverberant room; the recordings were made plainly.
        EXPECT_EQ(heard(p, say(kWords[w], 0.3, 40000)), words[w]) << "clipping";
        EXPECT_EQ(heard(p, telephone(say(kWords[w], 0.3))), words[w]) << "telephone band";
        // 停止识别 begins as 停止 does: in a room's echo the two lie too close
        // for the matcher to choose, and it must then be neither.
        EXPECT_EQ(heard(p, reverberant(say(kWords[w], 0.3))), w == 7 ? "" : words[w])
            << "reverberant";
    }
}

// A line that cuts as steeply as real ones do. These words glide down to
// 200-350 Hz, where it cuts: most, not all, are still known, none as another.
TEST(VoiceProfileTest, MostWordsAreKnownThroughASteepTelephoneBand) {
    const VoiceProfile p = enrolled();
    const auto& words = speech::commandWordList();
    int known = 0;
    for (std::size_t w = 0; w < words.size(); ++w) {
        const std::string got = heard(p, phoneLine(say(kWords[w], 0.3)));
        EXPECT_TRUE(got.empty() || got == words[w]) << words[w] << " heard as " << got;
        known += got == words[w] ? 1 : 0;
    }
    EXPECT_GE(known, 5);
}

TEST(VoiceProfileTest, OtherSoundsAreNotTakenForACommand) {
    const VoiceProfile p = enrolled();
    EXPECT_EQ(heard(p, say({{1200, 1500}, {1500, 1100}}, 0.3)), "");
    // A command followed by more speech is not that command.
    EXPECT_EQ(heard(p, say({{300, 600}, {500, 400}, {1200, 1500}, {1500, 1100}}, 0.3)), "");
    // Sharing the first syllable with a command is not enough.
    EXPECT_EQ(heard(p, say({{300, 600}, {1300, 1300}}, 0.3)), "");
    // Silence, a click and noise alone.
    EXPECT_EQ(heard(p, std::vector<std::int16_t>(kRate, 0)), "");
    std::vector<std::int16_t> click(kRate, 0);
    click[kRate / 2] = 30000;
    EXPECT_EQ(heard(p, click), "");
    EXPECT_EQ(heard(p, say({}, 0.3, 0, 2000)), "");
}

TEST(VoiceProfileTest, NothingIsRecognisedUntilEveryWordHasARecording) {
    VoiceProfile p = enrolled();
    p.clearWord("试听");
    EXPECT_FALSE(p.complete());
    EXPECT_EQ(heard(p, say(kWords[0], 0.3)), "");
    EXPECT_EQ(p.takes("试听"), 0);
    EXPECT_EQ(p.takes("录音"), VoiceProfile::kTakesPerWord);
}

TEST(VoiceProfileTest, TakesThatAreNotAWordAreRefused) {
    VoiceProfile p;
    EXPECT_FALSE(p.addTake("录音", std::vector<std::int16_t>(kRate, 0))) << "silence";
    EXPECT_FALSE(p.addTake("录音", say({{300, 600}}, 0.08))) << "too short";
    EXPECT_FALSE(p.addTake("录音", say({{300, 600}}, 5.0))) << "too long";
    EXPECT_FALSE(p.addTake("你好", say(kWords[0], 0.3))) << "not a command";
    for (int i = 0; i < VoiceProfile::kTakesPerWord; ++i)
        EXPECT_TRUE(p.addTake("录音", say(kWords[0], 0.3)));
    EXPECT_FALSE(p.addTake("录音", say(kWords[0], 0.3))) << "one too many";
    EXPECT_EQ(p.takes("录音"), VoiceProfile::kTakesPerWord);
}

TEST(VoiceProfileTest, ARecordingMoreLikeAnotherWordIsNotKept) {
    using Check = VoiceProfile::TakeCheck;
    VoiceProfile p;
    // A recording offered and found fine is kept.
    auto check = [&](const char* word, const std::vector<std::int16_t>& s) {
        return p.offer(word, s);
    };
    for (double s : {0.25, 0.3, 0.35})
        ASSERT_TRUE(p.addTake("录音", say(kWords[0], s)));
    EXPECT_EQ(check("暂停", say(kWords[0], 0.3)), Check::LikeAnotherWord) << "录音 again";
    EXPECT_EQ(check("暂停", say(kWords[1], 0.3)), Check::Fine);
    EXPECT_EQ(p.takes("暂停"), 1);
    ASSERT_TRUE(p.addTake("暂停", say(kWords[1], 0.3)));
    EXPECT_EQ(check("暂停", say(kWords[0], 0.3)), Check::LikeAnotherWord);
    EXPECT_EQ(check("暂停", std::vector<std::int16_t>(kRate, 0)), Check::TooSoft) << "muted";
    // The right word, but clipped by a microphone set too loud, or barely
    // above its noise: the user is asked again, nothing kept.
    auto clipped = say(kWords[1], 0.3);
    for (auto& v : clipped)
        v = std::int16_t(std::clamp(4 * int(v), -32768, 32767));
    EXPECT_EQ(check("暂停", clipped), Check::TooLoud);
    EXPECT_EQ(check("暂停", say(kWords[1], 0.3, 100)), Check::TooSoft);
    EXPECT_EQ(p.takes("暂停"), 2);
    EXPECT_EQ(check("暂停", say(kWords[1], 0.4)), Check::Fine);
    EXPECT_EQ(p.takes("暂停"), 3);
    EXPECT_EQ(check("录音", say(kWords[0], 0.3)), Check::NotAWord) << "already has three";
}

TEST(VoiceProfileTest, LearningKeepsOnlyConfidentSayingsInPlaceOfTheOldest) {
    VoiceProfile p = enrolled();
    const auto newest = say(kWords[0], 0.32, 8000, 0, 77);
    EXPECT_FALSE(p.learn("录音", say(kWords[1], 0.3))) << "another word's sound";
    EXPECT_FALSE(p.learn("暂停", say(kWords[0], 0.3))) << "heard as another word";
    EXPECT_FALSE(p.learn("录音", say({{300, 600}, {500, 400}, {700, 700}}, 0.3))) << "not sure";
    ASSERT_TRUE(p.learn("录音", newest));
    EXPECT_EQ(p.takes("录音"), VoiceProfile::kTakesPerWord) << "bounded";
    // Saved, the learned saying is the newest file and the oldest is gone.
    const fs::path dir = fs::temp_directory_path() / "learn-test";
    fs::remove_all(dir);
    std::string error;
    ASSERT_TRUE(speech::FolderVoiceStore(dir).save(p, error)) << error;
    SF_INFO info{};
    SNDFILE* f = sf_open((dir / "word1_take3.wav").c_str(), SFM_READ, &info);
    ASSERT_NE(f, nullptr);
    sf_close(f);
    EXPECT_EQ(std::size_t(info.frames), newest.size());
    f = sf_open((dir / "word1_take1.wav").c_str(), SFM_READ, &info);
    ASSERT_NE(f, nullptr);
    sf_close(f);
    EXPECT_EQ(std::size_t(info.frames), say(kWords[0], 0.3).size()) << "the 0.25 s one went";
    fs::remove_all(dir);
}

class ProfileFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("profile-test-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
               "-" + std::to_string(reinterpret_cast<std::uintptr_t>(this)));
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    fs::path dir;
};

TEST_F(ProfileFilesTest, SavedRecordingsReadBackAndRecogniseTheSame) {
    const VoiceProfile p = enrolled();
    std::string error;
    ASSERT_TRUE(speech::FolderVoiceStore(dir / "voice").save(p, error)) << error;
    // Plain 16 kHz mono WAV files that any program can read.
    SF_INFO info{};
    SNDFILE* f = sf_open((dir / "voice" / "word4_take2.wav").c_str(), SFM_READ, &info);
    ASSERT_NE(f, nullptr);
    sf_close(f);
    EXPECT_EQ(info.samplerate, kRate);
    EXPECT_EQ(info.channels, 1);

    VoiceProfile back;
    ASSERT_TRUE(speech::FolderVoiceStore(dir / "voice").load(back, error)) << error;
    EXPECT_TRUE(back.complete());
    const auto sample = say(kWords[3], 0.4);
    EXPECT_EQ(back.recognise(sample.data(), sample.size()), "停止");
    EXPECT_FALSE(fs::exists(dir / "voice.new"));
    EXPECT_FALSE(fs::exists(dir / "voice.old"));
}

TEST_F(ProfileFilesTest, AMissingFolderIsAnEmptyProfileAndABadFileIsReported) {
    VoiceProfile p;
    std::string error;
    EXPECT_TRUE(speech::FolderVoiceStore(dir / "none").load(p, error));
    EXPECT_FALSE(p.complete());
    fs::create_directories(dir / "bad");
    std::ofstream(dir / "bad" / "word1_take1.wav") << "not a sound";
    EXPECT_FALSE(speech::FolderVoiceStore(dir / "bad").load(p, error));
    EXPECT_NE(error.find("word1_take1.wav"), std::string::npos);
    EXPECT_FALSE(p.complete());

    // A set still missing words (as an enrolment builds it) loads as it is.
    VoiceProfile some;
    ASSERT_TRUE(some.addTake("录音", say(kWords[0], 0.3)));
    ASSERT_TRUE(speech::FolderVoiceStore(dir / "some").save(some, error));
    EXPECT_TRUE(speech::FolderVoiceStore(dir / "some").load(p, error));
    EXPECT_EQ(p.takes("录音"), 1);
    EXPECT_FALSE(p.complete());
}

TEST_F(ProfileFilesTest, AFolderThatCannotBeReadOrAFileFarTooLongIsReported) {
    std::string error;
    ASSERT_TRUE(speech::FolderVoiceStore(dir / "voice").save(enrolled(), error));
    // 31 s of sound in place of a word: refused, not read.
    {
        SF_INFO info{};
        info.samplerate = kRate;
        info.channels = 1;
        info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
        SNDFILE* f = sf_open((dir / "voice" / "word2_take1.wav").c_str(), SFM_WRITE, &info);
        ASSERT_NE(f, nullptr);
        const std::vector<short> second(kRate, 1000);
        for (int i = 0; i < 31; ++i)
            sf_write_short(f, second.data(), sf_count_t(second.size()));
        sf_close(f);
    }
    VoiceProfile p;
    EXPECT_FALSE(speech::FolderVoiceStore(dir / "voice").load(p, error));
    EXPECT_NE(error.find("word2_take1.wav"), std::string::npos);
    EXPECT_FALSE(p.complete());

    // A folder its user cannot look into (as "nobody" when the tests run as
    // root, since root can read anything).
    ASSERT_TRUE(speech::FolderVoiceStore(dir / "voice").save(enrolled(), error));
    fs::permissions(dir, fs::perms::owner_all | fs::perms::others_exec);
    fs::permissions(dir / "voice", fs::perms::owner_all);
    const auto refused = [this] {
        VoiceProfile q;
        std::string why;
        return !speech::FolderVoiceStore(dir / "voice").load(q, why) &&
               why.find("无法读取语音样本") == 0;
    };
    EXPECT_TRUE(fake::asNormalUser(
        refused, [this] { fs::permissions(dir / "voice", fs::perms::none); },
        [this] { fs::permissions(dir / "voice", fs::perms::owner_all); }));
}

TEST_F(ProfileFilesTest, ASaveCutOffBetweenItsRenamesLeavesTheOldSetReadable) {
    std::string error;
    ASSERT_TRUE(speech::FolderVoiceStore(dir / "voice").save(enrolled(), error));
    fs::rename(dir / "voice", dir / "voice.old");
    VoiceProfile back;
    ASSERT_TRUE(speech::FolderVoiceStore(dir / "voice").load(back, error)) << error;
    EXPECT_TRUE(back.complete());
}

TEST_F(ProfileFilesTest, AFailedSaveKeepsTheOldRecordings) {
    const VoiceProfile p = enrolled();
    std::string error;
    ASSERT_TRUE(speech::FolderVoiceStore(dir / "voice").save(p, error));
    // A file size limit makes the writes fail, as a full disk would.
    VoiceProfile other;
    ASSERT_TRUE(other.addTake("录音", say(kWords[0], 0.3)));
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 10000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved = speech::FolderVoiceStore(dir / "voice").save(other, error);
    setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_FALSE(saved);
    EXPECT_NE(error.find("无法保存语音样本"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir / "voice.new"));
    VoiceProfile back;
    ASSERT_TRUE(speech::FolderVoiceStore(dir / "voice").load(back, error));
    EXPECT_TRUE(back.complete());
}

TEST_F(ProfileFilesTest, ClearRemovesTheSetAndWhatACutOffSaveLeftOrSaysItCouldNot) {
    speech::FolderVoiceStore store(dir / "voice");
    std::string error;
    EXPECT_FALSE(store.hasRecordings());
    ASSERT_TRUE(store.save(enrolled(), error));
    // A set kept only under ".old" (a save cut off between its renames) is
    // still a set: the offer of training stays away, a clear removes it.
    fs::rename(dir / "voice", dir / "voice.old");
    fs::create_directories(dir / "voice.new");
    EXPECT_TRUE(store.hasRecordings());
    ASSERT_TRUE(store.clear(error)) << error;
    EXPECT_FALSE(store.hasRecordings());
    for (const char* left : {"voice", "voice.old", "voice.new"})
        EXPECT_FALSE(fs::exists(dir / left)) << left;
    VoiceProfile back;
    ASSERT_TRUE(store.load(back, error));
    EXPECT_TRUE(back.empty());

    // In a folder its user may not change, the set stays and clear says so.
    ASSERT_TRUE(store.save(enrolled(), error));
    const auto refused = [&] {
        std::string why;
        return !speech::FolderVoiceStore(dir / "voice").clear(why) && !why.empty();
    };
    const auto readOnly = fs::perms::owner_read | fs::perms::owner_exec | fs::perms::others_read |
                          fs::perms::others_exec;
    EXPECT_TRUE(fake::asNormalUser(
        refused,
        [&] {
            fs::permissions(dir / "voice", readOnly);
            fs::permissions(dir, readOnly);
        },
        [&] {
            fs::permissions(dir, fs::perms::owner_all);
            fs::permissions(dir / "voice", fs::perms::owner_all);
        }));
    EXPECT_TRUE(store.hasRecordings());
    VoiceProfile kept;
    ASSERT_TRUE(store.load(kept, error)) << error;
    EXPECT_TRUE(kept.complete());
}

} // namespace

namespace {

TEST(SampleRingTest, KeepsOrderAcrossTheEdgeAndDropsTheOldestWhenFull) {
    speech::SampleRing ring(8);
    std::vector<std::int16_t> out(5);
    const std::int16_t a[] = {1, 2, 3, 4, 5, 6};
    ring.push(a, 6);
    ASSERT_EQ(ring.take(out), 5u);
    EXPECT_EQ(out, (std::vector<std::int16_t>{1, 2, 3, 4, 5}));
    const std::int16_t b[] = {7, 8, 9, 10, 11};
    ring.push(b, 5); // wraps round the end
    ASSERT_EQ(ring.take(out), 5u);
    EXPECT_EQ(out, (std::vector<std::int16_t>{6, 7, 8, 9, 10}));
    EXPECT_EQ(ring.size(), 1u);
    const std::int16_t c[] = {12, 13, 14, 15, 16, 17, 18, 19, 20};
    ring.push(c, 9); // one too many: 11 and 12 give way
    EXPECT_EQ(ring.size(), 8u);
    ASSERT_EQ(ring.take(out), 5u);
    EXPECT_EQ(out, (std::vector<std::int16_t>{13, 14, 15, 16, 17}));
    std::vector<std::int16_t> big(20);
    const std::int16_t d[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    ring.push(d, 12); // more than the whole ring: the newest eight
    ASSERT_EQ(ring.take(big), 8u);
    EXPECT_EQ(std::vector<std::int16_t>(big.begin(), big.begin() + 8),
              (std::vector<std::int16_t>{5, 6, 7, 8, 9, 10, 11, 12}));
    ring.push(d, 3);
    ring.clear();
    EXPECT_EQ(ring.take(out), 0u);
}

} // namespace

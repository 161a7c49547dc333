// The recogniser's words and grammar: what counts as a command, and a
// grammar the decoder can load (every word spelt, every path a whole
// command or at least one syllable of the loop).

#include "CommandLexicon.h"
#include "CommandDecoder.h"
#include "QuietTail.h"
#include "SteadySound.h"
#include "Tempo.h"
#include "UtteranceSegmenter.h"
#include "VoiceProfile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <set>
#include <sstream>
#include <vector>

using speech::commandOf;

TEST(CommandLexiconTest, OnlyTheWholeSyllablesOfOneCommandAreACommand) {
    EXPECT_EQ(commandOf("录音_1 录音_2"), "录音");
    EXPECT_EQ(commandOf("停止_1 停止_2"), "停止");
    EXPECT_EQ(commandOf("停止识别_1 停止识别_2 停止识别_3 停止识别_4"), "停止识别");
    for (const char* partial :
         {"", "录音_1", "录音_2 录音_1", "录音_1 录音_2 s_ba", "s_ba 录音_1 录音_2",
          "停止识别_1 停止识别_2", "录音_1 停止_2", "你好_1 你好_2", "录音_1 录音_2 录音_1 录音_2"})
        EXPECT_EQ(commandOf(partial), "") << partial;
}

// A command said on its own: the whole hypothesis, no syllable drawn out
// past any speaking rate, and no loud sound outside it.
TEST(CommandLexiconTest, ACommandIsTheWholeUtteranceAtASpeakingRate) {
    using speech::HeardWord;
    const speech::IsolationRules rules = speech::DecoderSettings{}.idle;
    struct Row {
        std::vector<HeardWord> words;
        speech::HeardSound sound;
        const char* expected;
    };
    const Row rows[] = {
        {{{"停止_1", 0.1, 0.5}, {"停止_2", 0.5, 1.0}}, {1.1, 2}, "停止"},
        // The way on after a command: 停止 followed by 识别 is no 停止.
        {{{"停止_1", 0.1, 0.4}, {"停止_2", 0.4, 0.7}, {"s_shi", 0.7, 0.9}, {"s_bie", 0.9, 1.2}},
         {1.1, 4},
         ""},
        {{{"s_wo", 0.0, 0.2}, {"录音_1", 0.2, 0.5}, {"录音_2", 0.5, 0.8}}, {0.8, 3}, ""},
        // One syllable stretched over 1.3 s of speech.
        {{{"停止_1", 0.1, 0.3}, {"停止_2", 0.3, 1.6}}, {1.5, 2}, ""},
        // Four syllables before 继续 taken for silence: 1.8 s of sound.
        {{{"继续_1", 1.2, 1.5}, {"继续_2", 1.5, 1.9}}, {1.8, 6}, ""},
        // 停止识别 said quickly, its last two syllables taken for silence.
        {{{"停止_1", 0.2, 0.63}, {"停止_2", 0.63, 0.87}}, {1.02, 4}, ""},
        // 试一试 heard as 继续: one vowel too many.
        {{{"继续_1", 0.1, 0.4}, {"继续_2", 0.4, 0.9}}, {0.8, 3}, ""},
        {{}, {}, ""},
    };
    for (const Row& r : rows)
        EXPECT_EQ(speech::isolatedCommand(r.words, r.sound, rules), r.expected)
            << r.words.size() << " words, " << r.sound.seconds << " s";

    // While a take runs the sound decides, not the decoder's syllables
    // (which take in the quiet around a word): 1.2 s of sound is 录音 said
    // slowly, 1.4 s a clause of dictation the decoder laid 录音 over.
    const speech::IsolationRules take = speech::DecoderSettings{}.duringTake;
    const std::vector<HeardWord> drawn = {{"录音_1", 0.0, 0.9}, {"录音_2", 0.9, 1.6}};
    EXPECT_EQ(speech::isolatedCommand(drawn, {1.2, 2}, take), "录音");
    EXPECT_EQ(speech::isolatedCommand(drawn, {1.4, 2}, take), "");
}

TEST(CommandLexiconTest, EveryCommandInTheTableIsSpeltSyllableBySyllable) {
    for (const speech::CommandWord& w : speech::kCommandWords) {
        EXPECT_EQ(speech::commandNamed(w.word), w.command) << w.word;
        // Each character is one syllable: a spelling with another number of
        // groups could never be recognised as the word.
        const std::string word = w.word;
        const auto syllables = std::count_if(word.begin(), word.end(), [](char c) {
            return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
        });
        int spellings = 0;
        for (const auto& p : speech::commandPronunciations()) {
            if (p.word != word)
                continue;
            ++spellings;
            EXPECT_EQ(std::count(p.phones.begin(), p.phones.end(), '|') + 1, syllables) << p.phones;
        }
        EXPECT_GT(spellings, 0) << word << " has no spelling";
    }
    EXPECT_FALSE(speech::commandNamed("停止识"));
    EXPECT_FALSE(speech::isCommandWord(""));
}

TEST(CommandLexiconTest, ExtraSpellingsNeedOneGroupPerSyllable) {
    const auto read = speech::readPronunciations("录音 L UW | Y IH N\n"
                                                 "录音 L UW Y IH N\n"         // no syllables
                                                 "你好 N IY | HH AW\n"        // not a command
                                                 "停止识别 T IH NG | JH ER\n" // two of four
                                                 "试听\tSH ER | T IH NG\n");
    ASSERT_EQ(read.size(), 2u);
    EXPECT_EQ(read[0].word, "录音");
    EXPECT_EQ(read[1].phones, "SH ER | T IH NG");
}

TEST(CommandLexiconTest, ASyllableIsLooseOnlyWhenNoPlainSpellingHasIt) {
    const std::vector<speech::Pronunciation> spellings = {
        {"录音", "L UW | Y IH N"}, {"录音", "L UW | IH N", true}, {"录音", "L OW | IH N", true}};
    EXPECT_EQ(speech::looseSyllables(spellings), (std::set<std::string>{"录音_1(2)", "录音_2(2)"}));
    EXPECT_NE(speech::dictionaryText(spellings).find("录音_1(2)\tL OW\n"), std::string::npos);
}

TEST(CommandLexiconTest, TheGrammarUsesOnlySpeltWordsAndSharesOutTheCommandBranch) {
    const auto spellings = speech::commandSpellings();
    std::set<std::string> spelt;
    std::istringstream dict(speech::dictionaryText(spellings));
    for (std::string line; std::getline(dict, line);)
        spelt.insert(line.substr(0, line.find_first_of("(\t")));

    std::istringstream fsg(speech::grammarText(spellings, 0.5, {{"试听", 3.0}, {"播放", 0.0}}));
    std::map<int, double> fromStart; // state reached -> probability
    std::map<std::string, double> firstSyllable;
    int transitions = 0;
    for (std::string line; std::getline(fsg, line);) {
        std::istringstream f(line);
        std::string key, word;
        int from = 0, to = 0;
        double p = 0;
        if (!(f >> key) || key != "TRANSITION")
            continue;
        ++transitions;
        f >> from >> to >> p;
        // No empty transitions out of the start: a short word cannot be
        // explained as no words at all.
        const bool named = bool(f >> word);
        ASSERT_TRUE(named || from != 0) << line;
        if (!word.empty()) {
            EXPECT_TRUE(spelt.count(word)) << word << " has no spelling";
        }
        if (from == 0) {
            fromStart[to == 2 ? 2 : 1] += p;
            if (to != 2)
                firstSyllable[word] += p;
        }
    }
    EXPECT_GT(transitions, 800);
    EXPECT_NEAR(fromStart[1] + fromStart[2], 1.0, 1e-4);
    EXPECT_NEAR(firstSyllable["试听_1"], 0.5 * 3.0 / 9.0, 1e-6);
    EXPECT_EQ(firstSyllable["播放_1"], 0.0);
    EXPECT_NEAR(firstSyllable["录音_1"], 0.5 / 9.0, 1e-6);

    // With a way on after a command, every command's last syllable leads
    // to one state, which ends or goes on into the loop; the two share 1.
    std::istringstream on(speech::grammarText(spellings, 0.5, {}, 0.25));
    std::set<int> afterCommands;
    std::map<int, double> out; // from a state: ends (1) or syllables (2)
    for (std::string line; std::getline(on, line);) {
        std::istringstream f(line);
        std::string key, word;
        int from = 0, to = 0;
        double p = 0;
        if (!(f >> key >> from >> to >> p) || key != "TRANSITION")
            continue;
        f >> word;
        if (from > 3 && (word == "停止_2" || word == "录音_2" || word == "停止识别_4"))
            afterCommands.insert(to);
        if (from == 3)
            out[to] += p;
    }
    EXPECT_EQ(afterCommands, std::set<int>{3});
    EXPECT_NEAR(out[1], 0.75, 1e-6);
    EXPECT_NEAR(out[2], 0.25, 1e-4);
}

TEST(CommandLexiconTest, TheGeneralRecogniserDecidesOnlyWhereTheMatcherNearlyAgrees) {
    speech::VoiceProfile::Match m;
    m.nearest = "试听";
    m.limit = {2.0, 4.0};
    m.distance = {2.5, 4.5}; // past the limits, within the looser ones
    m.runnerUp = 5.0;
    EXPECT_EQ(speech::VoiceProfile::decide(m, "试听"), "试听");
    EXPECT_EQ(speech::VoiceProfile::decide(m, ""), "") << "no second opinion";
    EXPECT_EQ(speech::VoiceProfile::decide(m, "播放"), "") << "the two disagree";
    m.distance = {3.5, 4.5};
    EXPECT_EQ(speech::VoiceProfile::decide(m, "试听"), "") << "too far even so";
    m.distance = {2.5, 4.5};
    m.runnerUp = 3.0;
    EXPECT_EQ(speech::VoiceProfile::decide(m, "试听"), "") << "another word is as near";
    m.word = "录音"; // the matcher's own answer stands
    EXPECT_EQ(speech::VoiceProfile::decide(m, "试听"), "录音");
}

// Answering before the decoder's end of speech: only after quiet that
// follows the loudest sound, and never for a command that may still grow.
TEST(EarlyAnswerTest, QuietCountsAfterTheLoudestSoundAndAPrefixCommandWaits) {
    EXPECT_TRUE(speech::beginsLongerCommand("停止"));
    for (const char* word : {"停止识别", "录音", "暂停", "保存"})
        EXPECT_FALSE(speech::beginsLongerCommand(word)) << word;

    const std::vector<std::int16_t> loud(1600, 8000), soft(1600, 1000), quiet(1600, 300);
    speech::QuietTail tail;
    EXPECT_EQ(tail.add(quiet.data(), quiet.size()), 0u); // nothing louder yet
    EXPECT_EQ(tail.add(loud.data(), loud.size()), 0u);
    // -18 dB: a softer syllable, not quiet; a pause between syllables is.
    EXPECT_EQ(tail.add(soft.data(), soft.size()), 0u);
    EXPECT_EQ(tail.add(quiet.data(), quiet.size()), 1600u);
    EXPECT_EQ(tail.add(quiet.data(), quiet.size()), 3200u);
    EXPECT_EQ(tail.add(soft.data(), soft.size()), 0u); // the next syllable
    EXPECT_EQ(tail.add(quiet.data(), 0), 0u);
    tail.reset();
    EXPECT_EQ(tail.add(soft.data(), soft.size()), 0u); // a new utterance's own level
    // In a room with a fan the pause after a word is back at the room's
    // noise, less than 20 dB under the word: quiet too.
    tail.reset();
    tail.room(soft.data(), soft.size());
    EXPECT_EQ(tail.add(soft.data(), soft.size()), 0u);
    EXPECT_EQ(tail.add(loud.data(), loud.size()), 0u);
    EXPECT_EQ(tail.add(soft.data(), soft.size()), 1600u);
    // ... also where the word stands only 12 dB over the room.
    const std::vector<std::int16_t> word(1600, 4000);
    tail.reset();
    tail.room(soft.data(), soft.size());
    EXPECT_EQ(tail.add(word.data(), word.size()), 0u);
    EXPECT_EQ(tail.add(soft.data(), soft.size()), 1600u);

    // Where a command's sound lies (a spoken stop ends the take where it
    // begins): behind the quiet and the faint room around it.
    std::vector<std::int16_t> utterance(8000, 30); // room, 0.5 s, -48 dB
    utterance.insert(utterance.end(), 1600, 150);  // a breath, -35 dB
    utterance.insert(utterance.end(), 1600, 500);  // the word's soft start, -24 dB
    utterance.insert(utterance.end(), 4800, 8000); // the word
    utterance.insert(utterance.end(), 8000, 30);   // quiet again
    const speech::SoundSpan span = speech::loudSpan(utterance.data(), utterance.size());
    EXPECT_EQ(span.begin, 9600u);
    EXPECT_EQ(span.end, 16000u);
    EXPECT_EQ(speech::loudSpan(utterance.data(), 0).end, 0u);
}

// Utterances marked off from the voice detector's word on each 0.1 s piece:
// made-up pieces, no model. '.' quiet and no speech, 'q' quiet while the
// detector still hears speech, 'S' loud speech; each row lists the steps.
TEST(UtteranceSegmenterTest, BeginsWithTheQuietBeforeJoinsShortPausesAndAnswersEarly) {
    using Step = speech::UtteranceSegmenter::Step;
    struct Row {
        const char* pieces;
        speech::UtteranceSegmenter::Rules rules;
        const char* steps; // '-' none, 'B' began, 'E' ended, 'A' answer early
        std::size_t kept;  // the utterance's pieces when it ended
    };
    const Row rows[] = {
        // The half second before speech begins the utterance; it ends after
        // the end of speech plus the join (0.3 s: three pieces, the fourth).
        {".......SSS....", {0.3, 0, false}, "-------B-----E", 5 + 2 + 4},
        // A pause shorter than the join is inside the utterance.
        {"..SS..SS....", {0.3, 0, false}, "--B--------E", 3 + 1 + 2 + 2 + 4},
        // While a take runs it ends with the end of speech.
        {"..SS..SS", {0.3, 0, true}, "--B-E-B-", 3 + 1 + 1},
        // Quiet heard as speech after a word: answered early, once.
        {"..SSqqq....", {0.3, 0.2, false}, "--B--A----E", 3 + 1 + 3 + 4},
        {"..SSqqq....", {0.3, 0.2, true}, "--B----E---", 3 + 1 + 3 + 1},
    };
    const std::vector<std::int16_t> quiet(1600, 30), loud(1600, 8000);
    for (const Row& row : rows) {
        speech::UtteranceSegmenter segmenter;
        std::string steps;
        std::size_t kept = 0;
        std::uint64_t fed = 0;
        for (const char* p = row.pieces; *p; ++p) {
            fed += 1600;
            const auto& piece = *p == 'S' ? loud : quiet;
            const Step step = segmenter.add(piece.data(), piece.size(), *p != '.', row.rules, fed);
            steps += "-BEA"[int(step)];
            if (step == Step::AnswerEarly)
                segmenter.answered();
            if (step == Step::Ended)
                kept = segmenter.take().size() / 1600;
        }
        EXPECT_EQ(steps, row.steps) << row.pieces;
        EXPECT_EQ(kept, row.kept) << row.pieces;
    }
}

// A tone that stands out from the room is steady sound, no syllable; a
// hum that is the room, and a sound whose pitch moves, are not.
TEST(SteadySoundTest, AToneOverTheRoomIsSteadyAHumAlwaysThereIsNot) {
    constexpr std::size_t kPiece = 1600;
    const auto tone = [](double hz, double level) {
        std::vector<std::int16_t> s(kPiece);
        for (std::size_t i = 0; i < s.size(); ++i)
            s[i] = std::int16_t(level * std::sin(2 * 3.141592653589793 * hz * double(i) / 16000));
        return s;
    };
    const auto longest = [&](const std::vector<std::vector<std::int16_t>>& pieces) {
        speech::SteadySound steady;
        std::size_t most = 0;
        for (const auto& p : pieces)
            most = std::max(most, steady.add(p.data(), p.size()));
        return double(most) / 16000;
    };
    std::vector<std::vector<std::int16_t>> kettle(5, tone(1000, 30)); // the room
    kettle.insert(kettle.end(), 30, tone(1000, 8000));
    EXPECT_GE(longest(kettle), 2.9);
    EXPECT_EQ(longest(std::vector(30, tone(100, 3000))), 0); // a fan from the start
    std::vector<std::vector<std::int16_t>> stepping(5, tone(1000, 30));
    for (int i = 0; i < 30; ++i)
        stepping.push_back(tone(300 << (i / 2 % 4), 8000)); // an octave up every 0.2 s
    EXPECT_LE(longest(stepping), 0.2);
}

// A word drawn out or said a syllable at a time is heard again at an
// everyday pace: the long pauses inside it shortened, then its time (not
// its pitch) squeezed.
TEST(TempoTest, PausesInsideGoAndTheQuickerSoundKeepsItsPitchAndLevel) {
    constexpr int kRate = 16000;
    const auto tone = [](double seconds, double hz) {
        std::vector<std::int16_t> s(std::size_t(seconds * kRate));
        for (std::size_t i = 0; i < s.size(); ++i)
            s[i] = std::int16_t(8000 * std::sin(2 * 3.141592653589793 * hz * double(i) / kRate));
        return s;
    };
    const auto quiet = [](double seconds) {
        return std::vector<std::int16_t>(std::size_t(seconds * kRate), 3);
    };
    const auto join = [](std::initializer_list<std::vector<std::int16_t>> parts) {
        std::vector<std::int16_t> out;
        for (const auto& p : parts)
            out.insert(out.end(), p.begin(), p.end());
        return out;
    };
    const auto seconds = [](const std::vector<std::int16_t>& s) {
        return double(s.size()) / kRate;
    };
    // The quiet around the word stays; 0.5 s between syllables becomes 0.08.
    const auto paused = join({quiet(0.2), tone(0.3, 200), quiet(0.5), tone(0.3, 300), quiet(0.2)});
    EXPECT_NEAR(seconds(speech::withoutInnerPauses(paused)), 0.2 + 0.3 + 0.08 + 0.3 + 0.2, 0.011);
    const auto fluent = join({quiet(0.2), tone(0.3, 200), quiet(0.05), tone(0.3, 300), quiet(0.2)});
    EXPECT_EQ(speech::withoutInnerPauses(fluent).size(), fluent.size());
    // A pause parts the syllables; a stop consonant's short gap does not.
    EXPECT_EQ(speech::loudParts(paused), 2u);
    EXPECT_EQ(speech::loudParts(fluent), 1u);
    // Vowels count syllables: a stop's short gap parts two, a glide that
    // softens the sound by 6 dB does not; quiet has none.
    auto glide = join({quiet(0.2), tone(0.6, 500), quiet(0.2)});
    for (std::size_t i = 0; i < 9600; ++i)
        glide[3200 + i] = std::int16_t(
            glide[3200 + i] * (0.75 + 0.25 * std::cos(2 * 3.141592653589793 * double(i) / 9600)));
    const double dip = speech::DecoderSettings{}.vowelDipDb;
    EXPECT_EQ(speech::syllableNuclei(fluent, dip), 2u);
    EXPECT_EQ(speech::syllableNuclei(paused, dip), 2u);
    EXPECT_EQ(speech::syllableNuclei(glide, dip), 1u);
    EXPECT_EQ(speech::syllableNuclei(quiet(1.0), dip), 0u);

    const auto slow = tone(1.0, 200);
    const auto quick = speech::quickened(slow, 0.6);
    EXPECT_NEAR(seconds(quick), 0.6, 0.03);
    int crossings = 0;
    double power = 0;
    for (std::size_t i = 1; i < quick.size(); ++i) {
        crossings += (quick[i - 1] < 0) != (quick[i] < 0) ? 1 : 0;
        power += double(quick[i]) * quick[i];
    }
    EXPECT_NEAR(crossings / seconds(quick), 400, 20) << "still 200 Hz";
    EXPECT_NEAR(std::sqrt(power / double(quick.size())), 8000 / std::sqrt(2.0), 600);
    EXPECT_EQ(speech::quickened(slow, 1.0), slow);
}

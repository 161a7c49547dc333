// The recogniser's words and grammar: what counts as a command, and a
// grammar the decoder can load (every word spelt, every path a whole
// command or at least one syllable of the loop).

#include "CommandLexicon.h"
#include "QuietTail.h"
#include "VoiceProfile.h"

#include <gtest/gtest.h>

#include <algorithm>
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
}

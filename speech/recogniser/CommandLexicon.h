#pragma once
// The words the recogniser knows: the eight Mandarin command words spelt in
// the English acoustic model's phones, and a loop of Mandarin syllables that
// soaks up any other speech so that it is not taken for a command.

#include "CommandCheck.h"
#include "CommandWords.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace speech {

struct Pronunciation {
    std::string word;
    std::string phones;
    // A spelling that catches the word said in a way the model mishears
    // (a drawn-out vowel), looser than how it is spelt otherwise.
    bool loose = false;
};

// The eight commands, each with its variants.
const std::vector<Pronunciation>& commandPronunciations();
// One entry per distinct syllable sound, named "s_<pinyin>".
// Sounds that are a command's spelling are left out.
std::vector<Pronunciation>
syllablePronunciations(const std::vector<Pronunciation>& commands = commandPronunciations());

// Our spellings of the commands and `extra` ones on top, or with `replace`
// only the extra ones.
std::vector<Pronunciation> commandSpellings(const std::vector<Pronunciation>& extra = {},
                                            bool replace = false);
// A pronunciation dictionary (one line per variant: word or word(n), phones):
// the commands' spellings and the syllables of the loop.
std::string dictionaryText(const std::vector<Pronunciation>& commands = commandSpellings());
// The dictionary's names (word_1 or word_1(n)) of the command syllables
// that only loose spellings have.
std::set<std::string>
looseSyllables(const std::vector<Pronunciation>& commands = commandSpellings());
// Reads "word<TAB or blank>phones" lines; other lines are skipped.
std::vector<Pronunciation> readPronunciations(const std::string& text);
// The grammar: start -> one command -> end, or start -> a loop over
// syllables and commands -> end. `commandProbability` is the weight of the
// single-command branch: the knob that trades acceptance against false
// accepts; `wordWeight` shifts it word by word (relative to 1). With a
// `continueProbability`, a command may also be followed by more syllables
// of the loop (a hypothesis that is then no command).
std::string grammarText(const std::vector<Pronunciation>& spellings, double commandProbability,
                        const std::map<std::string, double>& wordWeight = {},
                        double continueProbability = 0);

bool isCommandWord(const std::string& word);
// A command's syllables: one per character.
int syllableCount(const std::string& word);
// The eight command words, in the order the window and the training use.
const std::vector<std::string>& commandWordList();
// Whether another command starts with this one (停止 and 停止识别).
bool beginsLongerCommand(const std::string& word);
// The command a decoder's hypothesis stands for: exactly the syllables of one
// command word, nothing before or after; otherwise empty.
std::string commandOf(const std::string& hypothesis);

} // namespace speech

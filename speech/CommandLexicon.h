#pragma once
// The words the recogniser knows: the eight Mandarin command words spelt in
// the English acoustic model's phones, and a loop of Mandarin syllables that
// soaks up any other speech so that it is not taken for a command.

#include <map>
#include <string>
#include <vector>

namespace speech {

struct Pronunciation {
    std::string word;
    std::string phones;
};

// The eight commands, each with its variants.
const std::vector<Pronunciation>& commandPronunciations();
// One entry per distinct syllable sound, named "s_<pinyin>".
std::vector<Pronunciation> syllablePronunciations();

// A pronunciation dictionary (one line per variant: word or word(n), phones);
// `extra` spellings of command words, such as a user's own, come on top.
std::string dictionaryText(const std::vector<Pronunciation>& extra = {});
// Reads "word<TAB or blank>phones" lines; other lines are skipped.
std::vector<Pronunciation> readPronunciations(const std::string& text);
// The grammar: start -> one command -> end, or start -> a loop over
// syllables and commands -> end. `commandProbability` is the weight of the
// single-command branch: the knob that trades acceptance against false
// accepts; `wordWeight` shifts it word by word (relative to 1).
std::string grammarText(double commandProbability,
                        const std::map<std::string, double>& wordWeight = {});

bool isCommandWord(const std::string& word);

} // namespace speech

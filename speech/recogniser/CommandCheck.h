#pragma once
// Whether what the decoder heard is a command said on its own: the rules
// that keep a word inside a sentence, or a word drawn out over more speech
// than it has, from being obeyed. Kept apart from the decoder so that each
// rule is checked on made-up hypotheses.

#include <cstddef>
#include <string>
#include <vector>

namespace speech {

// One word of a hypothesis: its name and where it lies (seconds).
struct HeardWord {
    std::string word;
    double start = 0;
    double end = 0;
};

struct IsolationRules {
    // No syllable of a command lasts longer than this however slowly it is
    // said; a longer one is the decoder stretching a syllable over speech.
    double longestSyllable = 1.0;
    // How much longer (seconds) the utterance's loud sound may last than
    // the command the decoder found in it. The decoder may explain the
    // words before a command as a long silence, since every syllable of
    // the loop costs more than one silence does: "想一想再继续" is then
    // heard as 继续, with the first four syllables taken for quiet.
    double soundBeyond = 1e9;
    // The most loud sound (seconds) a command may have for each of its
    // syllables. The decoder's syllables take in the quiet around a word,
    // so their lengths say little about how slowly it was said; the sound
    // itself does. A short command laid over a clause of dictation has the
    // clause's sound.
    double soundPerSyllable = 1e9;
    // How many more syllables than the command the utterance's sound may
    // have, counted by its vowels: the decoder may lay a short command over
    // a longer phrase (试一试 heard as 继续) whose vowels it cannot hide.
    std::size_t extraSyllables = 1000;
};

// What the utterance sounded like, apart from the decoder's words.
struct HeardSound {
    double seconds = 0;        // from its first loud moment to its last
    std::size_t syllables = 0; // by its vowels (syllableNuclei)
};

// The command the words are, or empty: exactly the syllables of one
// command, none held too long, no more loud sound in the utterance than
// the command covers, nor than its syllables may have, and no more vowels.
std::string isolatedCommand(const std::vector<HeardWord>& words, const HeardSound& sound,
                            const IsolationRules& rules);

} // namespace speech

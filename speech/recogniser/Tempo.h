#pragma once
// A slowly said word brought to an everyday pace: the decoder's models know
// words said at the pace of conversation, and a word drawn out syllable by
// syllable (as many older people say a word to a machine) loses to the
// syllable loop. Pitch and the sounds' colour are kept; only time changes.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace speech {

// The utterance with every quiet stretch between its loud parts (30 dB
// under the loudest 10 ms) shortened to at most `keepSeconds`; the quiet
// before and after is kept. 16 kHz mono.
std::vector<std::int16_t> withoutInnerPauses(const std::vector<std::int16_t>& samples,
                                             double keepSeconds = 0.08);

// How many loud parts the utterance has, parted by quiet stretches (30 dB
// under the loudest 10 ms) of at least `pauseSeconds`: for a word said a
// syllable at a time, its syllables. 16 kHz mono.
std::size_t loudParts(const std::vector<std::int16_t>& samples, double pauseSeconds = 0.15);

// How many syllables the utterance has by its vowels: the peaks of its
// loudness where vowels are loud (300-3000 Hz), each parted from the one
// before by a dip of at least `dipDb`, none 25 dB under the loudest nor
// less than `dipDb` over the quietest. Consonants between syllables make
// the dips; a vowel's glide does not. 16 kHz mono.
std::size_t syllableNuclei(const std::vector<std::int16_t>& samples, double dipDb);

// The samples played `factor` times as long (0 < factor <= 1: quicker) by
// overlapping 20 ms pieces where they fit best (waveform-similarity
// overlap-add), so that the pitch stays as it was.
std::vector<std::int16_t> quickened(const std::vector<std::int16_t>& samples, double factor);

} // namespace speech

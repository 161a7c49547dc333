// The recogniser's dictionary and grammar: the commands' syllables, the
// loop of every other Mandarin syllable, and the decoys beside the commands.

#include "CommandLexicon.h"
#include "LexiconParts.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <sstream>

namespace speech {

using namespace lexicon;

namespace {

std::vector<std::string> phoneList(const std::string& phones) {
    std::vector<std::string> out;
    std::istringstream in(phones);
    for (std::string p; in >> p;)
        if (p != "|")
            out.push_back(p);
    return out;
}

// How many phones must change (be replaced, added or left out) to make one
// list the other.
std::size_t phonesApart(const std::vector<std::string>& a, const std::vector<std::string>& b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// The fewest phones that part `sounds` (a word's phones) from any spelling
// of a command: 0 for a word spelt as a command is, which to the model is
// that command.
std::size_t apartFromCommands(const std::vector<std::string>& sounds,
                              const std::vector<Pronunciation>& spellings) {
    std::size_t fewest = std::numeric_limits<std::size_t>::max();
    for (const Pronunciation& p : spellings)
        fewest = std::min(fewest, phonesApart(sounds, phoneList(p.phones)));
    return fewest;
}

// A decoy's phones, syllables parted by "|"; empty when one of its
// syllables has no spelling.
std::string decoyPhones(const Decoy& d) {
    std::istringstream reading(d.reading);
    std::string phones;
    for (std::string s; reading >> s;) {
        const std::string p = phonesOf(s);
        if (p.empty())
            return {};
        phones += (phones.empty() ? "" : " | ") + p;
    }
    return phones;
}

// The decoys at least `apart` phones from every spelling of every command,
// named "d_" and their characters.
std::vector<Pronunciation> decoysApart(const std::vector<Pronunciation>& commands,
                                       std::size_t apart) {
    std::vector<Pronunciation> out;
    for (const Decoy& d : decoyWords()) {
        const std::string phones = decoyPhones(d);
        if (!phones.empty() && apartFromCommands(phoneList(phones), commands) >= apart)
            out.push_back({std::string("d_") + d.word, phones});
    }
    return out;
}

// The syllable words of each decoy of `command`, one path each.
std::vector<std::vector<std::string>> decoyPaths(const std::vector<Pronunciation>& spellings,
                                                 const std::string& command, std::size_t apart) {
    std::vector<std::vector<std::string>> paths;
    for (const Pronunciation& d : decoysApart(spellings, apart))
        for (const Decoy& of : decoyWords())
            if (command == of.command && d.word == std::string("d_") + of.word) {
                std::vector<std::string> parts;
                for (std::size_t i = 0; i < syllablesOf(d.phones).size(); ++i)
                    parts.push_back(syllableWord(d.word, i));
                paths.push_back(std::move(parts));
            }
    return paths;
}

} // namespace

std::string dictionaryText(const std::vector<Pronunciation>& commands) {
    std::ostringstream out;
    for (const auto& p : syllableEntries(commands))
        out << p.word << '\t' << p.phones << '\n';
    // The loop's syllables have one spelling each, and names of their own.
    for (const auto& p : syllablePronunciations(commands))
        out << p.word << '\t' << p.phones << '\n';
    // A decoy's syllables are words of their own spelling, as a command's
    // are: spelt with the commands' syllables, it would take on their other
    // spellings too, and as one word it would cost the decoder less than a
    // command's two.
    for (const auto& p : decoysApart(commands, 1)) {
        const auto parts = syllablesOf(p.phones);
        for (std::size_t i = 0; i < parts.size(); ++i)
            out << syllableWord(p.word, i) << '\t' << parts[i] << '\n';
    }
    return out.str();
}

std::string grammarText(const std::vector<Pronunciation>& spellings, double commandProbability,
                        const std::map<std::string, double>& wordWeight, double continueProbability,
                        double decoyWeight, std::size_t decoyApart) {
    std::vector<std::string> commands;
    for (const auto& p : spellings)
        if (std::find(commands.begin(), commands.end(), p.word) == commands.end())
            commands.push_back(p.word);
    const auto syllables = syllablePronunciations(spellings);
    std::set<std::string> commandParts;
    for (const auto& p : commandSyllables(spellings))
        commandParts.insert(p.word);

    // States: 0 start, 1 end, 2 the loop, 3 after a command, then each
    // command's inner states (one between each two of its syllables).
    std::ostringstream body;
    constexpr int kAfter = 3;
    const bool continues = continueProbability > 0;
    int states = 4;
    char prob[32];
    // The weights share out the branch: they are taken relative to their mean.
    const auto weightOf = [&wordWeight](const std::string& c) {
        const auto w = wordWeight.find(c);
        return w == wordWeight.end() ? 1.0 : std::max(0.0, w->second);
    };
    double weights = 0;
    for (const auto& c : commands)
        weights += weightOf(c);
    // A path from the start through `words`, taken with probability `p`.
    const auto path = [&](const std::vector<std::string>& words, double p) {
        std::snprintf(prob, sizeof prob, "%.8f", p);
        int from = 0;
        for (std::size_t i = 0; i < words.size(); ++i) {
            const int to = i + 1 < words.size() ? states++ : continues ? kAfter : 1;
            body << "TRANSITION " << from << ' ' << to << ' ' << (i == 0 ? prob : "1.0") << ' '
                 << words[i] << '\n';
            from = to;
        }
    };
    for (const auto& c : commands) {
        // A command with no share is not listened for at all: the grammar
        // takes no path of probability 0.
        if (weightOf(c) <= 0)
            continue;
        const double share = weights > 0 ? weightOf(c) / weights * commandProbability : 0.0;
        std::vector<std::string> words;
        for (int i = 0; i < syllableCount(c); ++i)
            words.push_back(syllableWord(c, std::size_t(i)));
        path(words, share);
        if (decoyWeight > 0)
            for (const auto& decoy : decoyPaths(spellings, c, decoyApart))
                path(decoy, share * decoyWeight);
    }
    // The loop takes at least one syllable: a path of no words at all would
    // let the decoder explain a short word as mere noise.
    std::vector<std::string> loop;
    for (const auto& s : syllables)
        loop.push_back(s.word);
    loop.insert(loop.end(), commandParts.begin(), commandParts.end());
    char enter[32];
    std::snprintf(enter, sizeof enter, "%.8f", (1.0 - commandProbability) / double(loop.size()));
    std::snprintf(prob, sizeof prob, "%.8f", 0.9 / double(loop.size()));
    for (const auto& w : loop)
        body << "TRANSITION 0 2 " << enter << ' ' << w << '\n'
             << "TRANSITION 2 2 " << prob << ' ' << w << '\n';
    body << "TRANSITION 2 1 0.1\n";
    // A command may be followed by more speech: then the path goes on
    // through the loop, and the hypothesis is no command. Without this
    // way on, a command followed by other syllables (停止 in 停止识别, or
    // inside a sentence) must stretch over them to end the utterance.
    if (continues) {
        std::snprintf(prob, sizeof prob, "%.8f", 1.0 - continueProbability);
        body << "TRANSITION " << kAfter << " 1 " << prob << '\n';
        std::snprintf(prob, sizeof prob, "%.8f", continueProbability / double(loop.size()));
        for (const auto& w : loop)
            body << "TRANSITION " << kAfter << " 2 " << prob << ' ' << w << '\n';
    }
    std::ostringstream out;
    out << "FSG_BEGIN commands\nNUM_STATES " << states << "\nSTART_STATE 0\nFINAL_STATE 1\n"
        << body.str() << "FSG_END\n";
    return out.str();
}

} // namespace speech

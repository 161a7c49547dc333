// The recogniser's dictionary and grammar: the commands' syllables and the
// loop of every other Mandarin syllable.

#include "CommandLexicon.h"
#include "LexiconParts.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <sstream>

namespace speech {

using namespace lexicon;

std::string dictionaryText(const std::vector<Pronunciation>& commands) {
    std::ostringstream out;
    for (const auto& p : syllableEntries(commands))
        out << p.word << '\t' << p.phones << '\n';
    // The loop's syllables have one spelling each, and names of their own.
    for (const auto& p : syllablePronunciations(commands))
        out << p.word << '\t' << p.phones << '\n';
    return out.str();
}

std::string grammarText(const std::vector<Pronunciation>& spellings, double commandProbability,
                        const std::map<std::string, double>& wordWeight,
                        double continueProbability) {
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

#include "CommandLexicon.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <map>
#include <set>
#include <sstream>

namespace speech {
namespace {

struct Spelling {
    const char* pinyin;
    const char* phones;
};

// Pinyin initials and finals as the closest English phones.
constexpr Spelling kInitials[] = {
    {"", ""},    {"b", "B"},  {"p", "P"},   {"m", "M"},   {"f", "F"},   {"d", "D"},
    {"t", "T"},  {"n", "N"},  {"l", "L"},   {"g", "G"},   {"k", "K"},   {"h", "HH"},
    {"j", "JH"}, {"q", "CH"}, {"x", "SH"},  {"zh", "JH"}, {"ch", "CH"}, {"sh", "SH"},
    {"r", "R"},  {"z", "Z"},  {"c", "T S"}, {"s", "S"},   {"y", "Y"},   {"w", "W"},
};

constexpr Spelling kFinals[] = {
    {"a", "AA"},       {"o", "AO"},         {"e", "ER"},         {"i", "IY"},
    {"u", "UW"},       {"v", "Y UW"},       {"ai", "AY"},        {"ei", "EY"},
    {"ao", "AW"},      {"ou", "OW"},        {"an", "AA N"},      {"en", "AH N"},
    {"ang", "AA NG"},  {"eng", "AH NG"},    {"ong", "UH NG"},    {"ia", "Y AA"},
    {"ie", "Y EH"},    {"iao", "Y AW"},     {"iu", "Y OW"},      {"ian", "Y EH N"},
    {"in", "IH N"},    {"iang", "Y AA NG"}, {"ing", "IH NG"},    {"iong", "Y UH NG"},
    {"ua", "W AA"},    {"uo", "W AO"},      {"uai", "W AY"},     {"ui", "W EY"},
    {"uan", "W AA N"}, {"un", "W AH N"},    {"uang", "W AA NG"}, {"ue", "Y EH"},
    {"er", "AA R"},
};

} // namespace

// Syllables are parted by "|": each is a word of its own in the grammar, so
// that a speaker may pause between them.
const std::vector<Pronunciation>& commandPronunciations() {
    static const std::vector<Pronunciation> table = {
        // 音 is never spelt without its Y: 保存 was taken for 录音 through
        // that spelling every time it was (9 times on the tuning and
        // validation voices), and 录音 itself needed it once in 250 hearings.
        {"录音", "L UW | Y IH N"},
        {"录音", "L OW | Y IH N"},
        {"录音", "L UW | Y IY N"},
        {"暂停", "Z AA N | T IH NG"},
        {"暂停", "D Z AA N | T IY NG"},
        {"暂停", "Z AE N | T IH NG"},
        {"暂停", "T S AA N | T IH NG"},
        {"继续", "JH IY | SH UW"},
        {"继续", "JH IY | SH Y UW"},
        {"继续", "CH IY | SH UW"},
        // 停 is never spelt with IY: the model hears 继's JH IY in it, and
        // 继续 said slowly or with a pause was taken for 停止 through that
        // spelling 16 times on the tuning and validation voices (3 without).
        {"停止", "T IH NG | JH ER"},
        {"停止", "T IH NG | CH ER"},
        {"停止", "T IH NG | JH IH"},
        {"停止", "T IH NG | CH IH"},
        {"播放", "B AO | F AA NG"},
        {"播放", "B OW | F AA NG"},
        {"播放", "P AO | F AA NG"},
        {"试听", "SH ER | T IH NG"},
        {"试听", "SH IH | T IH NG"},
        {"试听", "SH IY | T IY NG"},
        {"试听", "SH ER | T IY NG"},
        // 试's vowel, drawn out, is heard as U after a hissing T S: without
        // this spelling 试听 said slowly was missed 10 times in 12.
        {"试听", "T S UW | T IY NG", true},
        {"保存", "B AW | T S UH N"},
        {"保存", "B AW | T S AH N"},
        {"保存", "B AW | S AH N"},
        {"保存", "P AW | T S UH N"},
        {"保存", "B AW | T S W AH N"},
        {"保存", "P AW | T S W AH N"},
        {"停止识别", "T IH NG | JH ER | SH ER | B Y EH"},
        {"停止识别", "T IH NG | CH ER | SH IH | B IY EH"},
        {"停止识别", "T IH NG | JH ER | SH ER | B IY EH"},
        {"停止识别", "T IH NG | JH IH | SH IH | B Y EH"},
    };
    return table;
}

const std::vector<std::string>& commandWordList() {
    static const std::vector<std::string> words = [] {
        std::vector<std::string> out;
        for (const CommandWord& w : kCommandWords)
            out.emplace_back(w.word);
        return out;
    }();
    return words;
}

bool isCommandWord(const std::string& word) {
    return commandNamed(word).has_value();
}

// A command's syllables: one per character (UTF-8 lead bytes).
int syllableCount(const std::string& word) {
    return int(std::count_if(word.begin(), word.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

namespace {

std::vector<std::string> syllablesOf(const std::string& phones) {
    std::vector<std::string> out(1);
    std::istringstream in(phones);
    std::string phone;
    while (in >> phone) {
        if (phone == "|")
            out.emplace_back();
        else
            out.back() += (out.back().empty() ? "" : " ") + phone;
    }
    return out;
}

std::string syllableWord(const std::string& command, std::size_t i) {
    return command + "_" + std::to_string(i + 1);
}

// Every (syllable word, phones) of the commands, each once; loose when only
// loose spellings have it.
std::vector<Pronunciation> commandSyllables(const std::vector<Pronunciation>& commands) {
    std::vector<Pronunciation> out;
    std::map<std::pair<std::string, std::string>, std::size_t> seen;
    for (const auto& p : commands) {
        const auto parts = syllablesOf(p.phones);
        for (std::size_t i = 0; i < parts.size(); ++i) {
            const auto [at, added] =
                seen.try_emplace({syllableWord(p.word, i), parts[i]}, out.size());
            if (added)
                out.push_back({syllableWord(p.word, i), parts[i], p.loose});
            else
                out[at->second].loose = out[at->second].loose && p.loose;
        }
    }
    return out;
}

// The commands' syllables as the dictionary names them: the second and
// later spellings of a syllable word get "(n)".
std::vector<Pronunciation> syllableEntries(const std::vector<Pronunciation>& commands) {
    std::vector<Pronunciation> out = commandSyllables(commands);
    std::map<std::string, int> count;
    for (Pronunciation& p : out)
        if (const int n = ++count[p.word]; n > 1)
            p.word += '(' + std::to_string(n) + ')';
    return out;
}

} // namespace

bool beginsLongerCommand(const std::string& word) {
    const auto& words = commandWordList();
    return std::any_of(words.begin(), words.end(), [&word](const std::string& longer) {
        return longer.size() > word.size() && longer.compare(0, word.size(), word) == 0;
    });
}

std::string commandOf(const std::string& hypothesis) {
    std::istringstream in(hypothesis);
    std::vector<std::string> tokens;
    std::string t;
    while (in >> t)
        tokens.push_back(t);
    if (tokens.empty())
        return {};
    const auto cut = tokens[0].rfind('_');
    if (cut == std::string::npos)
        return {};
    const std::string command = tokens[0].substr(0, cut);
    if (!isCommandWord(command) || int(tokens.size()) != syllableCount(command))
        return {};
    for (std::size_t i = 0; i < tokens.size(); ++i)
        if (tokens[i] != syllableWord(command, i))
            return {};
    return command;
}

namespace {

// Which finals each initial takes in Mandarin: only real syllables go into
// the loop, so that it does not outbid the commands with sounds no one says.
bool isSyllable(const std::string& initial, const std::string& final) {
    static const std::set<std::string> open = {"a",  "o",  "e",   "ai",  "ei",  "ao", "ou",
                                               "an", "en", "ang", "eng", "ong", "er"};
    static const std::set<std::string> iGroup = {"i",   "ia", "ie",   "iao", "iu",
                                                 "ian", "in", "iang", "ing", "iong"};
    static const std::set<std::string> uGroup = {"u", "ua", "uo", "uai", "ui", "uan", "un", "uang"};
    const auto in = [&final](std::initializer_list<const char*> list) {
        for (const char* f : list)
            if (final == f)
                return true;
        return false;
    };
    if (initial.empty())
        return open.count(final) && final != "ong";
    if (initial == "y")
        return in({"a", "o", "e", "ao", "an", "ang", "ou", "ong", "i", "in", "ing", "u", "ue",
                   "uan", "un"});
    if (initial == "w")
        return in({"a", "o", "ai", "ei", "an", "en", "ang", "eng", "u"});
    if (initial == "j" || initial == "q" || initial == "x")
        return iGroup.count(final) || in({"v", "ue"});
    if (initial == "zh" || initial == "ch" || initial == "sh" || initial == "r" || initial == "z" ||
        initial == "c" || initial == "s")
        return (open.count(final) && final != "o" && final != "er") || final == "i" ||
               (uGroup.count(final) && ((final != "ua" && final != "uai" && final != "uang") ||
                                        initial == "zh" || initial == "ch" || initial == "sh"));
    if (initial == "b" || initial == "p" || initial == "m")
        return in({"a", "o", "ai", "ei", "ao", "an", "en", "ang", "eng", "u", "i", "ie", "iao",
                   "ian", "in", "ing"}) ||
               (initial != "b" && final == "ou") || (initial == "m" && in({"e", "iu"}));
    if (initial == "f")
        return in({"a", "o", "ei", "ou", "an", "en", "ang", "eng", "u"});
    if (initial == "d" || initial == "t")
        return (open.count(final) && final != "o" && final != "en" && final != "er") ||
               in({"i", "ie", "iao", "iu", "ian", "ing", "u", "uo", "ui", "uan", "un"});
    if (initial == "n" || initial == "l")
        return (open.count(final) && final != "er") ||
               in({"i", "ia", "ie", "iao", "iu", "ian", "in", "iang", "ing", "u", "uo", "uan", "un",
                   "v", "ue"});
    // g, k, h
    return (open.count(final) && final != "o" && final != "er") || uGroup.count(final);
}

} // namespace

std::vector<Pronunciation> syllablePronunciations(const std::vector<Pronunciation>& commands) {
    std::set<std::string> commandSounds;
    for (const auto& p : commandSyllables(commands))
        commandSounds.insert(p.phones);
    std::set<std::string> seen;
    std::vector<Pronunciation> out;
    for (const Spelling& i : kInitials) {
        for (const Spelling& f : kFinals) {
            if (!isSyllable(i.pinyin, f.pinyin))
                continue;
            std::string phones = i.phones;
            if (!phones.empty())
                phones += ' ';
            phones += f.phones;
            if (commandSounds.count(phones) || !seen.insert(phones).second)
                continue;
            out.push_back({std::string("s_") + i.pinyin + f.pinyin, phones});
        }
    }
    return out;
}

std::vector<Pronunciation> readPronunciations(const std::string& text) {
    std::vector<Pronunciation> out;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        Pronunciation p;
        fields >> p.word;
        std::string phone;
        while (fields >> phone)
            p.phones += (p.phones.empty() ? "" : " ") + phone;
        if (isCommandWord(p.word) && !p.phones.empty() &&
            int(syllablesOf(p.phones).size()) == syllableCount(p.word))
            out.push_back(p);
    }
    return out;
}

std::vector<Pronunciation> commandSpellings(const std::vector<Pronunciation>& extra, bool replace) {
    std::vector<Pronunciation> commands = replace ? extra : commandPronunciations();
    if (!replace)
        commands.insert(commands.end(), extra.begin(), extra.end());
    return commands;
}

namespace {
std::vector<Pronunciation> decoysApart(const std::vector<Pronunciation>& commands,
                                       std::size_t apart);
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

std::set<std::string> looseSyllables(const std::vector<Pronunciation>& commands) {
    std::set<std::string> out;
    for (const auto& p : syllableEntries(commands))
        if (p.loose)
            out.insert(p.word);
    return out;
}

namespace {

// A syllable's phones (toneless pinyin); empty when Mandarin has no such
// syllable or the table no spelling for it.
std::string phonesOf(const std::string& pinyin) {
    std::string phones;
    for (const Spelling& i : kInitials) {
        const std::string initial = i.pinyin;
        if (pinyin.compare(0, initial.size(), initial) != 0)
            continue;
        std::string final = pinyin.substr(initial.size());
        // ü is written u after j, q, x and y.
        if ((initial == "j" || initial == "q" || initial == "x") && final == "u")
            final = "v";
        for (const Spelling& f : kFinals)
            if (final == f.pinyin && isSyllable(initial, final))
                phones = (i.phones[0] ? std::string(i.phones) + ' ' : std::string()) + f.phones;
    }
    return phones;
}

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

} // namespace

namespace {

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

} // namespace

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
        if (decoyWeight <= 0)
            continue;
        for (const Pronunciation& d : decoysApart(spellings, decoyApart))
            for (const Decoy& of : decoyWords())
                if (c == of.command && d.word == std::string("d_") + of.word) {
                    std::vector<std::string> parts;
                    for (std::size_t i = 0; i < syllablesOf(d.phones).size(); ++i)
                        parts.push_back(syllableWord(d.word, i));
                    path(parts, share * decoyWeight);
                }
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

namespace speech {

std::string isolatedCommand(const std::vector<HeardWord>& words, const HeardSound& sound,
                            const IsolationRules& rules) {
    std::string hypothesis;
    for (const HeardWord& w : words)
        hypothesis += (hypothesis.empty() ? "" : " ") + w.word;
    std::string command = commandOf(hypothesis);
    if (command.empty())
        return {};
    for (const HeardWord& w : words)
        if (w.end - w.start > rules.longestSyllable)
            return {};
    if (sound.seconds - (words.back().end - words.front().start) > rules.soundBeyond ||
        sound.seconds > rules.soundPerSyllable * double(words.size()) ||
        sound.syllables > words.size() + rules.extraSyllables)
        return {};
    return command;
}

} // namespace speech

#include "CommandLexicon.h"
#include "LexiconParts.h"

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

namespace lexicon {

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

} // namespace lexicon

using namespace lexicon;

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

namespace lexicon {

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

} // namespace lexicon

std::set<std::string> looseSyllables(const std::vector<Pronunciation>& commands) {
    std::set<std::string> out;
    for (const auto& p : syllableEntries(commands))
        if (p.loose)
            out.insert(p.word);
    return out;
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

#pragma once
// The lexicon's parts that its dictionary and grammar are made from.

#include "CommandLexicon.h"

#include <string>
#include <vector>

namespace speech::lexicon {

// A spelling's syllables ("T IH NG | JH ER" -> "T IH NG", "JH ER").
std::vector<std::string> syllablesOf(const std::string& phones);
// A command's i-th syllable as a word of the grammar ("停止_1").
std::string syllableWord(const std::string& command, std::size_t i);
// Every (syllable word, phones) of the commands, each once; loose when only
// loose spellings have it.
std::vector<Pronunciation> commandSyllables(const std::vector<Pronunciation>& commands);
// The commands' syllables as the dictionary names them.
std::vector<Pronunciation> syllableEntries(const std::vector<Pronunciation>& commands);
// A syllable's phones (toneless pinyin); empty when Mandarin has no such
// syllable or the table no spelling for it.
std::string phonesOf(const std::string& pinyin);

} // namespace speech::lexicon

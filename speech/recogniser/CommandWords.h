#pragma once
// The eight spoken commands: one table that the recogniser's lexicon, the
// voice profile, the training window and the speech window all read, so that
// a word's spelling, its Traditional form and its place cannot drift apart.

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

namespace speech {

// In the order the training asks for the words; the profile's files are
// numbered by this place (1-8), so the order is part of what users store.
enum class Command : std::size_t {
    Record,
    Pause,
    Resume,
    Stop,
    Play,
    Listen,
    Save,
    StopListening,
};

struct CommandWord {
    Command command;
    const char* word;        // the recogniser's name and the Simplified form
    const char* traditional; // as shown in Traditional script
};

inline constexpr std::array<CommandWord, 8> kCommandWords{{
    {Command::Record, "录音", "錄音"},
    {Command::Pause, "暂停", "暫停"},
    {Command::Resume, "继续", "繼續"},
    {Command::Stop, "停止", "停止"},
    {Command::Play, "播放", "播放"},
    {Command::Listen, "试听", "試聽"},
    {Command::Save, "保存", "保存"},
    {Command::StopListening, "停止识别", "停止識別"},
}};

constexpr bool commandTableInOrder() {
    for (std::size_t i = 0; i < kCommandWords.size(); ++i)
        if (kCommandWords[i].command != Command(i))
            return false;
    return true;
}
static_assert(commandTableInOrder(), "kCommandWords is indexed by Command");

constexpr const CommandWord& commandWord(Command c) {
    return kCommandWords[std::size_t(c)];
}

// The command a recogniser's word names; none for any other text.
constexpr std::optional<Command> commandNamed(std::string_view word) {
    for (const CommandWord& w : kCommandWords)
        if (word == w.word)
            return w.command;
    return std::nullopt;
}

} // namespace speech

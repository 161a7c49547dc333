#pragma once
// A take in the words the users read: how long it is, when it was made (as
// a clock is read) and the name it is offered under: "12月9日 下午2点06分.wav".
// Either script.

#include <algorithm>
#include <cstdint>
#include <ctime>
#include <string>

namespace engine {

// A take's length as the user reads it, in either script: "3秒", "1分05秒"
// (a take of a moment is "1秒", never nothing).
inline std::string lengthInWords(std::uint64_t soundBytes, std::uint64_t bytesPerSecond) {
    const std::uint64_t seconds =
        std::max<std::uint64_t>(1, (soundBytes + bytesPerSecond / 2) / bytesPerSecond);
    const std::string secondsText = std::to_string(seconds % 60) + "秒";
    if (seconds < 60)
        return secondsText;
    return std::to_string(seconds / 60) + "分" + (seconds % 60 < 10 ? "0" : "") + secondsText;
}

// The local time of a moment.
inline std::tm localTime(std::time_t moment) {
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &moment);
#else
    localtime_r(&moment, &local);
#endif
    return local;
}

// "下午2点06分": the part of the day and the hour on a twelve-hour clock.
std::string timeOfDayInWords(const std::tm& at, bool simplified);
// "12月9日 下午2点06分", with "2025年" before it when `at` is not in the
// year of `now`.
std::string momentInWords(std::time_t at, std::time_t now, bool simplified);
// As a list shows it: "今天 下午2点06分", "昨天 上午9点10分", else the
// date as momentInWords gives it.
std::string momentFromToday(std::time_t at, std::time_t now, bool simplified);
// The name a take made at `at` is offered under in the save dialog.
std::string takeFileName(std::time_t at, std::time_t now, bool simplified);
// Where a playback is, beside the take's length: "352800 0:2 / 1764044".
std::string playbackPositionText(std::uint32_t position, std::uint32_t length);

} // namespace engine

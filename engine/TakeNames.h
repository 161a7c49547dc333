#pragma once
// When a take was made, in the words the users read a clock by, and the
// name a take is offered under: "12月9日 下午2点06分.wav". Either script.

#include <cstdint>
#include <ctime>
#include <string>

namespace engine {

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

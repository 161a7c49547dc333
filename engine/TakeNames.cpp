#include "TakeNames.h"

#include "WaveHeader.h"

namespace engine {
namespace {

bool sameDay(const std::tm& a, const std::tm& b) {
    return a.tm_year == b.tm_year && a.tm_yday == b.tm_yday;
}

std::string dateInWords(const std::tm& at, const std::tm& today) {
    std::string date;
    if (at.tm_year != today.tm_year)
        date = std::to_string(at.tm_year + 1900) + "年";
    return date + std::to_string(at.tm_mon + 1) + "月" + std::to_string(at.tm_mday) + "日";
}

} // namespace

std::string timeOfDayInWords(const std::tm& at, bool simplified) {
    // The parts of the day people name, each with its own hours.
    const int h = at.tm_hour;
    const char* part = h < 6    ? "凌晨"
                       : h < 12 ? "上午"
                       : h < 13 ? "中午"
                       : h < 18 ? "下午"
                                : "晚上";
    const int hour = h < 13 ? h : h - 12;
    const int minute = at.tm_min;
    return std::string(part) + std::to_string(hour) + (simplified ? "点" : "點") +
           (minute < 10 ? "0" : "") + std::to_string(minute) + "分";
}

std::string momentInWords(std::time_t at, std::time_t now, bool simplified) {
    const std::tm local = localTime(at);
    return dateInWords(local, localTime(now)) + " " + timeOfDayInWords(local, simplified);
}

std::string momentFromToday(std::time_t at, std::time_t now, bool simplified) {
    const std::tm local = localTime(at);
    const std::tm today = localTime(now);
    const std::tm yesterday = localTime(now - 24 * 60 * 60);
    if (sameDay(local, today))
        return "今天 " + timeOfDayInWords(local, simplified); // the same in both scripts
    if (sameDay(local, yesterday))
        return "昨天 " + timeOfDayInWords(local, simplified);
    return momentInWords(at, now, simplified);
}

std::string takeFileName(std::time_t at, std::time_t now, bool simplified) {
    return momentInWords(at, now, simplified) + ".wav";
}

std::string playbackPositionText(std::uint32_t position, std::uint32_t length) {
    const std::uint32_t seconds = position / kBytesPerSecond;
    return std::to_string(position) + " " + std::to_string(seconds / 60) + ":" +
           std::to_string(seconds % 60) + " / " + std::to_string(length);
}

} // namespace engine

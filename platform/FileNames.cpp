#include "FileNames.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>

namespace platform {
namespace {

bool reservedOnWindows(std::string stem) {
    std::transform(stem.begin(), stem.end(), stem.begin(),
                   [](unsigned char c) { return char(std::toupper(c)); });
    static constexpr std::array<std::string_view, 4> kWords = {"CON", "PRN", "AUX", "NUL"};
    if (std::find(kWords.begin(), kWords.end(), stem) != kWords.end())
        return true;
    return stem.size() == 4 && (stem.starts_with("COM") || stem.starts_with("LPT")) &&
           stem[3] >= '1' && stem[3] <= '9';
}

} // namespace

std::string safeFileName(const std::string& name) {
    std::string out;
    out.reserve(name.size());
    for (const char ch : name) {
        const auto c = static_cast<unsigned char>(ch);
        const bool refused = c < 0x20 || c == 0x7f ||
                             std::string_view("\\/:*?\"<>|").find(ch) != std::string_view::npos;
        out += refused ? ' ' : ch;
    }
    while (!out.empty() && (out.back() == ' ' || out.back() == '.'))
        out.pop_back();
    const std::size_t dot = out.find('.');
    if (reservedOnWindows(out.substr(0, dot)))
        out.insert(dot == std::string::npos ? out.size() : dot, "_");
    return out.empty() ? std::string("_") : out;
}

std::string freeFileName(const std::filesystem::path& folder, const std::string& name) {
    std::error_code ec;
    if (!std::filesystem::exists(folder / pathOf(name), ec))
        return name;
    const std::size_t dot = name.rfind('.');
    const std::string stem = dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
    const std::string ext = stem.size() == name.size() ? std::string() : name.substr(dot);
    for (int n = 2;; ++n) {
        const std::string other = stem + " (" + std::to_string(n) + ")" + ext;
        if (!std::filesystem::exists(folder / pathOf(other), ec) || n >= 10000)
            return other;
    }
}

std::filesystem::path pathOf(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string utf8Of(const std::filesystem::path& path) {
    const std::u8string s = path.u8string();
    return {s.begin(), s.end()};
}

} // namespace platform

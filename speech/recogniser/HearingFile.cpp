#include "HearingFile.h"

#include "AtomicFile.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <locale>
#include <sstream>

namespace fs = std::filesystem;

namespace speech {

std::vector<float> readHearing(const std::filesystem::path& file) {
    std::ifstream in(file);
    in.imbue(std::locale::classic());
    std::vector<float> state;
    // A handful of numbers; anything longer is not this file.
    for (float v; state.size() < 64 && in >> v;)
        state.push_back(v);
    if (!in.eof() || !std::all_of(state.begin(), state.end(),
                                  [](float v) { return std::isfinite(v) && std::abs(v) < 1000; }))
        return {};
    return state;
}

bool writeHearing(const std::filesystem::path& file, const std::vector<float>& state) {
    std::ostringstream out;
    out.imbue(std::locale::classic());
    for (float v : state)
        out << v << '\n';
    const std::string text = out.str();
    std::error_code ignored;
    fs::create_directories(file.parent_path(), ignored);
    const std::u8string name = file.u8string();
    return platform::writeFileAtomically(std::string(name.begin(), name.end()), text.data(),
                                         text.size()) == platform::WriteResult::Ok;
}

} // namespace speech

#pragma once
// A decoder's hearing() kept in a small text file between runs. Reading
// gives nothing for a missing or damaged file (the model's guess is used
// then); writing replaces the file whole or not at all.

#include <filesystem>
#include <vector>

namespace speech {

std::vector<float> readHearing(const std::filesystem::path& file);
bool writeHearing(const std::filesystem::path& file, const std::vector<float>& state);

} // namespace speech

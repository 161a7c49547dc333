#pragma once
// How a recovery file is named and read back: what a session that ended
// without saving left, whether its copy stopped early, when it was recorded,
// the name it goes to the trash under, and its sound as a playable image.

#include "WaveHeader.h"

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <string>

namespace engine::recovery {

inline constexpr const char* kPrefix = "take-";
inline constexpr const char* kCutMark = "-cut";
inline constexpr std::uint64_t kFrameBytes = kChannels * kBitsPerSample / 8;

// "take-….wav": a file of ours in the recovery folder.
bool isOurName(const std::filesystem::path& file);
// The header as every take starts, apart from the sizes.
bool isOurHeader(const std::uint8_t* bytes);
bool hasOurHeader(const std::filesystem::path& file);
// Brings the RIFF and data sizes of the WAV file open as `fd` up to
// `soundBytes` of sound (whole frames); the sound itself is untouched.
bool writeSizes(int fd, std::uint64_t soundBytes);

} // namespace engine::recovery

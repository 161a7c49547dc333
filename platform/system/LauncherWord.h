#pragma once
// The word the launcher passes to the recorder programs it starts; their
// whole command line must be exactly it.

namespace platform {

inline constexpr const char* kLauncherWord = "oldstart";

} // namespace platform

#pragma once
// Folders of the user's own that the programs write to, never the program
// folder (which an installed program's user cannot write).

#include <QString>

#include <filesystem>

namespace platform {

// Where the take in progress is also kept, per program
// (~/.local/share/<program>/recovery).
std::filesystem::path recoveryFolder();
// Moves a file to the desktop's trash (the freedesktop.org trash, the
// Recycle Bin); false when there is none that takes it.
bool moveToTrash(const std::filesystem::path& file);
// Where the save dialog first opens: the user's music folder, or home when
// there is none.
QString recordingsFolder();

} // namespace platform

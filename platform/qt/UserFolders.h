#pragma once
// Folders of the user's own that the programs write to, never the program
// folder (which an installed program's user cannot write).

#include <QString>
#include <QStringList>

#include <filesystem>
#include <vector>

namespace platform {

// Where the take in progress is also kept, per program
// (~/.local/share/<program>/recovery).
std::filesystem::path recoveryFolder();
// The recovery folders of every recorder of the suite: the takes their
// sessions put in the trash came from there.
std::vector<std::filesystem::path> suiteRecoveryFolders();
// Moves a file to the desktop's trash (the freedesktop.org trash, the
// Recycle Bin); false when there is none that takes it.
bool moveToTrash(const std::filesystem::path& file);
// The user's recordings: "录音" ("錄音") in the desktop's music folder,
// made when missing (in home when there is no music folder). An existing
// folder of either script's name is used whatever the script now.
QString recordingsFolder(bool simplified);
// The folders saved to, newest first, the suite's programs all together.
QStringList savedFolders();
void rememberSavedFolder(const QString& folder);
// A folder as the user knows it, without slashes: "音乐 › 录音" for
// ~/Music/录音 (the desktop's folders by their names in her script).
QString folderInWords(const QString& folder, bool simplified);

} // namespace platform

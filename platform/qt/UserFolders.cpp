#include "UserFolders.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace platform {

std::filesystem::path recoveryFolder() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
                           QStringLiteral("/recovery");
    return std::filesystem::path(folder.toStdU16String());
}

bool moveToTrash(const std::filesystem::path& file) {
    return QFile::moveToTrash(QString::fromStdU16String(file.u16string()));
}

QString recordingsFolder() {
    const QString music = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
    if (!music.isEmpty() && QDir(music).exists())
        return music;
    return QDir::homePath();
}

} // namespace platform

#include "TrashedTakes.h"

#include "FileNames.h"
#include "TakeNames.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

#include <algorithm>

namespace recordings {
namespace {

// One key of a .trashinfo file; empty when it has none.
QString infoValue(const QByteArray& text, const QByteArray& key) {
    for (const QByteArray& line : text.split('\n')) {
        const QByteArray trimmed = line.trimmed();
        if (trimmed.startsWith(key + '='))
            return QString::fromUtf8(trimmed.mid(key.size() + 1));
    }
    return {};
}

bool cameFrom(const QString& original, const std::vector<std::filesystem::path>& folders) {
    const QString folder = QFileInfo(original).absolutePath();
    return std::any_of(folders.begin(), folders.end(), [&](const std::filesystem::path& f) {
        return QDir::cleanPath(QString::fromStdU16String(f.u16string())) == QDir::cleanPath(folder);
    });
}

// A thrown-away take is named by when it was recorded; else the trash's
// record says when it was thrown away.
std::time_t recordedAt(const QString& name, const QString& deleted) {
    QDateTime at = QDateTime::fromString(name.left(19), QStringLiteral("yyyy-MM-dd HH.mm.ss"));
    if (!at.isValid())
        at = QDateTime::fromString(deleted, Qt::ISODate);
    return at.isValid() ? std::time_t(at.toSecsSinceEpoch()) : 0;
}

} // namespace

QString homeTrash() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/Trash");
}

std::vector<TrashedTake> trashedTakes(const QString& trash,
                                      const std::vector<std::filesystem::path>& from) {
    std::vector<TrashedTake> out;
    const QDir info(trash + QStringLiteral("/info"));
    for (const QFileInfo& record :
         info.entryInfoList({QStringLiteral("*.trashinfo")}, QDir::Files | QDir::Hidden)) {
        QFile f(record.absoluteFilePath());
        if (!f.open(QIODevice::ReadOnly))
            continue;
        const QByteArray text = f.read(64 * 1024);
        const QString original =
            QUrl::fromPercentEncoding(infoValue(text, QByteArrayLiteral("Path")).toUtf8());
        if (original.isEmpty() || !cameFrom(original, from))
            continue;
        TrashedTake take;
        take.name = record.completeBaseName(); // less ".trashinfo"
        take.file = trash + QStringLiteral("/files/") + take.name;
        take.info = record.absoluteFilePath();
        const QFileInfo file(take.file);
        if (!file.isFile())
            continue; // the record of a file emptied from the trash
        take.bytes = file.size();
        take.recorded = recordedAt(take.name, infoValue(text, QByteArrayLiteral("DeletionDate")));
        out.push_back(take);
    }
    std::sort(out.begin(), out.end(),
              [](const TrashedTake& a, const TrashedTake& b) { return a.recorded > b.recorded; });
    return out;
}

QString restoreTake(const TrashedTake& take, const QString& folder, bool simplified,
                    QString* error) {
    const std::string dated =
        platform::safeFileName(engine::takeFileName(take.recorded, std::time(nullptr), simplified));
    const QString target = QDir(folder).absoluteFilePath(
        QString::fromStdString(platform::freeFileName(folder.toStdU16String(), dated)));
    QDir().mkpath(folder);
    // A rename where the trash and the folder share a disk; a copy and a
    // removal where they do not. Either way the same bytes.
    QFile file(take.file);
    if (!file.rename(target)) {
        if (error)
            *error = file.errorString();
        return {};
    }
    QFile::remove(take.info);
    return target;
}

} // namespace recordings

#include "UserFolders.h"

#include "ScriptText.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include <utility>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace platform {
namespace {

// One store for the three programs: a folder saved to from one recorder is
// listed in every one.
QSettings suiteSettings() {
    return QSettings(QStringLiteral("Oakhalt"), QStringLiteral("recordings"));
}

constexpr int kRememberedFolders = 20;

struct KnownFolder {
    QStandardPaths::StandardLocation where;
    ScriptText name;
};
constexpr KnownFolder kKnownFolders[] = {
    {QStandardPaths::MusicLocation, {"音乐", "音樂"}},
    {QStandardPaths::DocumentsLocation, {"文档", "文件"}},
    {QStandardPaths::DesktopLocation, {"桌面", "桌面"}},
    {QStandardPaths::DownloadLocation, {"下载", "下載"}},
    {QStandardPaths::MoviesLocation, {"视频", "影片"}},
    {QStandardPaths::PicturesLocation, {"图片", "圖片"}},
};

} // namespace

std::filesystem::path recoveryFolder() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
                           QStringLiteral("/recovery");
    return std::filesystem::path(folder.toStdU16String());
}

std::vector<std::filesystem::path> suiteRecoveryFolders() {
    // AppDataLocation is <data>/<program>; the siblings are the others'.
    QDir data(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    data.cdUp();
    std::vector<std::filesystem::path> out;
    for (const char* program : {"Brevon", "Tamsel", "Oakhalt"})
        out.emplace_back(
            (data.absoluteFilePath(QLatin1String(program)) + QStringLiteral("/recovery"))
                .toStdU16String());
    return out;
}

bool moveToTrash(const std::filesystem::path& file) {
    const QString name = QString::fromStdU16String(file.u16string());
#ifndef _WIN32
    // A file on the home's disk goes to the home trash. When that is no
    // folder (a broken desktop can leave a plain file there), Qt makes its
    // "files" and "info" in the working folder instead: refused here, the
    // file stays where it is.
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    struct stat fileStat {
    }, dataStat{};
    if (::stat(QFile::encodeName(name).constData(), &fileStat) == 0 &&
        ::stat(QFile::encodeName(data).constData(), &dataStat) == 0 &&
        fileStat.st_dev == dataStat.st_dev) {
        const QDir trash(data + QStringLiteral("/Trash"));
        const QFileInfo trashInfo(trash.path());
        if ((trashInfo.exists() && !trashInfo.isDir()) || !trash.mkpath(QStringLiteral("files")) ||
            !trash.mkpath(QStringLiteral("info")))
            return false;
    }
#endif
    QString inTrash;
    if (!QFile::moveToTrash(name, &inTrash))
        return false;
    if (QFileInfo(inTrash).isRelative()) {
        // Nowhere anyone would look: back where it was, its record gone.
        const QFileInfo moved(inTrash);
        QFile::remove(moved.dir().filePath(QStringLiteral("../info/") + moved.fileName() +
                                           QStringLiteral(".trashinfo")));
        QFile::rename(inTrash, name);
        return false;
    }
    return true;
}

QString recordingsFolder(bool simplified) {
    QString music = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
    if (music.isEmpty())
        music = QDir::homePath();
    const QDir base(music);
    for (const char* name : {"录音", "錄音"})
        if (base.exists(QString::fromUtf8(name)))
            return base.absoluteFilePath(QString::fromUtf8(name));
    const QString mine = base.absoluteFilePath(QString::fromUtf8(simplified ? "录音" : "錄音"));
    if (QDir().mkpath(mine))
        return mine;
    return QDir(music).exists() ? music : QDir::homePath();
}

QStringList savedFolders() {
    return suiteSettings().value(QStringLiteral("savedFolders")).toStringList();
}

void rememberSavedFolder(const QString& folder) {
    QSettings settings = suiteSettings();
    QStringList folders = settings.value(QStringLiteral("savedFolders")).toStringList();
    const QString clean = QDir::cleanPath(folder);
    folders.removeAll(clean);
    folders.prepend(clean);
    while (folders.size() > kRememberedFolders)
        folders.removeLast();
    settings.setValue(QStringLiteral("savedFolders"), folders);
}

QString folderInWords(const QString& folder, bool simplified) {
    const QString clean = QDir::cleanPath(QDir(folder).absolutePath());
    const QString home = QDir::cleanPath(QDir::homePath());
    QStringList words;
    QString rest;
    for (const KnownFolder& known : kKnownFolders) {
        const QString place = QDir::cleanPath(QStandardPaths::writableLocation(known.where));
        if (place.isEmpty() || place == home)
            continue;
        if (clean == place || clean.startsWith(place + QLatin1Char('/'))) {
            words << QString::fromUtf8(known.name.in(simplified));
            rest = clean.mid(place.size());
            break;
        }
    }
    if (words.isEmpty()) {
        if (clean == home || clean.startsWith(home + QLatin1Char('/'))) {
            words << (simplified ? QStringLiteral("我的文件夹") : QStringLiteral("我的資料夾"));
            rest = clean.mid(home.size());
        } else {
            rest = clean;
        }
    }
    words << rest.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    return words.join(QStringLiteral(" › "));
}

} // namespace platform

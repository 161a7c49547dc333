#include "Shell.h"

#include "Dialogs.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>
#include <QWidget>

#include <cstdlib>

#ifdef __linux__
#include <dirent.h>
#include <fcntl.h>
#endif

namespace platform {
namespace {

// A program we start gets the standard streams and nothing else of ours.
// Inherited, the web view's sockets kept its helper processes alive for as
// long as the recorder started by the launcher ran, the launcher long gone.
void keepOurFilesFromChildren() {
#ifdef __linux__
    if (DIR* dir = ::opendir("/proc/self/fd")) {
        const int own = ::dirfd(dir);
        while (const dirent* entry = ::readdir(dir)) {
            const int fd = std::atoi(entry->d_name);
            if (fd > 2 && fd != own)
                ::fcntl(fd, F_SETFD, ::fcntl(fd, F_GETFD) | FD_CLOEXEC);
        }
        ::closedir(dir);
    }
#endif
}

#ifndef Q_OS_WIN
// The volume programs named by their old names, and the desktop mixer page
// that does the same job here.
struct MixerRow {
    const char* command;
    const char* mixerArgument; // nullptr: the mixer as it opens
};

constexpr MixerRow kMixer[] = {
    {"SndVol.exe", nullptr},
    {"sndvol32.exe", "--tab=3"},    // output devices: the master volume
    {"sndvol32.exe -r", "--tab=4"}, // input devices: the recording control
};
#endif

} // namespace

bool QtShell::startProgram(const QString& command) {
#ifndef Q_OS_WIN
    for (const MixerRow& row : kMixer) {
        if (command == QLatin1String(row.command)) {
            QStringList args;
            if (row.mixerArgument)
                args << QString::fromLatin1(row.mixerArgument);
            keepOurFilesFromChildren();
            return QProcess::startDetached(QStringLiteral("pavucontrol"), args);
        }
    }
#endif
    QStringList parts = command.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (parts.isEmpty())
        return false;
    const QString program = parts.takeFirst();
    keepOurFilesFromChildren();
    return QProcess::startDetached(program, parts);
}

bool QtShell::openUrl(const QUrl& url) {
    return QDesktopServices::openUrl(url);
}

bool QtShell::startDetached(const QString& program, const QStringList& arguments) {
    if (!QFileInfo(program).isExecutable())
        return false; // nothing starts; the caller goes on as if it had
    keepOurFilesFromChildren();
    return QProcess::startDetached(program, arguments);
}

void openPage(Shell& shell, Dialogs& dialogs, QWidget* owner, const QUrl& url, bool simplified) {
    if (shell.openUrl(url))
        return;
    const QString text =
        simplified ? QStringLiteral("无法打开网页：") : QStringLiteral("無法開啟網頁：");
    dialogs.notice(owner, owner ? owner->window()->windowTitle() : QString(), text + url.toString(),
                   MessageIcon::Exclamation);
}

bool QtShell::showInFileManager(const QString& file) {
    const QUrl url = QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath());
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"),
        QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << QStringList{url.toString()} << QString();
    // Asked without waiting for the answer: a file manager that starts
    // slowly must not hold up the window. A desktop without the service
    // answers at once that there is none; its folder opens then.
    QDBusConnection bus = QDBusConnection::sessionBus();
    const QString service = QStringLiteral("org.freedesktop.FileManager1");
    if (bus.isConnected() &&
        (bus.interface()->isServiceRegistered(service).value() ||
         bus.interface()->activatableServiceNames().value().contains(service)) &&
        bus.send(call))
        return true;
    return openUrl(QUrl::fromLocalFile(QFileInfo(file).absolutePath()));
}

} // namespace platform

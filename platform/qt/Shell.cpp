#include "Shell.h"

#include "Dialogs.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>
#include <QWidget>

namespace platform {
namespace {

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
            return QProcess::startDetached(QStringLiteral("pavucontrol"), args);
        }
    }
#endif
    QStringList parts = command.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (parts.isEmpty())
        return false;
    const QString program = parts.takeFirst();
    return QProcess::startDetached(program, parts);
}

bool QtShell::openUrl(const QUrl& url) {
    return QDesktopServices::openUrl(url);
}

bool QtShell::startDetached(const QString& program, const QStringList& arguments) {
    if (!QFileInfo(program).isExecutable())
        return false; // nothing starts; the caller goes on as if it had
    return QProcess::startDetached(program, arguments);
}

void openPage(Shell& shell, Dialogs& dialogs, QWidget* owner, const QUrl& url, bool simplified) {
    if (shell.openUrl(url))
        return;
    const QString text =
        simplified ? QStringLiteral("无法打开网页：") : QStringLiteral("無法開啟網頁：");
    dialogs.message(owner, owner ? owner->window()->windowTitle() : QString(),
                    text + url.toString(), MessageIcon::Exclamation);
}

} // namespace platform

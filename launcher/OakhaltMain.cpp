// The launcher: the wizard window that starts the recorders.

#include "AppSetup.h"
#include "Dialogs.h"
#include "MediaControl.h"
#include "SdlAudioLibrary.h"
#include "Shell.h"
#include "frmXD.h"

#include <QApplication>
#include <QSettings>

#include <cstdio>
#include <cstdlib>

#ifndef _WIN32
#include <unistd.h>
#endif

int main(int argc, char* argv[]) {
    platform::settleHome();
#ifndef _WIN32
    // The web engine's sandbox cannot run for root, and without it the
    // engine refuses to start and takes the launcher with it: the window
    // would never show. Root gets the mini home page unsandboxed, and is
    // told so.
    if (::geteuid() == 0 && !std::getenv("QTWEBENGINE_DISABLE_SANDBOX")) {
        ::setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 1);
        std::fputs("Oakhalt: running as root; the mini home page runs without the web "
                   "engine's sandbox\n",
                   stderr);
    }
#endif
    // The embedded web view shares its GL contexts with the windows.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Oakhalt"));
    platform::setUpChineseApplication(app);

    QSettings settings(QStringLiteral("Oakhalt"), QStringLiteral("Oakhalt"));
    platform::QtDialogs dialogs;
    platform::QtShell shell;
    audio::SdlAudioLibrary library;    // opened only when the speech window loads
    platform::SdlMediaControl prompts; // the speech window's voice prompts
    launcher::frmXD window(settings, dialogs, shell, library);
    window.setPromptMedia(&prompts);
    window.Load(true);
    window.showLauncherWindow();
    return QApplication::exec();
}

// The launcher: the wizard window that starts the recorders.

#include "AppSetup.h"
#include "Dialogs.h"
#include "MediaControl.h"
#include "SdlAudioLibrary.h"
#include "Shell.h"
#include "frmXD.h"

#include <QApplication>
#include <QSettings>

int main(int argc, char* argv[]) {
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

#include "RecorderProgram.h"

#include "AppSetup.h"
#include "Dialogs.h"
#include "MediaControl.h"
#include "SdlAudioLibrary.h"
#include "frmRecTest.h"

#include <QApplication>

#include <optional>

namespace recorder {

int runRecorderProgram(int argc, char* argv[], Edition edition) {
    platform::settleHome();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(textsFor(edition).programName));
    platform::setUpChineseApplication(app);

    audio::SdlAudioLibrary library;
    std::optional<platform::SdlMediaControl> prompts;
    platform::QtDialogs dialogs;
    platform::QtShell shell;
    frmRecTest window(edition, library, dialogs);
    window.setShell(&shell);
    if (edition == Edition::Prompted)
        window.setPromptMedia(&prompts.emplace());
    // The welcome prompt, where there is one, is said before the window
    // shows. A program that cannot run says why in a box, and ends when
    // it is closed.
    if (window.Load(QApplication::arguments().mid(1)))
        window.showAfterWelcome();
    return QApplication::exec();
}

} // namespace recorder

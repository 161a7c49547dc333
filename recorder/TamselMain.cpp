// The recorder with voice prompts: the recorder window speaking every action.

#include "AppSetup.h"
#include "Dialogs.h"
#include "MediaControl.h"
#include "SdlAudioLibrary.h"
#include "frmRecTest.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tamsel"));
    platform::setUpChineseApplication(app);

    audio::SdlAudioLibrary library;
    platform::SdlMediaControl prompts;
    platform::QtDialogs dialogs;
    recorder::frmRecTest window(recorder::Edition::Prompted, library, dialogs);
    window.setPromptMedia(&prompts);
    // The welcome prompt is spoken inside Load, before the window shows.
    if (!window.Load(QApplication::arguments().mid(1)))
        return 0;
    window.show();
    return QApplication::exec();
}

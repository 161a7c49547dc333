// The standard recorder: the recorder window without voice prompts.

#include "AppSetup.h"
#include "Dialogs.h"
#include "SdlAudioLibrary.h"
#include "frmRecTest.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brevon"));
    platform::setUpChineseApplication(app);

    audio::SdlAudioLibrary library;
    platform::QtDialogs dialogs;
    recorder::frmRecTest window(recorder::Edition::Standard, library, dialogs);
    if (!window.Load(QApplication::arguments().mid(1)))
        return 0;
    window.show();
    return QApplication::exec();
}

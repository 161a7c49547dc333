#include "RecorderLaunch.h"

#include "LauncherWord.h"

#include <QCoreApplication>

namespace launcher {

bool startRecorder(platform::Shell& shell, const QString& name) {
    QString program = QCoreApplication::applicationDirPath() + QLatin1Char('/') + name;
#ifdef Q_OS_WIN
    program += QStringLiteral(".exe");
#endif
    return shell.startDetached(program, {QString::fromLatin1(platform::kLauncherWord)});
}

QString recorderFailure(const QString& name, bool simplified) {
    return (simplified ? QStringLiteral("录音程序“%1”启动不了。请检查它是否已经安装完整。")
                       : QStringLiteral("錄音程式「%1」啟動不了。請檢查它是否已經安裝完整。"))
        .arg(name);
}

} // namespace launcher

#include "AppSetup.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QTranslator>

#include <cstdlib>

#ifndef _WIN32
#include <pwd.h>
#include <unistd.h>
#endif

namespace platform {

void setUpChineseApplication(QApplication& app) {
    // The captions ask for the classic Song face by its Chinese and Latin
    // names; without a substitute Qt falls back to a Japanese-shaped face.
    for (const char* family : {"宋体", "SimSun"})
        QFont::insertSubstitution(QString::fromUtf8(family), QStringLiteral("Noto Serif CJK SC"));

    // Buttons of Qt's own dialogs (the save dialog, message boxes) in Chinese.
    auto* translator = new QTranslator(&app);
    if (translator->load(QStringLiteral("qtbase_zh_CN"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);
}

void settleHome() {
#ifndef _WIN32
    const char* home = std::getenv("HOME");
    if (home && *home)
        return;
    if (const passwd* user = ::getpwuid(::getuid()); user && user->pw_dir && *user->pw_dir)
        ::setenv("HOME", user->pw_dir, 1);
#endif
}

} // namespace platform

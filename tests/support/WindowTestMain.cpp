// The main of every window test: one application for the whole run, and the
// programs' data folders (unsaved takes, voice training) under Qt's test
// location, emptied, and a home of its own (recordings, settings), never
// the user's own.

#include <QApplication>
#include <QDir>
#include <QStandardPaths>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    const QString home = QDir::temp().absoluteFilePath(
        QStringLiteral("window-tests-%1").arg(QCoreApplication::applicationPid()));
    QDir(home).removeRecursively();
    QDir().mkpath(home);
    qputenv("HOME", home.toUtf8());
    qputenv("XDG_CONFIG_HOME", (home + QStringLiteral("/.config")).toUtf8());
    // The web view of the launcher's mini home page shares its context.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)).removeRecursively();
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    QDir(home).removeRecursively();
    return result;
}

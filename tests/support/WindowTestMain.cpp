// The main of every window test: one application for the whole run, and the
// programs' data folders (unsaved takes, voice training) under Qt's test
// location, emptied, never the user's own.

#include <QApplication>
#include <QDir>
#include <QStandardPaths>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // The web view of the launcher's mini home page shares its context.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)).removeRecursively();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

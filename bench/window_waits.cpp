// How long the window thread is busy for each of the user's actions, with
// the real audio layer, recogniser, recovery copy and desktop trash: the
// longest single stretch (a handler, or one pass of the event loop while
// the action completes) over several rounds. Run by window_waits.sh, which
// gives it a private sound server; the target is 50 ms for each.

#include "FakeDialogs.h"
#include "FakeShell.h"
#include "SdlAudioLibrary.h"
#include "SpeechBackend.h"
#include "frmRecTest.h"
#include "frmSDK.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <string>

namespace {

std::map<std::string, double> longest; // milliseconds, per action

// Runs `action` and the event loop for `settle` ms after it; the longest
// single stretch of the window thread is what the action cost it.
void measure(const std::string& name, const std::function<void()>& action, int settle = 300) {
    QElapsedTimer t;
    t.start();
    action();
    double worst = double(t.nsecsElapsed()) / 1e6;
    QElapsedTimer total;
    total.start();
    while (total.elapsed() < settle) {
        t.restart();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        worst = std::max(worst, double(t.nsecsElapsed()) / 1e6);
    }
    longest[name] = std::max(longest[name], worst);
}

void idle(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brevon"));
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    QTemporaryDir saves;

    audio::SdlAudioLibrary library;
    fake::FakeDialogs dialogs;
    QElapsedTimer toDialog;
    dialogs.onSaveDialog = [&] {
        longest["F4 to the save dialog"] =
            std::max(longest["F4 to the save dialog"], double(toDialog.nsecsElapsed()) / 1e6);
    };
    {
        recorder::frmRecTest window(recorder::Edition::Standard, library, dialogs);
        if (!window.Load({QStringLiteral("oldstart")})) {
            std::fputs("window_waits: the recorder could not open the sound system\n", stderr);
            return 1;
        }
        window.show();
        idle(500);
        for (int i = 0; i < rounds; ++i) {
            // F1 over the unsaved take of the round before: it goes to the trash.
            measure(i == 0 ? "F1" : "F1 over an unsaved take (to the trash)",
                    [&] { window.btnRecord_Click(); });
            idle(1000);
            measure("F1 (stop)", [&] { window.btnRecord_Click(); });
            if (i % 2 == 0) {
                dialogs.saveAnswer = saves.filePath(QStringLiteral("take%1.wav").arg(i));
                toDialog.start();
                measure("F4 (saved)", [&] { window.btnSave_Click(); });
                measure("F1", [&] { window.btnRecord_Click(); });
                idle(500);
                measure("F1 (stop)", [&] { window.btnRecord_Click(); });
            }
        }
        window.close();
    }
    {
        fake::FakeShell shell;
        speech::frmSDK window(
            library, dialogs, shell, [] { return true; }, &speech::makeMicrophoneBackend);
        window.Load();
        window.show();
        measure(
            "开始识别 at once", [&] { window.StartRecognition(); }, 1000);
        window.StopRecognition();
    }
    for (int i = 0; i < rounds; ++i) {
        fake::FakeShell shell;
        speech::frmSDK window(
            library, dialogs, shell, [] { return true; }, &speech::makeMicrophoneBackend);
        window.Load();
        window.show();
        idle(3000); // she reads the window
        measure(
            "开始识别 after 3 s", [&] { window.StartRecognition(); }, 500);
        window.StopRecognition();
    }
    std::printf("longest time the window thread is busy, %d rounds (target 50 ms):\n", rounds);
    for (const auto& [name, ms] : longest)
        std::printf("  %-40s %8.1f ms%s\n", name.c_str(), ms, ms > 50 ? "  over" : "");
    return 0;
}

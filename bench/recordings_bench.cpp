// "我的录音" with a thousand recordings, and the phone copy's speed.
// Prints: the time from opening the window to its first rows, to every
// length known, the longest the window thread was busy meanwhile (a timer
// that wants to run every millisecond measures the gaps), and how many
// times faster than real time a minute's take becomes an MP3 (one core).
//
//   recordings_bench [COUNT]      (QT_QPA_PLATFORM=offscreen)

#include "FakeAudioLibrary.h"
#include "FakeDialogs.h"
#include "PhoneCopy.h"
#include "frmRecordings.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>

#include <sndfile.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

void writeTake(const QString& path, double seconds) {
    SF_INFO info{};
    info.samplerate = 44100;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* f = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    std::vector<short> frames(std::size_t(seconds * 44100) * 2);
    for (std::size_t i = 0; i < frames.size(); ++i)
        frames[i] = short(6000 * std::sin(double(i / 2) * 0.05) + double(i * 7919 % 2000) - 1000);
    sf_writef_short(f, frames.data(), sf_count_t(frames.size() / 2));
    sf_close(f);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 1000;
    const QString root = QDir::temp().absoluteFilePath(
        QStringLiteral("recordings-bench-%1").arg(QCoreApplication::applicationPid()));
    QDir(root).removeRecursively();
    QDir().mkpath(root + QStringLiteral("/录音"));
    for (int i = 0; i < count; ++i)
        writeTake(root + QStringLiteral("/录音/录音%1.wav").arg(i), 0.2);

    fake::FakeAudioLibrary lib;
    fake::FakeDialogs dialogs;
    QElapsedTimer clock;
    qint64 firstRows = -1, allLengths = -1, longestBusy = 0, lastTick = 0;
    QTimer ticks;
    ticks.setInterval(1);
    QObject::connect(&ticks, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        longestBusy = std::max(longestBusy, now - lastTick);
        lastTick = now;
    });
    clock.start();
    recordings::frmRecordings window(lib, dialogs, nullptr,
                                     {root + QStringLiteral("/录音"), {}, root, {}}, true);
    window.show();
    lastTick = clock.nsecsElapsed();
    ticks.start();
    QObject::connect(&window.shelf(), &recordings::RecordingShelf::listed,
                     [&] { firstRows = clock.nsecsElapsed(); });
    QObject::connect(&window.shelf(), &recordings::RecordingShelf::scanned, [&] {
        allLengths = clock.nsecsElapsed();
        QTimer::singleShot(100, &app, &QApplication::quit);
    });
    app.exec();
    std::printf("%d recordings: first rows shown after %.0f ms (goal 300), every length after "
                "%.0f ms, window thread busy at most %.1f ms at a time (goal 50)\n",
                count, double(firstRows) / 1e6, double(allLengths) / 1e6,
                double(longestBusy) / 1e6);

    const QString minute = root + QStringLiteral("/minute.wav");
    writeTake(minute, 60);
    const auto t0 = std::chrono::steady_clock::now();
    const auto copy = recordings::writePhoneCopy(
        minute.toStdU16String(), (root + QStringLiteral("/minute.mp3")).toStdU16String());
    const double took =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    std::printf(
        "phone copy of a 60 s take: %s, %.2f MB, %.1f s of sound, %.2f s to make: %.0fx real "
        "time (goal 20x)\n",
        copy.ok ? "made" : copy.error.c_str(),
        double(QFile(root + QStringLiteral("/minute.mp3")).size()) / 1e6, copy.seconds, took,
        60 / took);
    QDir(root).removeRecursively();
    return 0;
}

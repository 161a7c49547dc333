// Cost of one magnifier frame (grab the screen region at the pointer, scale
// it without smoothing, show it) at factors 1, 2 and 9, as a share of the
// 50 ms tick. Run on a real display, e.g. `xvfb-run -a magnifier_bench`:
// on the offscreen platform there is no screen to grab.

#include "frmFDJ.h"

#include <QApplication>
#include <QCursor>
#include <QLabel>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>

#include <chrono>
#include <cstdio>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    magnifier::frmFDJ fdj;
    fdj.move(0, 600);
    fdj.show();
    QApplication::processEvents();
    fdj.Timer1->stop(); // frames are driven here
    QCursor::setPos(200, 150);
    constexpr int kFrames = 200;
    std::printf("platform %s, box %dx%d\n", qPrintable(QApplication::platformName()),
                fdj.Picture1->width(), fdj.Picture1->height());
    for (int z : {1, 2, 9}) {
        fdj.HScroll1->setValue(z);
        fdj.Timer1_Timer(); // warm up
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < kFrames; ++i) {
            fdj.Timer1_Timer();
            QApplication::processEvents(); // paint, as the event loop would
        }
        const double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count() /
            kFrames;
        // The screen grab alone, for the same region: what is left is ours.
        const QSize src = magnifier::sourceSize(fdj.Picture1->contentsRect().size(), z);
        QScreen* screen = QGuiApplication::primaryScreen();
        const auto grabStart = std::chrono::steady_clock::now();
        for (int i = 0; i < kFrames; ++i)
            (void)screen->grabWindow(0, 200, 150, src.width(), src.height());
        const double grabMs =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - grabStart)
                .count() /
            kFrames;
        std::printf(
            "factor %d: %.2f ms per frame, %.3f of the 50 ms tick (the grab alone %.2f ms)\n", z,
            ms, ms / 50.0, grabMs);
    }
    return 0;
}

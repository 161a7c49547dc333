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
        // The frame made (grab, scale, hand to the box) and the box shown
        // (paint into the window's buffer, flush to the display), apart.
        double makeMs = 0;
        double showMs = 0;
        for (int i = 0; i < kFrames; ++i) {
            const auto t0 = std::chrono::steady_clock::now();
            fdj.Timer1_Timer();
            const auto t1 = std::chrono::steady_clock::now();
            QApplication::processEvents(); // paint, as the event loop would
            const auto t2 = std::chrono::steady_clock::now();
            makeMs += std::chrono::duration<double, std::milli>(t1 - t0).count();
            showMs += std::chrono::duration<double, std::milli>(t2 - t1).count();
        }
        makeMs /= kFrames;
        showMs /= kFrames;
        const double ms = makeMs + showMs;
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
        std::printf("factor %d: %.2f ms per frame, %.3f of the 50 ms tick (the grab alone %.2f ms, "
                    "the rest of making it %.2f ms, showing it %.2f ms)\n",
                    z, ms, ms / 50.0, grabMs, makeMs - grabMs, showMs);
    }
    return 0;
}

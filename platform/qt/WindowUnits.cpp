#include "WindowUnits.h"

#include <QGuiApplication>
#include <QScreen>
#include <QVariant>

#include <algorithm>

namespace platform {
namespace {

constexpr const char* kDpiProperty = "layoutDpi";
// A title bar and borders, which a window does not know before it is shown.
constexpr int kFrame = 32;
constexpr int kPanel = 40;

} // namespace

QSize usableArea(QSize available, bool panelKnown, double ratio) {
    const int panel = panelKnown ? 0 : int(std::ceil(kPanel / std::max(ratio, 1.0)));
    return {std::max(1, available.width() - 2 * 4),
            std::max(1, available.height() - kFrame - panel)};
}

double fittedDpi(double screenDpi, int widthTwips, int heightTwips, QSize area) {
    const double width = widthTwips * screenDpi / 1440.0;
    const double height = heightTwips * screenDpi / 1440.0;
    const double fit = std::min({1.0, area.width() / width, area.height() / height});
    return screenDpi * fit;
}

double fitToScreen(QWidget& window, int widthTwips, int heightTwips) {
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    double dpi = window.logicalDpiX();
    if (screen) {
        const bool panelKnown = screen->availableGeometry() != screen->geometry();
        dpi = fittedDpi(
            dpi, widthTwips, heightTwips,
            usableArea(screen->availableGeometry().size(), panelKnown, screen->devicePixelRatio()));
    }
    window.setProperty(kDpiProperty, dpi);
    return dpi;
}

double layoutDpi(const QWidget& w) {
    const QVariant dpi = w.window()->property(kDpiProperty);
    return dpi.isValid() ? dpi.toDouble() : w.logicalDpiX();
}

double fittedPoints(const QWidget& w, double points) {
    return points * layoutDpi(w) / w.logicalDpiX();
}

} // namespace platform

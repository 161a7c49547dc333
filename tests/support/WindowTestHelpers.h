#pragma once
// Shows a window on the offscreen platform and makes it the active one, so
// that its keyboard shortcuts fire.

#include <QApplication>
#include <QTest>
#include <QWidget>

namespace fake {

inline bool showActive(QWidget& window) {
    window.show();
    QApplication::setActiveWindow(&window);
    return QTest::qWaitForWindowActive(&window);
}

} // namespace fake

#pragma once
// Helpers every window of the suite uses to lay out and caption its controls
// from tables. A row names its control by the window's member that holds it,
// so a table cannot name a control that does not exist.

#include "ScriptText.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QSize>
#include <QWidget>

#include <cmath>
#include <cstddef>
#include <utility>

namespace platform {

// A new control with the name the window's tables, its tests and the
// accessibility tools know it by.
template <class C, class... Args> C* named(const char* name, Args&&... args) {
    auto* w = new C(std::forward<Args>(args)...);
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

// Pixels at the screen's resolution, halves rounded to even.
inline int twipsToPixels(int twips, double dpi) {
    return int(std::nearbyint(twips * dpi / 1440.0));
}

// What a window may take of a screen whose free area is `available` (in
// the window's logical pixels, of `ratio` device pixels each) and still lie
// whole on it: less its frame, and less a panel's worth (40 device pixels)
// where the desktop names none.
QSize usableArea(QSize available, bool panelKnown, double ratio);
// The dots per inch a window of `widthTwips` × `heightTwips` is laid out at
// so that it fits `area`: the screen's own, or fewer.
double fittedDpi(double screenDpi, int widthTwips, int heightTwips, QSize area);
// From now on `window` and its controls are laid out (places and fonts) at
// the dpi that fits its screen, the screen's own when it fits (a large
// desktop scale or text size can make a window taller than the screen).
// Returns that dpi.
double fitToScreen(QWidget& window, int widthTwips, int heightTwips);
// The dpi `w`'s window is laid out at.
double layoutDpi(const QWidget& w);
// `points` of type as the window of `w` is laid out: smaller when it was
// fitted to its screen.
double fittedPoints(const QWidget& w, double points);

inline void placeInTwips(QWidget* w, int left, int top, int width, int height) {
    const double dpi = layoutDpi(*w);
    w->setGeometry(twipsToPixels(left, dpi), twipsToPixels(top, dpi), twipsToPixels(width, dpi),
                   twipsToPixels(height, dpi));
}

// How a table row reaches its control: `control<&Window::member>`, or
// `itself<Window>` for the window.
template <class W> using ControlOf = QWidget* (*)(W&);
template <auto Member, class W> QWidget* control(W& window) {
    return window.*Member;
}
template <class W> QWidget* itself(W& window) {
    return &window;
}

struct Font {
    double points = 0; // 0: the control keeps the font it inherits
    bool bold = false;
    const char* family = "宋体"; // the suite's Song face
};

// A control's place in twips, relative to its parent, and its font.
template <class W> struct LayoutRow {
    ControlOf<W> control;
    int left, top, width, height;
    Font font = {};
};

template <class W, std::size_t N> void layOut(W& window, const LayoutRow<W> (&rows)[N]) {
    const double dpi = layoutDpi(window);
    for (const LayoutRow<W>& row : rows) {
        QWidget* w = row.control(window);
        Q_ASSERT(w);
        w->setGeometry(twipsToPixels(row.left, dpi), twipsToPixels(row.top, dpi),
                       twipsToPixels(row.width, dpi), twipsToPixels(row.height, dpi));
        if (row.font.points > 0) {
            QFont f(QString::fromUtf8(row.font.family));
            f.setPointSizeF(fittedPoints(window, row.font.points));
            f.setBold(row.font.bold);
            w->setFont(f);
        }
    }
}

// The caption of a button, frame or label; the title of a window.
inline void setCaption(QWidget* w, const QString& text) {
    if (w->isWindow())
        w->setWindowTitle(text);
    else if (auto* b = qobject_cast<QAbstractButton*>(w))
        b->setText(text);
    else if (auto* g = qobject_cast<QGroupBox*>(w))
        g->setTitle(text);
    else if (auto* l = qobject_cast<QLabel*>(w))
        l->setText(text);
}

enum class Property { Caption, ToolTip };

// A text that the script choice switches.
template <class W> struct CaptionRow {
    ControlOf<W> control;
    const char* simplified;
    const char* traditional;
    Property property = Property::Caption;
};

// Sets every row's text in the chosen script, in table order. A caption is
// also the control's accessible name, so that a screen reader follows the
// script too.
template <class W, std::size_t N>
void applyCaptions(W& window, const CaptionRow<W> (&rows)[N], bool simplified) {
    for (const CaptionRow<W>& row : rows) {
        QWidget* w = row.control(window);
        Q_ASSERT(w);
        const QString text = QString::fromUtf8(simplified ? row.simplified : row.traditional);
        if (row.property == Property::ToolTip) {
            w->setToolTip(text);
            continue;
        }
        setCaption(w, text);
        if (!w->isWindow())
            w->setAccessibleName(text);
    }
}

} // namespace platform

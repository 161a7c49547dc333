#pragma once
// Helpers every window of the suite uses to lay out its controls from
// tables: places in twips (1/1440 inch), captions of any kind of control.

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QWidget>

#include <cmath>

namespace platform {

// Pixels at the screen's resolution, halves rounded to even.
inline int twipsToPixels(int twips, double dpi) {
    return int(std::nearbyint(twips * dpi / 1440.0));
}

inline void placeInTwips(QWidget* w, int left, int top, int width, int height) {
    const double dpi = w->logicalDpiX();
    w->setGeometry(twipsToPixels(left, dpi), twipsToPixels(top, dpi), twipsToPixels(width, dpi),
                   twipsToPixels(height, dpi));
}

// A control's place in twips and its font (the suite's Song face).
struct FontPlace {
    const char* name;
    int left, top, width, height;
    double points;
    bool bold;
};

// Places and sets the font of `root`'s child named in `row`; returns it.
inline QWidget* placeWithFont(QWidget* root, const FontPlace& row) {
    auto* w = root->findChild<QWidget*>(QString::fromLatin1(row.name));
    Q_ASSERT(w);
    placeInTwips(w, row.left, row.top, row.width, row.height);
    QFont f(QStringLiteral("宋体"));
    f.setPointSizeF(row.points);
    f.setBold(row.bold);
    w->setFont(f);
    return w;
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

} // namespace platform

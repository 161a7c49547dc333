#include "LauncherArt.h"

#include <QBitmap>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace launcher {
namespace {

void drawGlass(QPainter& p, QRectF box, QColor rim, QColor handle, qreal width) {
    const QRectF lens(box.left(), box.top(), box.width() * 0.66, box.height() * 0.66);
    p.setPen(QPen(rim, width));
    p.setBrush(QColor(210, 235, 255));
    p.drawEllipse(lens);
    p.setPen(QPen(handle, width * 1.6, Qt::SolidLine, Qt::RoundCap));
    const qreal k = 0.7071 * lens.width() / 2;
    p.drawLine(lens.center() + QPointF(k, k), box.bottomRight() - QPointF(width, width));
}

QPixmap canvas(int size) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    return pm;
}

} // namespace

QPixmap launcherBanner(QSize size) {
    QPixmap pm(size);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, size.width(), size.height());
    g.setColorAt(0, QColor(20, 70, 150));
    g.setColorAt(1, QColor(40, 120, 200));
    p.fillRect(pm.rect(), g);
    // Sound waves behind the title.
    p.setPen(QPen(QColor(255, 255, 255, 70), 6));
    for (int i = 0; i < 4; ++i) {
        const qreal r = size.height() * (0.25 + 0.17 * i);
        p.drawArc(QRectF(size.width() * 0.12 - r, size.height() * 0.5 - r, 2 * r, 2 * r), -60 * 16,
                  120 * 16);
    }
    QFont title(QStringLiteral("宋体"));
    title.setBold(true);
    title.setPixelSize(size.height() / 4);
    p.setFont(title);
    p.setPen(Qt::white);
    p.drawText(
        QRectF(size.width() * 0.05, size.height() * 0.55, size.width() * 0.7, size.height() * 0.4),
        Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Lumeno录音机"));
    return pm;
}

QIcon magnifierPicture() {
    QPixmap pm = canvas(96);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    drawGlass(p, QRectF(6, 6, 84, 84), QColor(20, 20, 20), QColor(150, 60, 20), 7);
    return QIcon(pm);
}

QIcon infoPicture() {
    QPixmap pm = canvas(96);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(20, 90, 200));
    p.drawEllipse(QRectF(4, 4, 88, 88));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(40, 18, 16, 16));
    p.drawRoundedRect(QRectF(40, 40, 16, 40), 4, 4);
    return QIcon(pm);
}

QIcon arrowPicture(bool forward) {
    QPixmap pm = canvas(96);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(forward ? QColor(30, 150, 60) : QColor(200, 120, 20));
    QPainterPath arrow;
    arrow.moveTo(10, 36);
    arrow.lineTo(50, 36);
    arrow.lineTo(50, 14);
    arrow.lineTo(88, 48);
    arrow.lineTo(50, 82);
    arrow.lineTo(50, 60);
    arrow.lineTo(10, 60);
    arrow.closeSubpath();
    if (!forward)
        p.setTransform(QTransform(-1, 0, 0, 1, 96, 0));
    p.drawPath(arrow);
    return QIcon(pm);
}

QCursor magnifierCursor() {
    QBitmap shape(32, 32);
    QBitmap mask(32, 32);
    shape.fill(Qt::color0);
    mask.fill(Qt::color0);
    {
        QPainter m(&mask);
        m.setPen(QPen(Qt::color1, 5, Qt::SolidLine, Qt::RoundCap));
        m.setBrush(Qt::color1);
        m.drawEllipse(QRectF(2, 2, 19, 19));
        m.drawLine(QPointF(18, 18), QPointF(29, 29));
    }
    {
        QPainter s(&shape);
        s.setPen(QPen(Qt::color1, 2.5, Qt::SolidLine, Qt::RoundCap));
        s.drawEllipse(QRectF(3, 3, 17, 17));
        s.setPen(QPen(Qt::color1, 4, Qt::SolidLine, Qt::RoundCap));
        s.drawLine(QPointF(18, 18), QPointF(28, 28));
    }
    return QCursor(shape, mask, 11, 11);
}

} // namespace launcher

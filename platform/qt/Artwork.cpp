#include "Artwork.h"

#include <QBitmap>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace platform {
namespace {

// A microphone on a stand, fitted into `box`.
void drawMicrophone(QPainter& p, QRectF box, QColor body, QColor stand) {
    const qreal w = box.width();
    const qreal h = box.height();
    const QRectF head(box.left() + w * 0.30, box.top() + h * 0.05, w * 0.40, h * 0.55);
    p.setPen(Qt::NoPen);
    p.setBrush(body);
    p.drawRoundedRect(head, head.width() / 2, head.width() / 2);
    QPen pen(stand, w * 0.08, Qt::SolidLine, Qt::RoundCap);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(box.left() + w * 0.18, box.top() + h * 0.20, w * 0.64, h * 0.55), 180 * 16,
              180 * 16);
    p.drawLine(QPointF(box.center().x(), box.top() + h * 0.75),
               QPointF(box.center().x(), box.top() + h * 0.92));
    p.drawLine(QPointF(box.left() + w * 0.30, box.top() + h * 0.93),
               QPointF(box.left() + w * 0.70, box.top() + h * 0.93));
}

} // namespace

QPixmap bannerPicture(QSize size) {
    QPixmap pm(size);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0, QColor(255, 248, 214));
    sky.setColorAt(1, QColor(255, 231, 160));
    p.fillRect(pm.rect(), sky);

    // A sound wave along the foot of the banner.
    QPainterPath wave;
    const qreal base = size.height() * 0.86;
    wave.moveTo(0, base);
    for (int x = 0; x <= size.width(); x += 4) {
        const qreal t = x / 18.0;
        wave.lineTo(x, base + std::sin(t) * size.height() * 0.07 * (1 + std::sin(t / 5)));
    }
    p.setPen(QPen(QColor(200, 40, 40), 3));
    p.drawPath(wave);
    // Between the title and the script buttons.
    drawMicrophone(p,
                   QRectF(size.width() * 0.585, size.height() * 0.03, size.height() * 0.48,
                          size.height() * 0.62),
                   QColor(30, 60, 140), QColor(60, 60, 60));
    return pm;
}

QIcon recorderIcon() {
    QIcon icon;
    for (int s : {16, 32, 48, 64, 128}) {
        QPixmap pm(s, s);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 214, 64));
        p.drawEllipse(QRectF(0, 0, s, s));
        drawMicrophone(p, QRectF(s * 0.15, s * 0.12, s * 0.7, s * 0.76), QColor(200, 30, 30),
                       QColor(20, 20, 20));
        icon.addPixmap(pm);
    }
    return icon;
}

QCursor pointingHandCursor() {
    // Outline and fill as 32 x 32 bitmaps: the finger points up at (5, 0).
    QBitmap shape(32, 32);
    QBitmap mask(32, 32);
    shape.fill(Qt::color0);
    mask.fill(Qt::color0);
    QPainterPath hand;
    hand.addRoundedRect(QRectF(2, 0, 7, 16), 3.5, 3.5); // the raised finger
    hand.addRoundedRect(QRectF(2, 11, 22, 16), 5, 5);   // the fist
    hand.addRoundedRect(QRectF(8, 9, 5, 6), 2.5, 2.5);  // knuckles
    hand.addRoundedRect(QRectF(13, 10, 5, 6), 2.5, 2.5);
    hand.addRoundedRect(QRectF(18, 11, 5, 6), 2.5, 2.5);
    hand.setFillRule(Qt::WindingFill);
    {
        QPainter m(&mask);
        m.setPen(QPen(Qt::color1, 3));
        m.setBrush(Qt::color1);
        m.drawPath(hand);
    }
    {
        QPainter p(&shape);
        p.setPen(QPen(Qt::color1, 1.5)); // black outline; white inside
        p.setBrush(Qt::NoBrush);
        p.drawPath(hand.simplified());
    }
    return QCursor(shape, mask, 5, 0);
}

} // namespace platform

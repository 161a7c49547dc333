#include "frmFDJ.h"

#include "WindowUnits.h"

#include <QCursor>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>

#include <cmath>

namespace magnifier {
QSize sourceSize(QSize box, int z) {
    const double scale = 1.0 / z;
    return {int(std::nearbyint(box.width() * scale)), int(std::nearbyint(box.height() * scale))};
}

bool frmFDJ::screenCanBeRead() {
    // Through XWayland (no Wayland plugin for Qt installed) the program is
    // an X client of a Wayland desktop: what it copies of the screen is
    // black wherever the desktop's own windows are.
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland")) &&
           qEnvironmentVariable("XDG_SESSION_TYPE") != QLatin1String("wayland");
}

frmFDJ::frmFDJ(bool simplified, bool screenReadable, ZoomStarter desktopZoom, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint), simplified_(simplified) {
    setObjectName(QStringLiteral("frmFDJ"));
    setAttribute(Qt::WA_DeleteOnClose); // closing keeps no state
    setWindowTitle(QStringLiteral("放大镜"));
    const double dpi = logicalDpiX();

    HScroll1 = new QScrollBar(Qt::Horizontal, this);
    HScroll1->setObjectName(QStringLiteral("HScroll1"));
    HScroll1->setAccessibleName(QStringLiteral("放大倍数"));
    HScroll1->setGeometry(platform::twipsToPixels(120, dpi), platform::twipsToPixels(120, dpi),
                          platform::twipsToPixels(11175, dpi), platform::twipsToPixels(495, dpi));
    HScroll1->setRange(1, 10);
    HScroll1->setSingleStep(1);
    HScroll1->setPageStep(1);
    HScroll1->setValue(1);

    Label1 = new QLabel(QStringLiteral("1"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont big(QStringLiteral("宋体"));
    big.setBold(true);
    big.setPointSizeF(26.25);
    Label1->setFont(big);
    Label1->setStyleSheet(QStringLiteral("color: red;"));
    Label1->setGeometry(platform::twipsToPixels(11370, dpi), platform::twipsToPixels(60, dpi),
                        platform::twipsToPixels(420, dpi), platform::twipsToPixels(615, dpi));
    Label1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    Label2 = new QLabel(QStringLiteral("倍"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    big.setPointSizeF(24);
    Label2->setFont(big);
    Label2->setGeometry(platform::twipsToPixels(11790, dpi), platform::twipsToPixels(60, dpi),
                        platform::twipsToPixels(540, dpi), platform::twipsToPixels(615, dpi));

    Picture1 = new QLabel(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setAccessibleName(QStringLiteral("放大的画面"));
    // Every frame covers the whole box (black where there is no screen), so
    // nothing is painted behind it: no background fill, no style sheet.
    Picture1->setAttribute(Qt::WA_OpaquePaintEvent);
    Picture1->setGeometry(platform::twipsToPixels(120, dpi), platform::twipsToPixels(720, dpi),
                          platform::twipsToPixels(12135, dpi), platform::twipsToPixels(2265, dpi));
    setFixedSize(platform::twipsToPixels(12345, dpi), platform::twipsToPixels(3060, dpi));
    frame_ = QPixmap(Picture1->contentsRect().size());
    frame_.fill(Qt::black); // until the first frame
    Picture1->setPixmap(frame_);

    connect(HScroll1, &QScrollBar::valueChanged, this, &frmFDJ::HScroll1_Change);
    connect(HScroll1, &QScrollBar::sliderMoved, this, &frmFDJ::HScroll1_Change);

    // Load.
    HScroll1_Change();
    Timer1 = new QTimer(this);
    Timer1->setInterval(50);
    connect(Timer1, &QTimer::timeout, this, &frmFDJ::Timer1_Timer);
    HScroll1->setMaximum(9);
    HScroll1->setValue(2);
    HScroll1_Change(); // the title and label for the factor it opens with
    if (!screenReadable) {
        // An empty black box that does not follow the pointer would look
        // broken: the box says why, and where the desktop's own zoom is.
        Picture1->setAttribute(Qt::WA_OpaquePaintEvent, false);
        Picture1->setStyleSheet(QStringLiteral("background: white; color: black;"));
        QFont plain = Picture1->font();
        plain.setPointSizeF(16);
        plain.setBold(true);
        Picture1->setFont(plain);
        Picture1->setWordWrap(true);
        Picture1->setMargin(12);
        if (desktopZoom) {
            // Said while the desktop is asked; its answer replaces it.
            Picture1->setText(simplified ? QStringLiteral("正在打开桌面自带的放大镜…")
                                         : QStringLiteral("正在開啟桌面內建的放大鏡…"));
            zoom_ = std::make_unique<ZoomLine>(std::move(desktopZoom), factor(), this,
                                               [this](ZoomLine::Answer a) { zoomAnswered(a); });
            return;
        }
        showNoZoom();
        return;
    }
    Timer1->start();
}

// Closing the window puts the user's own zoom settings back.
frmFDJ::~frmFDJ() = default;

void frmFDJ::zoomAnswered(ZoomLine::Answer answer) {
    if (!answer.on) {
        showNoZoom();
        return;
    }
    // An answer for a factor the slider has left is followed by the one for
    // where it is now.
    if (answer.factor == HScroll1->sliderPosition())
        showZoomText(answer.factor, answer.taken);
}

void frmFDJ::showNoZoom() {
    Picture1->setText(
        simplified_
            ? QStringLiteral("这个桌面不让程序读取屏幕，放大镜看不到画面。请用桌面自带的放大"
                             "镜：GNOME 在“设置”→“辅助功能”→“缩放”里打开；KDE 按 Meta "
                             "键和 = 键放大，Meta 键和 - 键缩小。")
            : QStringLiteral("這個桌面不讓程式讀取螢幕，放大鏡看不到畫面。請用桌面內建的放大"
                             "鏡：GNOME 在「設定」→「協助工具」→「縮放」裡開啟；KDE 按 Meta "
                             "鍵和 = 鍵放大，Meta 鍵和 - 鍵縮小。"));
}

void frmFDJ::showZoomText(int factor, bool taken) {
    const QString n = QString::number(factor);
    if (!taken) {
        // Saying "zooming N times" when the desktop did not answer would
        // leave the user looking for a change that never came.
        Picture1->setText(
            simplified_ ? QStringLiteral("桌面自带的放大镜没有回应，没能改成放大 %1 倍。").arg(n)
                        : QStringLiteral("桌面內建的放大鏡沒有回應，沒能改成放大 %1 倍。").arg(n));
        return;
    }
    Picture1->setText(
        simplified_
            ? QStringLiteral("桌面自带的放大镜已经打开，正在放大 %1 倍。拖动上面的滑块改变倍数；"
                             "关闭这个窗口，放大镜也就关了。")
                  .arg(n)
            : QStringLiteral("桌面內建的放大鏡已經開啟，正在放大 %1 倍。拖動上面的捲軸改變倍數；"
                             "關閉這個視窗，放大鏡也就關了。")
                  .arg(n));
}

int frmFDJ::factor() const {
    return HScroll1->value();
}

void frmFDJ::HScroll1_Change() {
    const QString factor = QString::number(HScroll1->sliderPosition());
    Label1->setText(factor);
    setWindowTitle(QStringLiteral("放大倍数为") + factor + QStringLiteral("倍"));
    if (zoom_)
        zoom_->setFactor(HScroll1->sliderPosition());
}

bool frmFDJ::Timer1_Timer() {
    if (isMinimized() || !isVisible())
        return false;
    const QPoint pointer = QCursor::pos();
    const QSize box = Picture1->contentsRect().size();
    const QSize source = sourceSize(box, factor());
    if (source.isEmpty())
        return false;
    QScreen* screen = QGuiApplication::screenAt(pointer);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect area(pointer, source);
    // One frame buffer, reused; the grab is drawn straight into it at the
    // box's size (no smoothing: hard pixel edges are easier to read when
    // enlarged), so no intermediate image is made, scaled or converted.
    if (frame_.size() != box)
        frame_ = QPixmap(box);
    const double sx = double(box.width()) / source.width();
    const double sy = double(box.height()) / source.height();
    const auto toBox = [&](const QRect& r) {
        const QRect local = r.translated(-area.topLeft());
        return QRectF(local.x() * sx, local.y() * sy, local.width() * sx, local.height() * sy);
    };
    const QRect onScreen = area.intersected(screen->geometry());
    QPainter painter(&frame_);
    // What lies beyond the screen's edge stays black.
    if (onScreen != area)
        painter.fillRect(frame_.rect(), Qt::black);
    if (!onScreen.isEmpty()) {
        const QPixmap grabbed = screen->grabWindow(0, onScreen.x() - screen->geometry().x(),
                                                   onScreen.y() - screen->geometry().y(),
                                                   onScreen.width(), onScreen.height());
        painter.drawPixmap(toBox(onScreen), grabbed, QRectF(grabbed.rect()));
        // The magnifier does not magnify itself: its own rectangle stays black,
        // or the picture would feed back into itself.
        const QRect self = frameGeometry().intersected(area);
        if (!self.isEmpty())
            painter.fillRect(toBox(self), Qt::black);
    }
    painter.end();
    Picture1->setPixmap(frame_);
    return true;
}

} // namespace magnifier

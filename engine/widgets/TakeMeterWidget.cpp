#include "TakeMeterWidget.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace recorder {
namespace {

// A label is changed only when what it shows changes: a style sheet set
// again, even the same one, has the label's style worked out anew, and the
// meter is refreshed five times a second for as long as a take runs.
void showIn(QLabel* label, const QString& text, const QString& colour) {
    if (label->text() != text)
        label->setText(text);
    const QString style = QStringLiteral("color: %1;").arg(colour);
    if (label->styleSheet() != style)
        label->setStyleSheet(style);
}

} // namespace

// The level on a decibel scale from -60 dBFS to full scale, so that a
// quiet voice moves the bar visibly: yellow over -12 dB, red over -2 dB.
class LevelBar final : public QWidget {
public:
    using QWidget::QWidget;
    float level = 0;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), Qt::black);
        const double db = level > 0 ? 20 * std::log10(double(level)) : -60;
        const double share = std::clamp((db + 60) / 60, 0.0, 1.0);
        const QColor colour = db > -2 ? Qt::red : db > -12 ? Qt::yellow : QColor(0, 230, 0);
        p.fillRect(QRect(2, 2, int((width() - 4) * share), height() - 4), colour);
    }
};

TakeMeterWidget::TakeMeterWidget(QWidget* parent)
    : QWidget(parent), clock_(new QLabel(this)), bar_(new LevelBar(this)), line_(new QLabel(this)) {
    setObjectName(QStringLiteral("takeMeter"));
    clock_->setObjectName(QStringLiteral("takeClock"));
    line_->setObjectName(QStringLiteral("takeLine"));
    bar_->setObjectName(QStringLiteral("takeLevel"));
    QFont big = font();
    big.setPointSizeF(18);
    big.setBold(true);
    clock_->setFont(big);
    QFont plain = font();
    plain.setPointSizeF(13);
    plain.setBold(true);
    line_->setFont(plain);
    auto* top = new QHBoxLayout;
    top->addWidget(clock_, 0);
    top->addWidget(bar_, 1);
    auto* all = new QVBoxLayout(this);
    all->setContentsMargins(0, 0, 0, 0);
    all->addLayout(top);
    all->addWidget(line_);
    bar_->setMinimumHeight(24);
    show(engine::TakeView{}, true);
}

float TakeMeterWidget::level() const {
    return bar_->level;
}

void TakeMeterWidget::show(const engine::TakeView& view, bool simplified) {
    const int seconds = int(view.seconds);
    const QString time =
        QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
    QString state;
    QString colour = QStringLiteral("black");
    if (view.recording && view.paused) {
        state = simplified ? QStringLiteral("已暂停 ") : QStringLiteral("已暫停 ");
        colour = QStringLiteral("rgb(0, 0, 160)");
    } else if (view.recording) {
        state = simplified ? QStringLiteral("● 录音中 ") : QStringLiteral("● 錄音中 ");
        colour = QStringLiteral("rgb(200, 0, 0)");
    }
    showIn(clock_, state + time, colour);
    const float level = view.recording ? view.level : 0;
    if (level != bar_->level) {
        bar_->level = level;
        bar_->update();
    }
    // Where the last save went is said until a new take begins.
    if (view.recording)
        savedTo_.clear();
    if (!view.savedTo.empty())
        savedTo_ = view.savedTo;
    silent_ = view.silent;
    showLine(simplified);
}

void TakeMeterWidget::showListening(bool on, bool simplified) {
    listening_ = on;
    showLine(simplified);
}

void TakeMeterWidget::showLine(bool simplified) {
    QString colour = QStringLiteral("black");
    QString text;
    if (silent_) {
        text = simplified ? QStringLiteral("没有听到声音，请检查麦克风。")
                          : QStringLiteral("沒有聽到聲音，請檢查麥克風。");
        colour = QStringLiteral("rgb(200, 0, 0)");
    } else if (!savedTo_.empty()) {
        // One line: a long folder gives way in the middle, the file's own
        // name stays; the whole of it is the tip.
        const QString where = QString::fromStdString(savedTo_);
        const QString said =
            simplified ? QStringLiteral("已保存到：") : QStringLiteral("已儲存到：");
        text =
            said + line_->fontMetrics().elidedText(
                       where, Qt::ElideMiddle,
                       std::max(0, line_->width() - line_->fontMetrics().horizontalAdvance(said)));
        line_->setToolTip(where);
    } else if (listening_) {
        text = simplified ? QStringLiteral("正在听您的口令") : QStringLiteral("正在聽您的口令");
        colour = QStringLiteral("rgb(0, 110, 0)");
    }
    showIn(line_, text, colour);
}

} // namespace recorder

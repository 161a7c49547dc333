#include "TakeMeterWidget.h"

#include "UserFolders.h"
#include "WindowUnits.h"

#include <QAccessible>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <utility>

namespace engine {
namespace {

constexpr double kClockPoints = 18;
constexpr double kLinePoints = 13;

// A label is changed only when what it shows changes: a style sheet set
// again, even the same one, has the label's style worked out anew, and the
// meter is refreshed five times a second for as long as a take runs.
// Returns whether the text changed.
bool showIn(QLabel* label, const QString& text, const QString& colour) {
    const bool changed = label->text() != text;
    if (changed)
        label->setText(text);
    const QString style = QStringLiteral("color: %1;").arg(colour);
    if (label->styleSheet() != style)
        label->setStyleSheet(style);
    return changed;
}

// A screen reader is told of a change it would not otherwise hear: the
// label's name is what it now says.
void announce(QLabel* label, const QString& name) {
    label->setAccessibleName(name);
#if QT_CONFIG(accessibility)
    QAccessibleEvent event(label, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
#endif
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
    big.setPointSizeF(kClockPoints);
    big.setBold(true);
    clock_->setFont(big);
    QFont plain = font();
    plain.setPointSizeF(kLinePoints);
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

void TakeMeterWidget::fitToWindow() {
    for (auto [label, points] : {std::pair{clock_, kClockPoints}, std::pair{line_, kLinePoints}}) {
        QFont f = label->font();
        f.setPointSizeF(platform::fittedPoints(*this, points));
        label->setFont(f);
    }
    bar_->setMinimumHeight(int(24 * platform::fittedPoints(*this, 1)));
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
    // The clock's name is what it shows; it is announced when the state
    // changes ("● 录音中", "已暂停"), not at every second.
    if (showIn(clock_, state + time, colour)) {
        clock_->setAccessibleName(clock_->text());
        if (state != shownState_) {
            shownState_ = state;
            announce(clock_, clock_->text());
        }
    }
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
    replaced_ = view.replacedToTrash;
    kept_ = view.replacedKept;
    interrupted_ = view.interruptedSeconds;
    const QString barName =
        simplified ? QStringLiteral("麦克风音量") : QStringLiteral("麥克風音量");
    if (bar_->accessibleName() != barName) // refreshed five times a second
        bar_->setAccessibleName(barName);
    showLine(simplified);
}

void TakeMeterWidget::showListening(bool on, bool simplified) {
    listening_ = on;
    showLine(simplified);
}

void TakeMeterWidget::showPreparing(bool on, bool simplified) {
    preparing_ = on;
    showLine(simplified);
}

void TakeMeterWidget::showLine(bool simplified) {
    QString colour = QStringLiteral("black");
    QString text;
    QString full; // the whole path, when the line names a file
    if (silent_) {
        text = simplified ? QStringLiteral("没有听到声音，请检查麦克风。")
                          : QStringLiteral("沒有聽到聲音，請檢查麥克風。");
        colour = QStringLiteral("rgb(200, 0, 0)");
    } else if (interrupted_ > 0) {
        text = (simplified ? QStringLiteral("录音中断了%1秒：电脑太忙了")
                           : QStringLiteral("錄音中斷了%1秒：電腦太忙了"))
                   .arg(interrupted_);
        colour = QStringLiteral("rgb(200, 0, 0)");
    } else if (kept_) {
        text = simplified
                   ? QStringLiteral("上一段没有保存的录音没能放进回收站，下次打开时会再问您。")
                   : QStringLiteral("上一段沒有保存的錄音沒能放進回收站，下次打開時會再問您。");
        colour = QStringLiteral("rgb(200, 0, 0)");
    } else if (replaced_) {
        text = simplified
                   ? QStringLiteral("上一段没有保存的录音已放进回收站，可以在“我的录音”里找回。")
                   : QStringLiteral("上一段沒有保存的錄音已放進回收站，可以在「我的錄音」裡找回。");
        colour = QStringLiteral("rgb(0, 0, 160)");
    } else if (!savedTo_.empty()) {
        // The place as she knows it, no slashes; the whole path is the tip.
        text = savedInWords(simplified);
        full = QString::fromStdString(savedTo_);
    } else if (preparing_) {
        text = simplified ? QStringLiteral("正在准备…") : QStringLiteral("正在準備…");
        colour = QStringLiteral("rgb(0, 0, 160)");
    } else if (listening_) {
        text = simplified ? QStringLiteral("正在听您的口令") : QStringLiteral("正在聽您的口令");
        colour = QStringLiteral("rgb(0, 110, 0)");
    }
    // One line: a long place gives way in the middle, the file's own name
    // at its end stays, and the whole path is the tip.
    const QString shown =
        full.isEmpty() ? text
                       : line_->fontMetrics().elidedText(text, Qt::ElideMiddle, line_->width());
    if (line_->accessibleDescription() != full) {
        line_->setToolTip(full);
        line_->setAccessibleDescription(full);
    }
    if (showIn(line_, shown, colour))
        announce(line_, text);
}

QString TakeMeterWidget::savedInWords(bool simplified) const {
    const QFileInfo file(QString::fromStdString(savedTo_));
    const QString name = file.suffix().compare(QStringLiteral("wav"), Qt::CaseInsensitive) == 0
                             ? file.completeBaseName()
                             : file.fileName();
    return (simplified ? QStringLiteral("已保存在 %1 里：%2")
                       : QStringLiteral("已儲存在 %1 裡：%2"))
        .arg(platform::folderInWords(file.absolutePath(), simplified), name);
}

} // namespace engine

#include "frmTrain.h"

#include "CommandWords.h"
#include "WindowUnits.h"

#include <algorithm>
#include <cmath>

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

namespace speech {
namespace {

using W = frmTrain;
using platform::control;

enum Text {
    Title,
    Hint,
    Count,
    Listening,
    Heard,
    NotHeard,
    LikeAnother,
    TooLoud,
    TooSoft,
    Finished,
    ListenFirst,
    Redo,
    Clear,
    Cancel,
    Done,
};

constexpr platform::ScriptText kTexts[] = {
    {"口令训练", "口令訓練"},
    {"请对着麦克风，清楚地说出下面的口令：", "請對著麥克風，清楚地說出下面的口令："},
    {"第 %1 个口令（共 %2 个），第 %3 遍（共 %4 遍）",
     "第 %1 個口令（共 %2 個），第 %3 遍（共 %4 遍）"},
    {"请说……", "請說……"},
    {"听到了，很好！", "聽到了，很好！"},
    {"没有听清楚。请离麦克风近一点，说完整个口令，再说一遍。",
     "沒有聽清楚。請離麥克風近一點，說完整個口令，再說一遍。"},
    {"这一遍听起来像另一个口令。请看清上面的字，说“%1”。",
     "這一遍聽起來像另一個口令。請看清上面的字，說「%1」。"},
    {"声音太大，录音失真了。请离麦克风远一点，用平常的声音再说一遍。",
     "聲音太大，錄音失真了。請離麥克風遠一點，用平常的聲音再說一遍。"},
    {"声音太小了。请离麦克风近一点，大声一点再说一遍。",
     "聲音太小了。請離麥克風近一點，大聲一點再說一遍。"},
    {"训练完成！请按“完成”。以后将按您的声音识别口令。",
     "訓練完成！請按「完成」。以後將按您的聲音識別口令。"},
    {"请先听，听完再跟着说。", "請先聽，聽完再跟著說。"},
    {"重说这个口令", "重說這個口令"},
    {"清除训练", "清除訓練"},
    {"取消", "取消"},
    {"完成", "完成"},
};

constexpr platform::LayoutRow<W> kPlaces[] = {
    {control<&W::lblHint>, 240, 240, 6960, 495, {15.75, true}},
    {control<&W::lblWord>, 240, 840, 6960, 1200, {42, true}},
    {control<&W::barLevel>, 240, 2100, 6960, 300, {9}},
    {control<&W::lblCount>, 240, 2460, 6960, 495, {14.25}},
    {control<&W::lblStatus>, 240, 2940, 6960, 735, {15.75, true}},
    {control<&W::cmdRedo>, 240, 3780, 2295, 735, {14.25, true}},
    {control<&W::cmdClear>, 2640, 3780, 1815, 735, {14.25, true}},
    {control<&W::cmdCancel>, 4560, 3780, 1215, 735, {14.25, true}},
    {control<&W::cmdDone>, 5880, 3780, 1335, 735, {14.25, true}},
};

} // namespace

frmTrain::frmTrain(bool simplified, bool haveProfile, QWidget* parent)
    : QDialog(parent), simplified_(simplified) {
    setObjectName(QStringLiteral("frmTrain"));
    setWindowTitle(text(Title));
    auto label = [this](const char* name) {
        auto* l = platform::named<QLabel>(name, this);
        l->setWordWrap(true);
        return l;
    };
    lblHint = label("lblHint");
    lblWord = label("lblWord");
    lblWord->setAlignment(Qt::AlignCenter);
    lblWord->setStyleSheet(QStringLiteral("color: red; background: white;"));
    lblCount = label("lblCount");
    lblStatus = label("lblStatus");
    lblStatus->setStyleSheet(QStringLiteral("color: rgb(0, 0, 128);"));
    // The microphone's level, so that the user sees it hears them.
    barLevel = new QProgressBar(this);
    barLevel->setObjectName(QStringLiteral("barLevel"));
    barLevel->setRange(0, 100);
    barLevel->setTextVisible(false);
    auto button = [this](const char* name, int caption) {
        auto* b = platform::named<QPushButton>(name, text(caption), this);
        b->setAutoDefault(false);
        return b;
    };
    cmdRedo = button("cmdRedo", Redo);
    cmdClear = button("cmdClear", Clear);
    cmdCancel = button("cmdCancel", Cancel);
    cmdDone = button("cmdDone", Done);
    platform::layOut(*this, kPlaces);
    setFixedSize(platform::twipsToPixels(7440, logicalDpiX()),
                 platform::twipsToPixels(4740, logicalDpiX()));
    setStyleSheet(QStringLiteral("#frmTrain { background: rgb(255, 255, 192); }"));
    setAttribute(Qt::WA_StyledBackground);
    lblHint->setText(text(Hint));
    cmdClear->setEnabled(haveProfile);
    cmdDone->setEnabled(false);

    connect(cmdRedo, &QPushButton::clicked, this, &frmTrain::cmdRedo_Click);
    connect(cmdClear, &QPushButton::clicked, this, &frmTrain::cmdClear_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(cmdDone, &QPushButton::clicked, this, &QDialog::accept);
    showStep();
    lblStatus->setText(text(Listening));
}

QString frmTrain::text(int row) const {
    return QString::fromUtf8(kTexts[row].in(simplified_));
}

QString frmTrain::wordText() const {
    const CommandWord& w = kCommandWords[sequence_.word()];
    return QString::fromUtf8(simplified_ ? w.word : w.traditional);
}

void frmTrain::showStep() {
    if (sequence_.finished()) {
        lblWord->setText(QString());
        lblCount->setText(QString());
        lblStatus->setText(text(Finished));
        cmdDone->setEnabled(true);
        cmdDone->setFocus();
        return;
    }
    lblWord->setText(wordText());
    lblCount->setText(text(Count)
                          .arg(sequence_.word() + 1)
                          .arg(TrainingSequence::words())
                          .arg(sequence_.nextTake())
                          .arg(VoiceProfile::kTakesPerWord));
}

void frmTrain::setWordSpeaker(WordSpeaker speaker) {
    speaker_ = std::move(speaker);
    speakWord();
}

void frmTrain::speakWord() {
    if (!speaker_ || !sequence_.wantsSaying())
        return;
    sequence_.sayingToUser();
    lblStatus->setText(text(ListenFirst));
    speaker_(sequence_.word(), [this] {
        sequence_.saidToUser();
        lblStatus->setText(text(Listening));
    });
}

void frmTrain::Level_Changed(float peak) {
    // A square root, so that a normal voice fills about half the bar.
    barLevel->setValue(int(100.0f * std::sqrt(std::clamp(peak, 0.0f, 1.0f))));
}

void frmTrain::Utterance_Heard(const std::vector<std::int16_t>& samples) {
    using Status = TrainingSequence::Status;
    switch (sequence_.hear(samples)) {
    case Status::Ignored:
        return;
    case Status::NotHeard:
        lblStatus->setText(text(NotHeard));
        return;
    case Status::LikeAnother:
        lblStatus->setText(text(LikeAnother).arg(wordText()));
        return;
    case Status::TooLoud:
        lblStatus->setText(text(TooLoud));
        return;
    case Status::TooSoft:
        lblStatus->setText(text(TooSoft));
        return;
    case Status::Heard:
        break;
    }
    lblStatus->setText(text(Heard));
    showStep();
    speakWord();
}

void frmTrain::cmdRedo_Click() {
    sequence_.redo();
    cmdDone->setEnabled(false);
    lblStatus->setText(text(Listening));
    showStep();
    speakWord();
}

void frmTrain::cmdClear_Click() {
    done(kCleared);
}

} // namespace speech

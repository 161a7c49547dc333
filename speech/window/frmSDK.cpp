#include "frmSDK.h"

#include "Artwork.h"
#include "UserFolders.h"
#include "WindowUnits.h"
#include "frmOffer.h"
#include "frmTrain.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QStandardPaths>
#include <QTextEdit>
#include <QTimer>
#include <QUrl>

#include <filesystem>

#ifndef MAKER_SITE_URL
#define MAKER_SITE_URL "http://www.quorvel.example"
#endif

namespace speech {
namespace {

using W = frmSDK;
using platform::control;

// Places in twips relative to each control's container; fonts in points.
constexpr platform::LayoutRow<W> kPlaces[] = {
    {control<&W::Picture1>, 0, 0, 5775, 2175, {12}},
    {control<&W::Command1>, 840, 2400, 1575, 735, {15, true}},
    {control<&W::Command2>, 3480, 2400, 1575, 735, {15, true}},
    {control<&W::Frame3>, 120, 3360, 5535, 1215, {12}},
    {control<&W::Frame2>, 120, 4680, 5535, 975, {12}},
    {control<&W::Frame1>, 120, 5760, 5535, 1455, {12}},
    {control<&W::Label8>, 3240, 7320, 2535, 375, {12, true}},
    {control<&W::cmdTrain>, 120, 7260, 2895, 570, {14.25, true}},
    // Below the controls of old: what the take is doing now.
    {control<&W::takeMeter>, 120, 7920, 5535, 1080},
    // Her recordings, kept and found again (also F6).
    {control<&W::cmdRecordings>, 120, 9060, 5535, 615, {15, true}},
    {control<&W::lblSX>, 120, 120, 3135, 495, {15.75, true}},
    {control<&W::Label9>, 3720, 120, 2055, 375, {12}},
    {control<&W::lbl2>, 1320, 720, 975, 495, {18, true}},
    {control<&W::Label4>, 3600, 720, 855, 495, {18, true}},
    {control<&W::lbl1>, 240, 960, 1335, 495, {18, true}},
    {control<&W::Label2_0>, 2040, 960, 495, 375, {18, true}},
    {control<&W::Label3>, 2520, 960, 1215, 495, {18, true}},
    {control<&W::Label2_1>, 4320, 960, 495, 375, {18, true}},
    {control<&W::Label6>, 4800, 960, 1095, 495, {18, true}},
    {control<&W::Label1>, 1320, 1200, 1095, 495, {18, true}},
    {control<&W::Label5>, 3600, 1200, 975, 495, {18, true}},
    {control<&W::Label7>, 1320, 1800, 4935, 375, {15.75, true}},
    {control<&W::btnRecord>, 120, 360, 975, 660, {12}},
    {control<&W::btnPause>, 1560, 360, 975, 645, {12}},
    {control<&W::btnPlay>, 3000, 360, 975, 660, {12}},
    {control<&W::btnSave>, 4440, 360, 975, 660, {12}},
    {control<&W::lblPos>, 120, 360, 5175, 405, {12}},
    {control<&W::Text1>, 120, 360, 5295, 855, {12}},
};

constexpr platform::CaptionRow<W> kCaptions[] = {
    {platform::itself<W>, "语音识别录音机", "語音識別錄音機"},
    {control<&W::lblSX>, "语音识别口令顺序：", "語音識別口令順序："},
    {control<&W::lbl1>, "录音→", "錄音→"},
    {control<&W::lbl2>, "暂停", "暫停"},
    {control<&W::Label1>, "继续", "繼續"},
    {control<&W::Label3>, "停止→", "停止→"},
    {control<&W::Label4>, "播放", "播放"},
    {control<&W::Label5>, "试听", "試聽"},
    {control<&W::Label6>, "保存", "保存"},
    {control<&W::Command1>, "开始识别", "開始識別"},
    {control<&W::Command2>, "停止识别", "停止識別"},
    {control<&W::cmdTrain>, "口令训练", "口令訓練"},
    {control<&W::Frame2>, "录音状态", "錄音狀態"},
    {control<&W::Frame1>, "语音识别检测", "語音識別檢測"},
    {control<&W::Label9>, "使用格式转换软件", "使用格式轉換軟件"},
    {control<&W::Label8>, "下载SDK语音识别包", "下載SDK語音識別包"},
    {control<&W::Label7>, "注意：暂停或继续可用可不用", "注意：暫停或繼續可用可不用"},
    {control<&W::Frame3>, "辅助按钮", "輔助按鈕"},
    {control<&W::btnRecord>, "录 音", "錄 音"},
    {control<&W::btnPause>, "暂 停", "暫 停"},
    {control<&W::btnPlay>, "播 放", "播 放"},
    {control<&W::btnSave>, "保 存", "保 存"},
    {control<&W::cmdRecordings>, "我的录音", "我的錄音"},
};

// A file or folder of the program's own in the user's data folder.
std::filesystem::path userFile(const char* name) {
    return std::filesystem::path(
        (QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + u'/' +
         QLatin1String(name))
            .toStdU16String());
}

} // namespace

frmSDK::frmSDK(audio::AudioLibrary& library, platform::Dialogs& dialogs, platform::Shell& shell,
               std::function<bool()> simplified, SpeechBackendFactory recogniser, QWidget* parent)
    : QWidget(parent), library_(library), dialogs_(dialogs), shell_(shell),
      simplified_(std::move(simplified)) {
    setObjectName(QStringLiteral("frmSDK"));
    setWindowIcon(platform::recorderIcon());
    createControls();
    applyCaptions(true);
    engineWindow_ = std::make_unique<engine::WidgetEngineWindow>(
        engine::WidgetEngineWindow::Controls{this, btnRecord, btnPlay, btnSave, lblPos, takeMeter},
        dialogs_, simplified_);
    controller_ = std::make_unique<engine::RecorderController>(
        library, *engineWindow_, "Oakhalt", platform::recoveryFolder(), &platform::moveToTrash);
    // What the recogniser learnt of this user's voice and microphone is
    // kept for the next run, so that the first word said then is heard as
    // well as the later ones.
    auto keepingHearing = [factory = std::move(recogniser)](SpeechBackend::Sinks sinks) {
        auto backend = factory(std::move(sinks));
        if (backend)
            backend->keepHearingIn(userFile("hearing"));
        return backend;
    };
    session_ = std::make_unique<CommandSession>(
        *controller_, static_cast<View&>(*this), std::move(keepingHearing),
        std::make_unique<FolderVoiceStore>(userFile("voice")));
    // A button pressed soon after a command may be undoing it.
    for (QPushButton* b : {btnRecord, btnPause, btnPlay, btnSave, Command2})
        connect(b, &QPushButton::pressed, session_.get(), &CommandSession::cancelLearning);
}

frmSDK::~frmSDK() = default;

void frmSDK::createControls() {
    Picture1 = platform::named<QLabel>("Picture1", this);
    Picture1->setStyleSheet(QStringLiteral("background: white;"));
    for (auto [member, name] :
         std::initializer_list<std::pair<QLabel**, const char*>>{{&lblSX, "lblSX"},
                                                                 {&lbl1, "lbl1"},
                                                                 {&lbl2, "lbl2"},
                                                                 {&Label1, "Label1"},
                                                                 {&Label2_0, "Label2_0"},
                                                                 {&Label3, "Label3"},
                                                                 {&Label2_1, "Label2_1"},
                                                                 {&Label4, "Label4"},
                                                                 {&Label5, "Label5"},
                                                                 {&Label6, "Label6"},
                                                                 {&Label7, "Label7"}})
        *member = platform::named<QLabel>(name, Picture1);
    Label2_0->setText(QStringLiteral("→"));
    Label2_1->setText(QStringLiteral("→"));
    lbl1->setStyleSheet(QStringLiteral("color: red;"));
    Label3->setStyleSheet(QStringLiteral("color: red;"));
    Label7->setStyleSheet(QStringLiteral("color: rgb(0, 0, 128);"));
    Label9 = platform::named<platform::LinkLabel>("Label9", Picture1);
    Label8 = platform::named<platform::LinkLabel>("Label8", this);
    for (auto* link : {Label8, Label9}) {
        link->setStyleSheet(QStringLiteral("color: blue;"));
        link->setCursor(platform::pointingHandCursor());
    }
    Label8->setToolTip(QStringLiteral("下载语音识别包，否则无法请进行语音识别"));
    Label9->setToolTip(QStringLiteral("使用Vantrel进行格式转换"));
    Command1 = platform::named<QPushButton>("Command1", this);
    Command2 = platform::named<QPushButton>("Command2", this);
    cmdTrain = platform::named<QPushButton>("cmdTrain", this);
    cmdRecordings = platform::named<QPushButton>("cmdRecordings", this);
    auto* list = new QAction(this);
    list->setShortcut(QKeySequence(Qt::Key_F6));
    list->setShortcutContext(Qt::WindowShortcut);
    connect(list, &QAction::triggered, this, &frmSDK::cmdRecordings_Click);
    addAction(list);
    cmdRecordings->setToolTip(QStringLiteral("F6"));
    Frame3 = platform::named<QGroupBox>("Frame3", this);
    btnRecord = platform::named<QPushButton>("btnRecord", Frame3);
    btnPause = platform::named<QPushButton>("btnPause", Frame3);
    btnPlay = platform::named<QPushButton>("btnPlay", Frame3);
    btnSave = platform::named<QPushButton>("btnSave", Frame3);
    Frame2 = platform::named<QGroupBox>("Frame2", this);
    lblPos = platform::named<QLabel>("lblPos", Frame2);
    takeMeter = new engine::TakeMeterWidget(this);
    Frame1 = platform::named<QGroupBox>("Frame1", this);
    Text1 = platform::named<QTextEdit>("Text1", Frame1);
    Text1->setAcceptRichText(false);

    const double dpi = platform::fitToScreen(*this, 5730, 9780);
    platform::layOut(*this, kPlaces);
    takeMeter->fitToWindow();
    for (QWidget* w : {Label8, Label9}) {
        QFont f = w->font();
        f.setUnderline(true);
        w->setFont(f);
    }
    setFixedSize(platform::twipsToPixels(5730, dpi), platform::twipsToPixels(9780, dpi));
    // Light yellow, as the window has always been.
    setStyleSheet(QStringLiteral("#frmSDK { background: rgb(255, 255, 192); }"));
    setAttribute(Qt::WA_StyledBackground);

    btnPlay->setEnabled(false);
    btnSave->setEnabled(false);
    tmrRec = new QTimer(this);
    tmrRec->setInterval(engine::RecorderController::kRefreshMilliseconds);

    connect(btnRecord, &QPushButton::clicked, this, &frmSDK::btnRecord_Click);
    connect(btnPause, &QPushButton::clicked, this, &frmSDK::btnPause_Click);
    connect(btnPlay, &QPushButton::clicked, this, &frmSDK::btnPlay_Click);
    connect(btnSave, &QPushButton::clicked, this, &frmSDK::btnSave_Click);
    connect(Command1, &QPushButton::clicked, this, &frmSDK::StartRecognition);
    connect(Command2, &QPushButton::clicked, this, &frmSDK::Command2_Click);
    connect(cmdTrain, &QPushButton::clicked, this, &frmSDK::cmdTrain_Click);
    connect(cmdRecordings, &QPushButton::clicked, this, &frmSDK::cmdRecordings_Click);
    connect(Label8, &platform::LinkLabel::clicked, this, &frmSDK::Label8_Click);
    connect(Label9, &platform::LinkLabel::clicked, this, &frmSDK::Label9_Click);
    connect(tmrRec, &QTimer::timeout, this, &frmSDK::tmrRec_Timer);
}

void frmSDK::applyCaptions(bool simplified) {
    platform::applyCaptions(*this, kCaptions, simplified);
}

bool frmSDK::Load(std::function<void()> failedAndTold) {
    session_->setActive(false);
    QDir::setCurrent(QCoreApplication::applicationDirPath());
    if (!controller_->start(std::move(failedAndTold)))
        return false;
    tmrRec->start();
    session_->prepare(); // the recogniser loads while she reads the window
    return true;
}

void frmSDK::Label8_Click() {
    platform::openPage(
        shell_, dialogs_, this,
        QUrl(QStringLiteral(MAKER_SITE_URL "/down_Show.asp?InfoId=192&ClassId=32&Topid=0")),
        simplified_());
}

void frmSDK::Label9_Click() {
    platform::openPage(
        shell_, dialogs_, this,
        QUrl(QStringLiteral(MAKER_SITE_URL "/down_Show.asp?InfoId=182&ClassId=30&Topid=0")),
        simplified_());
}

void frmSDK::showListening(bool active) {
    Command1->setEnabled(!active);
    Command2->setEnabled(active);
    takeMeter->showListening(active, simplified_());
}

void frmSDK::showPreparing(bool on) {
    Command1->setEnabled(!on);
    Command2->setEnabled(on);
    takeMeter->showPreparing(on, simplified_());
}

void frmSDK::showHeard(const QString& phrase) {
    Text1->insertPlainText(phrase + QLatin1Char(' '));
}

void frmSDK::clearHeard() {
    Text1->clear();
}

void frmSDK::warn(const QString& text) {
    dialogs_.notice(this, windowTitle(), text, platform::MessageIcon::Exclamation);
}

void frmSDK::setPromptMedia(platform::MediaControl& media, const QString& folder) {
    voice_ = std::make_unique<platform::PromptPlayer>(&media);
    session_->setVoice(voice_.get(), folder);
}

void frmSDK::offerTraining() {
    if (!session_->wantsOffer(offerMemory_.declined))
        return;
    auto* offer = new frmOffer(simplified_(), this);
    session_->sayOffer();
    dialogs_.openModal(*offer, [this, offer](int result) {
        offer->deleteLater();
        if (result == QDialog::Accepted)
            cmdTrain_Click();
        else if (offerMemory_.decline)
            offerMemory_.decline();
    });
}

void frmSDK::cmdTrain_Click() {
    if (!session_->beginTraining())
        return;
    auto* train = new frmTrain(simplified_(), session_->store().hasRecordings(), this);
    connect(&session_->context(), &RecoContext::Utterance, train, &frmTrain::Utterance_Heard);
    connect(&session_->context(), &RecoContext::Level, train, &frmTrain::Level_Changed);
    if (voice_) {
        QPointer<frmTrain> window(train);
        train->setWordSpeaker([this, window](std::size_t word, std::function<void()> done) {
            session_->sayWord(
                word, [window] { return !window.isNull(); }, std::move(done));
        });
    }
    dialogs_.openModal(*train, [this, train](int result) {
        // Heard words go nowhere once it has closed, though it is deleted later.
        disconnect(&session_->context(), nullptr, train, nullptr);
        train->deleteLater();
        using End = CommandSession::TrainingEnd;
        session_->endTraining(result == QDialog::Accepted    ? End::Kept
                              : result == frmTrain::kCleared ? End::Cleared
                                                             : End::Cancelled,
                              train->profile());
    });
}

void frmSDK::cmdRecordings_Click() {
    recordings::frmRecordings::openFor(recordings_, library_, dialogs_, &shell_, simplified_(),
                                       this);
}

void frmSDK::closeEvent(QCloseEvent* event) {
    // Closing this window ends the launcher; an unsaved take stays on disk
    // for the next start, and one that is not whole there is asked about.
    if (!controller_->engine().QueryClose([this] { close(); })) {
        event->ignore();
        return;
    }
    tmrRec->stop();
    controller_->shutdown();
    event->accept();
    QApplication::quit();
}

} // namespace speech

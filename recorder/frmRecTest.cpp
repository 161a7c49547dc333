#include "frmRecTest.h"

#include "Artwork.h"
#include "MCIplay.h"
#include "SystemVer.h"
#include "TakeMeterWidget.h"
#include "UserFolders.h"
#include "WindowUnits.h"
#include "frmRecTestFace.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <cmath>

#ifndef MAKER_WEB_ADDRESS
#define MAKER_WEB_ADDRESS "www.quorvel.example"
#endif
#ifndef MAKER_SITE_URL
#define MAKER_SITE_URL "http://www.quorvel.example"
#endif

namespace recorder {
using namespace rectestface;

frmRecTest::frmRecTest(Edition edition, audio::AudioLibrary& library, platform::Dialogs& dialogs,
                       QWidget* parent)
    : QWidget(parent), edition_(edition), dialogs_(dialogs), library_(library) {
    setObjectName(QStringLiteral("frmRecTest"));
    setWindowTitle(QString::fromUtf8(textsFor(edition).windowCaption));
    setWindowIcon(platform::recorderIcon());
    createControls();
    showState();
    applyLayout();
    createMenu();
    engineWindow_ = std::make_unique<engine::WidgetEngineWindow>(
        engine::WidgetEngineWindow::Controls{this, btnRecord, btnPlay, btnSave, lblPos, takeMeter},
        dialogs_, [this] { return isSimplified(); });
    engineWindow_->onEndedByEngine([this] { Command1->setEnabled(true); });
    controller_ = std::make_unique<engine::RecorderController>(
        library, *engineWindow_, textsFor(edition).programName, platform::recoveryFolder(),
        &platform::moveToTrash,
        engine::RecorderController::Hooks{[this](const char* file, std::function<void()> then) {
                                              PlayPrompt(file, std::move(then));
                                          },
                                          [this](bool allowed) { Command1->setEnabled(allowed); }});
}

frmRecTest::~frmRecTest() = default;

void frmRecTest::createControls() {
    Picture1 = platform::named<QLabel>("Picture1", this);
    Label2 = platform::named<QLabel>("Label2", Picture1);
    lblZm = platform::named<platform::LinkLabel>("lblZm", Picture1);
    Command4 = platform::named<QPushButton>("Command4", QStringLiteral("简"), Picture1);
    Command5 = platform::named<QPushButton>("Command5", QStringLiteral("繁"), Picture1);
    Frame1 = platform::named<QGroupBox>("Frame1", this);
    lblPos = platform::named<QLabel>("lblPos", Frame1);
    takeMeter = new engine::TakeMeterWidget(this);
    Command2 = platform::named<QPushButton>("Command2", this);
    Command3 = platform::named<QPushButton>("Command3", this);
    btnRecord = platform::named<QPushButton>("btnRecord", this);
    btnPause = platform::named<QPushButton>("btnPause", this);
    btnPlay = platform::named<QPushButton>("btnPlay", this);
    btnSave = platform::named<QPushButton>("btnSave", this);
    Command1 = platform::named<QPushButton>("Command1", this);
    cmdRecordings = platform::named<QPushButton>("cmdRecordings", this);
    Label1 = platform::named<QLabel>("Label1", this);
    Option1 = platform::named<QRadioButton>("Option1", QStringLiteral("Option1"), this);
    Option2 = platform::named<QRadioButton>("Option2", QStringLiteral("Option2"), this);
    Text1 = platform::named<QLineEdit>("Text1", this);
    Text2 = platform::named<QLineEdit>("Text2", this);
    Text3 = platform::named<QLineEdit>("Text3", this);
    Text4 = platform::named<QLineEdit>("Text4", this);
    lblSystem = platform::named<QLabel>("lblSystem", this);

    const auto& texts = textsFor(edition_);
    Label2->setText(QString::fromUtf8(texts.windowCaption));
    Label2->setStyleSheet(QStringLiteral("color: rgb(64, 64, 64); background: transparent;"));
    lblZm->setStyleSheet(QStringLiteral("color: #FF0000; background: transparent;"));
    lblZm->setCursor(platform::pointingHandCursor());
    // Changed five times a second while recording: a palette and plain
    // text keep each change to a repaint of its digits (a style sheet sends
    // every paint through the style-sheet engine).
    {
        QPalette white = lblPos->palette();
        white.setColor(QPalette::Window, Qt::white);
        lblPos->setPalette(white);
        lblPos->setAutoFillBackground(true);
        lblPos->setTextFormat(Qt::PlainText);
    }
    Label1->setText(QString::fromUtf8(texts.makerLine) + QStringLiteral(MAKER_WEB_ADDRESS));
    Label1->setStyleSheet(QStringLiteral("background: white;"));
    btnPlay->setEnabled(false);
    btnSave->setEnabled(false);
    // The fields live out of sight and out of the tab order.
    for (QWidget* field :
         std::initializer_list<QWidget*>{Option1, Option2, Text1, Text2, Text3, Text4, lblSystem})
        field->hide();

    connect(btnRecord, &QPushButton::clicked, this, &frmRecTest::btnRecord_Click);
    connect(btnPause, &QPushButton::clicked, this, &frmRecTest::btnPause_Click);
    connect(btnPlay, &QPushButton::clicked, this, &frmRecTest::btnPlay_Click);
    connect(btnSave, &QPushButton::clicked, this, &frmRecTest::btnSave_Click);
    connect(Command1, &QPushButton::clicked, this, &frmRecTest::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frmRecTest::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &frmRecTest::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &frmRecTest::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &frmRecTest::Command5_Click);
    connect(lblZm, &platform::LinkLabel::clicked, this, &frmRecTest::lblZm_Click);
    connect(cmdRecordings, &QPushButton::clicked, this, &frmRecTest::cmdRecordings_Click);

    tmrRecTest = new QTimer(this);
    tmrRecTest->setObjectName(QStringLiteral("tmrRecTest"));
    tmrRecTest->setInterval(engine::RecorderController::kRefreshMilliseconds);
    connect(tmrRecTest, &QTimer::timeout, this, &frmRecTest::tmrRecTest_Timer);
}

void frmRecTest::applyLayout() {
    const double dpi = platform::fitToScreen(*this, kClientWidthTwips, kClientHeightTwips);
    platform::layOut(*this, kLayout);
    takeMeter->fitToWindow();
    platform::applyCaptions(*this, kCaptions, true);
    Picture1->setPixmap(platform::bannerPicture(Picture1->size()));
    Picture1->setAccessibleName(windowTitle());
    setFixedSize(platform::twipsToPixels(kClientWidthTwips, dpi),
                 platform::twipsToPixels(kClientHeightTwips, dpi));
}

void frmRecTest::createMenu() {
    // The items run the handlers themselves, so a key works while its
    // button is disabled.
    for (const MenuRow& row : kMenu) {
        auto* action = new QAction(QString::fromLatin1(row.caption), this);
        action->setObjectName(QString::fromLatin1(row.name));
        action->setShortcut(QKeySequence(row.key));
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, row.handler);
        addAction(action);
        this->*row.item = action;
        (this->*row.button)->setToolTip(QKeySequence(row.key).toString());
    }
}

bool frmRecTest::Load(const QStringList& arguments) {
    state_.commandLine = arguments.join(QLatin1Char(' '));
    showState();
    // The program ends once she has read why it cannot run.
    const auto end = [] { QCoreApplication::exit(0); };
    if (!state_.startedByLauncher()) {
        dialogs_.notice(nullptr, QString::fromUtf8(kRefusalTitle), QString::fromUtf8(kRefusalText),
                        platform::MessageIcon::Critical, end);
        return false;
    }
    // Prompts and other files are found relative to the program folder.
    QDir::setCurrent(QCoreApplication::applicationDirPath());
    if (!controller_->start(end))
        return false;
    tmrRecTest->start();
    state_.format = RecordFormat{};
    state_.system = platform::SystemVer();
    showState();
    // A take an earlier session left unsaved is offered once the welcome
    // has been said and the window is on screen.
    PlayPrompt("\\wave\\Welcome.wav",
               [this] { QTimer::singleShot(0, this, [this] { engine().OfferRecovery(); }); });
    return true;
}

void frmRecTest::showAfterWelcome() {
    prompts_.act([this] { show(); });
}

Form1& frmRecTest::loadForm1() {
    if (!form1_)
        form1_ = std::make_unique<Form1>(state_.format, isSimplified(), this);
    return *form1_;
}

void frmRecTest::openSettings() {
    PlayPrompt("\\wave\\设置.wav", [this] {
        dialogs_.openModal(loadForm1(), [this](int result) {
            if (result == QDialog::Accepted) {
                state_.format = form1_->format();
                showState();
            }
            // Apply, cancel and the close box all unload it.
            form1_.release()->deleteLater();
        });
    });
}

void frmRecTest::startVolumeTool(bool recording) {
    if (!shell_ || shell_->startProgram(platform::volumeToolFor(state_.system, recording)))
        return;
    // A button that silently does nothing confuses the users: say so.
    dialogs_.notice(this, windowTitle(),
                    isSimplified() ? QStringLiteral("无法打开音量控制程序。")
                                   : QStringLiteral("無法開啟音量控制程式。"),
                    platform::MessageIcon::Exclamation);
}

void frmRecTest::openMixer() {
    startVolumeTool(false); // the mixer opens while its prompt is spoken
    PlayPrompt("\\wave\\主音量控制.wav");
}

void frmRecTest::openRecordingControl() {
    PlayPrompt("\\wave\\录音控制.wav", [this] { startVolumeTool(true); });
}

void frmRecTest::openSite() {
    if (shell_)
        platform::openPage(*shell_, dialogs_, this, QUrl(QStringLiteral(MAKER_SITE_URL)),
                           isSimplified());
    PlayPrompt("\\wave\\Brindle网.wav");
}

void frmRecTest::openRecordings() {
    recordings::frmRecordings::openFor(recordings_, library_, dialogs_, shell_, isSimplified(),
                                       this);
}

void frmRecTest::SwitchScript(Script script) {
    state_.script = script;
    showState();
    const bool simplified = state_.simplified();
    platform::applyCaptions(*this, kCaptions, simplified);
    const auto& texts = textsFor(edition_);
    const QString title =
        QString::fromUtf8(simplified ? texts.windowCaption : texts.windowCaptionTraditional);
    setWindowTitle(title);
    Label2->setText(title);
    // After a switch both editions name the maker the same way.
    Label1->setText(QString::fromUtf8(simplified ? "Tessel软件：" : "Tessel軟件：") +
                    QStringLiteral(MAKER_WEB_ADDRESS));
    loadForm1().applyCaptions(simplified);
}

void frmRecTest::tmrRecTest_Timer() {
    controller_->refresh();
}

void frmRecTest::closeEvent(QCloseEvent* event) {
    // A close asked for while a prompt plays waits until its action is done.
    if (prompts_.deferClose([this] { close(); })) {
        event->ignore();
        return;
    }
    // No question about an unsaved take that is safe on disk (the next
    // start offers it); one that is not, is asked about.
    if (!controller_->engine().QueryClose([this] { close(); })) {
        event->ignore();
        return;
    }
    tmrRecTest->stop();
    controller_->shutdown();
    event->accept();
}

void frmRecTest::showState() {
    (state_.simplified() ? Option1 : Option2)->setChecked(true);
    Text1->setText(QString::number(state_.format.channels));
    Text2->setText(QString::number(state_.format.bits));
    Text3->setText(QString::number(state_.format.rate));
    Text4->setText(state_.commandLine);
    lblSystem->setText(state_.system);
}

} // namespace recorder

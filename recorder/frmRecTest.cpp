#include "frmRecTest.h"

#include "Artwork.h"
#include "SystemVer.h"
#include "UserFolders.h"
#include "WindowUnits.h"

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
namespace {

struct FontSpec {
    const char* family; // nullptr: the widget's default
    double points;
    bool bold;
};

constexpr FontSpec kSong1575{"宋体", 15.75, false};

// Place (in twips, relative to the parent), font, first caption and tool tip
// of every visible control, in one table walked by applyLayout().
struct LayoutRow {
    const char* name;
    int left, top, width, height;
    FontSpec font;
    const char* caption; // nullptr: set elsewhere
    const char* toolTip;
};

constexpr LayoutRow kLayout[] = {
    {"Picture1", -720, 0, 6375, 1455, {nullptr, 0, false}, nullptr, nullptr},
    {"Label2", 840, 240, 2895, 615, {"宋体", 18, true}, nullptr, nullptr},
    {"lblZm", 4440, 120, 1815, 375, {nullptr, 0, false}, "Quorvel", nullptr},
    {"Command4", 4620, 920, 495, 495, {"宋体", 15, true}, "简", nullptr},
    {"Command5", 5250, 920, 495, 495, {"宋体", 15, true}, "繁", nullptr},
    {"Frame1", 120, 1560, 2655, 1215, kSong1575, "状态栏", nullptr},
    {"lblPos", 120, 480, 2415, 405, {"宋体", 12, false}, "", nullptr},
    {"Command2", 2880, 1680, 2055, 495, kSong1575, "主音量控制", nullptr},
    {"Command3", 2880, 2280, 2055, 495, kSong1575, "录音控制", nullptr},
    {"btnRecord", 120, 3120, 1095, 780, kSong1575, "录 音", "F1"},
    {"btnPause", 1320, 3120, 1095, 765, kSong1575, "暂 停", "F2"},
    {"btnPlay", 2520, 3120, 1095, 780, kSong1575, "播 放", "F3"},
    {"btnSave", 3720, 3120, 1215, 780, kSong1575, "保 存", "F4"},
    {"Command1", 120, 4080, 4815, 735, {"宋体", 15.75, true}, "设         置", "F5"},
    {"Label1", 0, 5040, 5055, 350, {"Verdana", 9.75, true}, nullptr, nullptr},
    // Out of sight, below the client area: fields, not controls for the user.
    {"Option1", 0, 5600, 1215, 255, {nullptr, 0, false}, "Option1", nullptr},
    {"Option2", 1320, 5600, 1215, 255, {nullptr, 0, false}, "Option2", nullptr},
    {"Text1", 0, 6000, 615, 285, {nullptr, 0, false}, nullptr, nullptr},
    {"Text2", 720, 6000, 615, 285, {nullptr, 0, false}, nullptr, nullptr},
    {"Text3", 1440, 6000, 615, 285, {nullptr, 0, false}, nullptr, nullptr},
    {"Text4", 2160, 6000, 1215, 285, {nullptr, 0, false}, nullptr, nullptr},
    {"lblSystem", 3480, 6000, 1215, 285, {nullptr, 0, false}, nullptr, nullptr},
};

constexpr int kClientWidthTwips = 5070;
constexpr int kClientHeightTwips = 5400;

struct MenuRow {
    const char* name;
    const char* caption;
    Qt::Key key;
    void (frmRecTest::*handler)();
};

constexpr MenuRow kMenu[] = {
    {"record1", "record", Qt::Key_F1, &frmRecTest::btnRecord_Click},
    {"pause1", "pause", Qt::Key_F2, &frmRecTest::btnPause_Click},
    {"play1", "play", Qt::Key_F3, &frmRecTest::btnPlay_Click},
    {"save1", "save", Qt::Key_F4, &frmRecTest::btnSave_Click},
    {"set1", "set", Qt::Key_F5, &frmRecTest::Command1_Click},
};

} // namespace

frmRecTest::frmRecTest(Edition edition, audio::AudioLibrary& library, platform::Dialogs& dialogs,
                       QWidget* parent)
    : QWidget(parent), edition_(edition), dialogs_(dialogs) {
    setObjectName(QStringLiteral("frmRecTest"));
    setWindowTitle(QString::fromUtf8(textsFor(edition).windowCaption));
    setWindowIcon(recorderIcon());
    createControls();
    applyLayout();
    createMenu();
    engineWindow_ = std::make_unique<recorder::WidgetEngineWindow>(
        recorder::WidgetEngineWindow::Controls{this, btnRecord, btnPlay, btnSave, lblPos}, dialogs_,
        [this] { return isSimplified(); });
    engineWindow_->onEndedByEngine([this] { Command1->setEnabled(true); });
    engine_ = std::make_unique<engine::RecordEngine>(library, *engineWindow_,
                                                     textsFor(edition).programName);
    engine_->setRecoveryFolder(platform::recoveryFolder());
}

frmRecTest::~frmRecTest() {
    engine_->Shutdown();
}

void frmRecTest::createControls() {
    auto make = [](auto* widget, const char* name) {
        widget->setObjectName(QString::fromLatin1(name));
        return widget;
    };
    Picture1 = make(new QLabel(this), "Picture1");
    Label2 = make(new QLabel(Picture1), "Label2");
    lblZm = make(new LinkLabel(Picture1), "lblZm");
    Command4 = make(new QPushButton(Picture1), "Command4");
    Command5 = make(new QPushButton(Picture1), "Command5");
    Frame1 = make(new QGroupBox(this), "Frame1");
    lblPos = make(new QLabel(Frame1), "lblPos");
    Command2 = make(new QPushButton(this), "Command2");
    Command3 = make(new QPushButton(this), "Command3");
    btnRecord = make(new QPushButton(this), "btnRecord");
    btnPause = make(new QPushButton(this), "btnPause");
    btnPlay = make(new QPushButton(this), "btnPlay");
    btnSave = make(new QPushButton(this), "btnSave");
    Command1 = make(new QPushButton(this), "Command1");
    Label1 = make(new QLabel(this), "Label1");
    Option1 = make(new QRadioButton(this), "Option1");
    Option2 = make(new QRadioButton(this), "Option2");
    Text1 = make(new QLineEdit(this), "Text1");
    Text2 = make(new QLineEdit(this), "Text2");
    Text3 = make(new QLineEdit(this), "Text3");
    Text4 = make(new QLineEdit(this), "Text4");
    lblSystem = make(new QLabel(this), "lblSystem");

    const auto& texts = textsFor(edition_);
    Label2->setText(QString::fromUtf8(texts.windowCaption));
    Label2->setStyleSheet(QStringLiteral("color: rgb(64, 64, 64); background: transparent;"));
    lblZm->setStyleSheet(QStringLiteral("color: #FF0000; background: transparent;"));
    lblZm->setCursor(pointingHandCursor());
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
    Option1->setChecked(true);
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
    connect(lblZm, &LinkLabel::clicked, this, &frmRecTest::lblZm_Click);

    tmrRecTest = new QTimer(this);
    tmrRecTest->setObjectName(QStringLiteral("tmrRecTest"));
    tmrRecTest->setInterval(200);
    connect(tmrRecTest, &QTimer::timeout, this, &frmRecTest::tmrRecTest_Timer);
}

void frmRecTest::applyLayout() {
    const double dpi = logicalDpiX();
    for (const LayoutRow& row : kLayout) {
        auto* w = findChild<QWidget*>(QString::fromLatin1(row.name));
        Q_ASSERT(w);
        w->setGeometry(
            platform::twipsToPixels(row.left, dpi), platform::twipsToPixels(row.top, dpi),
            platform::twipsToPixels(row.width, dpi), platform::twipsToPixels(row.height, dpi));
        if (row.font.family) {
            QFont f(QString::fromUtf8(row.font.family));
            f.setPointSizeF(row.font.points);
            f.setBold(row.font.bold);
            w->setFont(f);
        }
        if (row.caption)
            platform::setCaption(w, QString::fromUtf8(row.caption));
        if (row.toolTip)
            w->setToolTip(QString::fromLatin1(row.toolTip));
    }
    Picture1->setPixmap(bannerPicture(Picture1->size()));
    Picture1->setAccessibleName(windowTitle());
    setFixedSize(platform::twipsToPixels(kClientWidthTwips, dpi),
                 platform::twipsToPixels(kClientHeightTwips, dpi));
}

void frmRecTest::createMenu() {
    // The menu is never shown; its items carry the function keys and run the
    // handlers themselves, so a key works while its button is disabled.
    for (const MenuRow& row : kMenu) {
        auto* action = new QAction(QString::fromLatin1(row.caption), this);
        action->setObjectName(QString::fromLatin1(row.name));
        action->setShortcut(QKeySequence(row.key));
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, row.handler);
        addAction(action);
    }
    record1 = findChild<QAction*>(QStringLiteral("record1"));
    pause1 = findChild<QAction*>(QStringLiteral("pause1"));
    play1 = findChild<QAction*>(QStringLiteral("play1"));
    save1 = findChild<QAction*>(QStringLiteral("save1"));
    set1 = findChild<QAction*>(QStringLiteral("set1"));
}

bool frmRecTest::Load(const QStringList& arguments) {
    Text4->setText(arguments.join(QLatin1Char(' ')));
    if (Text4->text() != QLatin1String(kLauncherWord)) {
        dialogs_.message(nullptr, QString::fromUtf8(kRefusalTitle), QString::fromUtf8(kRefusalText),
                         platform::MessageIcon::Critical);
        return false;
    }
    // Prompts and other files are found relative to the program folder.
    QDir::setCurrent(QCoreApplication::applicationDirPath());
    if (!engine_->LibraryStartup())
        return false;
    tmrRecTest->start();
    Text1->setText(QStringLiteral("2"));
    Text2->setText(QStringLiteral("16"));
    Text3->setText(QStringLiteral("44100"));
    lblSystem->setText(SystemVer());
    PlayPrompt("\\wave\\Welcome.wav");
    // A take an earlier session left unsaved is offered once the window is
    // on screen (after the welcome, which keeps the window painting).
    QTimer::singleShot(0, this, [this] { engine_->OfferRecovery(); });
    return true;
}

// Blocks until the prompt has been spoken; a missing or broken file is
// silent and the action goes on.
void frmRecTest::PlayPrompt(const char* file) {
    if (edition_ != Edition::Prompted || !media_)
        return;
    player_ = std::make_unique<MCIplay>(*media_);
    const QString folder =
        programFolder_.isEmpty() ? QCoreApplication::applicationDirPath() : programFolder_;
    // Joined as they stand; the prompt paths use the other platform's separator.
    QString path = folder + QString::fromUtf8(file);
#ifndef _WIN32
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
#endif
    player_->FileName(path.toStdString());
    // The window paints while the prompt plays; a close asked for meanwhile
    // waits until the action the prompt belongs to is done.
    ++speaking_;
    player_->PlaySound();
    --speaking_;
    if (speaking_ == 0 && closeAsked_) {
        closeAsked_ = false;
        QTimer::singleShot(0, this, &QWidget::close);
    }
}

void frmRecTest::btnRecord_Click() {
    // Acts on any existing capture, paused or running.
    if (engine_->capturing()) {
        engine_->StopRecording();
        Command1->setEnabled(true);
        PlayPrompt("\\wave\\停止录音.wav");
    } else {
        PlayPrompt("\\wave\\开始录音.wav"); // ends before the capture begins
        engine_->StartRecording();
        Command1->setEnabled(false);
    }
}

void frmRecTest::btnPause_Click() {
    engine_->PauseRecording();
    PlayPrompt("\\wave\\暂停录音.wav");
}

void frmRecTest::btnPlay_Click() {
    engine_->Play();
    PlayPrompt("\\wave\\播放录音.wav");
}

void frmRecTest::btnSave_Click() {
    PlayPrompt("\\wave\\保存录音.wav");
    engine_->SaveRecording();
    Command1->setEnabled(true);
}

Form1& frmRecTest::loadForm1() {
    if (!form1_)
        form1_ =
            std::make_unique<Form1>(RecordFormatFields{Text1, Text2, Text3}, isSimplified(), this);
    return *form1_;
}

void frmRecTest::Command1_Click() {
    PlayPrompt("\\wave\\设置.wav");
    dialogs_.runModal(loadForm1());
    form1_.reset(); // apply, cancel and the close box all unload it
}

QString frmRecTest::volumeCommand(bool recording) const {
    const QString name = lblSystem->text();
    const bool newMixer = name == QLatin1String(kWindows7) ||
                          name == QLatin1String(kWindowsVista) ||
                          name == QString::fromUtf8(kUnknownSystem);
    if (newMixer)
        return QStringLiteral("SndVol.exe");
    return recording ? QStringLiteral("sndvol32.exe -r") : QStringLiteral("sndvol32.exe");
}

void frmRecTest::startVolumeTool(bool recording) {
    if (!shell_ || shell_->startProgram(volumeCommand(recording)))
        return;
    // A button that silently does nothing confuses the users: say so.
    dialogs_.message(this, windowTitle(),
                     isSimplified() ? QStringLiteral("无法打开音量控制程序。")
                                    : QStringLiteral("無法開啟音量控制程式。"),
                     platform::MessageIcon::Exclamation);
}

void frmRecTest::Command2_Click() {
    startVolumeTool(false); // the mixer opens while its prompt is spoken
    PlayPrompt("\\wave\\主音量控制.wav");
}

void frmRecTest::Command3_Click() {
    PlayPrompt("\\wave\\录音控制.wav");
    startVolumeTool(true);
}

void frmRecTest::lblZm_Click() {
    if (shell_)
        platform::openPage(*shell_, dialogs_, this, QUrl(QStringLiteral(MAKER_SITE_URL)),
                           isSimplified());
    PlayPrompt("\\wave\\Brindle网.wav");
}

void frmRecTest::Command4_Click() {
    SwitchScript(Script::Simplified);
}
void frmRecTest::Command5_Click() {
    SwitchScript(Script::Traditional);
}

void frmRecTest::SwitchScript(Script script) {
    const bool simplified = script == Script::Simplified;
    (simplified ? Option1 : Option2)->setChecked(true);
    const auto& texts = textsFor(edition_);
    for (const CaptionRow& row : kRecorderCaptions) {
        QString text;
        switch (row.kind) {
        case CaptionKind::Text:
            text = QString::fromUtf8(simplified ? row.simplified : row.traditional);
            break;
        case CaptionKind::EditionTitle:
            text = QString::fromUtf8(simplified ? texts.windowCaption
                                                : texts.windowCaptionTraditional);
            break;
        case CaptionKind::MakerLine:
            text = QString::fromUtf8(simplified ? row.simplified : row.traditional) +
                   QStringLiteral(MAKER_WEB_ADDRESS);
            break;
        }
        const QString target = QString::fromLatin1(row.target);
        QWidget* widget = nullptr;
        if (target == QLatin1String("frmRecTest"))
            widget = this;
        else if (target == QLatin1String("Form1"))
            widget = &loadForm1();
        else if (target.startsWith(QLatin1String("Form1.")))
            widget = loadForm1().findChild<QWidget*>(target.mid(6));
        else
            widget = findChild<QWidget*>(target);
        Q_ASSERT(widget);
        platform::setCaption(widget, text);
    }
}

void frmRecTest::tmrRecTest_Timer() {
    engine_->RefreshDisplay();
}

void frmRecTest::closeEvent(QCloseEvent* event) {
    if (speaking_ > 0) {
        closeAsked_ = true;
        event->ignore();
        return;
    }
    // No question about an unsaved take: closing frees everything.
    tmrRecTest->stop();
    engine_->Shutdown();
    event->accept();
}

bool frmRecTest::isSimplified() const {
    return Option1->isChecked();
}

} // namespace recorder

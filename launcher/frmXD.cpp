#include "frmXD.h"

#include "AboutBox.h"
#include "Artwork.h"
#include "LauncherArt.h"
#include "RecorderLaunch.h"
#include "SystemVer.h"
#include "TipsSetting.h"
#include "WindowUnits.h"
#include "frmFDJ.h"
#include "frmXDFace.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSettings>
#include <QTimer>

#ifndef MAKER_SITE_URL
#define MAKER_SITE_URL "http://www.quorvel.example"
#endif
#ifndef MAKER_HOST
#define MAKER_HOST "www.quorvel.example"
#endif

namespace launcher {
using namespace xdface;

frmXD::frmXD(QSettings& settings, platform::Dialogs& dialogs, platform::Shell& shell,
             audio::AudioLibrary& library, speech::SpeechBackendFactory recogniser, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      settings_(settings), dialogs_(dialogs), shell_(shell), library_(library),
      recogniser_(std::move(recogniser)), endProgram_([] { QCoreApplication::exit(0); }) {
    setObjectName(QStringLiteral("frmXD"));
    setWindowTitle(QStringLiteral("Lumeno录音机"));
    setWindowIcon(platform::recorderIcon());
    QFont font(QStringLiteral("宋体"));
    font.setPointSizeF(15.75);
    font.setBold(true);
    setFont(font);
    setAutoFillBackground(true);
    setStyleSheet(QStringLiteral("frmXD, QFrame, QGroupBox { background: white; }"));
    createControls();
    followChoices();
    applyCaptions(true);
}

// The magnifier has no owner (it must not close with the page it was opened
// from), so it goes with the launcher here: a desktop zoom it switched on is
// switched off (waited for) as the program ends.
frmXD::~frmXD() {
    delete fdj_;
    magnifier::ZoomLine::finishAll();
}

void frmXD::createControls() {
    PicONE = platform::named<QLabel>("PicONE", this);
    lblZm = platform::named<platform::LinkLabel>("lblZm", PicONE);
    lblMini = platform::named<platform::LinkLabel>("lblMini", PicONE);
    Frame1 = platform::named<QFrame>("Frame1", this);
    cmdFDJ = platform::named<QPushButton>("cmdFDJ", Frame1);
    fralanguage = platform::named<QGroupBox>("fralanguage", Frame1);
    Option1 = platform::named<QRadioButton>("Option1", QStringLiteral("简体中文"), fralanguage);
    optFt = platform::named<QRadioButton>("optFt", QStringLiteral("繁體中文"), fralanguage);
    fraFont = platform::named<QGroupBox>("fraFont", Frame1);
    optxiao = platform::named<QRadioButton>("optxiao", fraFont);
    optzhong = platform::named<QRadioButton>("optzhong", fraFont);
    Option2 = platform::named<QRadioButton>("Option2", fraFont);
    cmdabout = platform::named<QPushButton>("cmdabout", Frame1);
    Command2 = platform::named<QPushButton>("Command2", QStringLiteral("下一步"), Frame1);
    Frame2 = platform::named<QFrame>("Frame2", this);
    Frame3 = platform::named<QGroupBox>("Frame3", QStringLiteral("选择录制方式"), Frame2);
    optyyts =
        platform::named<QRadioButton>("optyyts", QStringLiteral("根据语音提示进行录音"), Frame3);
    optyysb =
        platform::named<QRadioButton>("optyysb", QStringLiteral("根据语音识别进行录音"), Frame3);
    optpt = platform::named<QRadioButton>("optpt", QStringLiteral("普通录音模式"), Frame3);
    Command1 = platform::named<QPushButton>("Command1", QStringLiteral("上一步"), Frame2);
    Command3 = platform::named<QPushButton>("Command3", QStringLiteral("下一步"), Frame2);
    lblver = platform::named<QLabel>("lblver", Frame2);

    const double dpi = platform::fitToScreen(*this, 8385, 7605);
    platform::layOut(*this, kPlaces);
    setFixedSize(platform::twipsToPixels(8385, dpi), platform::twipsToPixels(7605, dpi));

    PicONE->setPixmap(launcherBanner(PicONE->size()));
    PicONE->setAccessibleName(QStringLiteral("Lumeno录音机"));
    const QCursor hand = platform::pointingHandCursor();
    QFont link = font();
    link.setUnderline(true);
    link.setPointSizeF(platform::fittedPoints(*this, link.pointSizeF()));
    for (auto* label : {lblZm, lblMini}) {
        label->setFont(link);
        label->setCursor(hand);
    }
    lblZm->setStyleSheet(QStringLiteral("color: rgb(255, 255, 128); background: transparent;"));
    lblMini->setStyleSheet(QStringLiteral("color: rgb(255, 0, 0); background: transparent;"));

    cmdFDJ->setIcon(magnifierPicture());
    cmdFDJ->setIconSize(cmdFDJ->size() * 0.8);
    cmdFDJ->setCursor(magnifierCursor());
    cmdFDJ->setAccessibleName(QStringLiteral("放大镜"));
    cmdabout->setIcon(infoPicture());
    Command2->setIcon(arrowPicture(true));
    Command3->setIcon(arrowPicture(true));
    Command1->setIcon(arrowPicture(false));
    for (QPushButton* b : {cmdabout, Command2, Command1, Command3}) {
        b->setIconSize(QSize(b->height() * 2 / 3, b->height() * 2 / 3));
        b->setCursor(hand);
    }
    Command1->setToolTip(QStringLiteral("点击返回上一步"));
    Command3->setToolTip(QStringLiteral("下"));

    for (QRadioButton* o : {Option1, optFt})
        o->setStyleSheet(QStringLiteral("color: red;"));
    Option1->setChecked(true);
    Option1->setToolTip(QStringLiteral("简体中文显示软件"));
    optFt->setToolTip(QStringLiteral("繁體中文顯示軟件"));
    optzhong->setChecked(true);
    optxiao->setEnabled(false);
    Option2->setEnabled(false);
    optpt->setChecked(true);

    mnuTipsOnStart = new QAction(QStringLiteral("TipsOnStart"), this);
    mnuTipsOnStart->setObjectName(QStringLiteral("mnuTipsOnStart"));
    mnuTipsOnStart->setCheckable(true);
    mnuTipsOnStart->setVisible(false);

    connect(Option1, &QRadioButton::clicked, this, &frmXD::Option1_Click);
    connect(optFt, &QRadioButton::clicked, this, &frmXD::optFt_Click);
    connect(cmdabout, &QPushButton::clicked, this, &frmXD::cmdabout_Click);
    connect(cmdFDJ, &QPushButton::clicked, this, &frmXD::cmdFDJ_Click);
    connect(lblZm, &platform::LinkLabel::clicked, this, &frmXD::lblZm_Click);
    connect(lblMini, &platform::LinkLabel::clicked, this, &frmXD::lblMini_Click);
    connect(Command2, &QPushButton::clicked, this, &frmXD::Command2_Click);
    connect(Command1, &QPushButton::clicked, this, &frmXD::Frame2_Command1_Click);
    connect(Command3, &QPushButton::clicked, this, &frmXD::Command3_Click);
}

// The script and the mode are kept as values as the user changes them.
void frmXD::followChoices() {
    connect(Option1, &QRadioButton::toggled, this, [this](bool on) { simplified_ = on; });
    for (const auto& [button, mode] :
         {std::pair{optyyts, Mode::Prompted}, std::pair{optyysb, Mode::Speech},
          std::pair{optpt, Mode::Standard}})
        connect(button, &QRadioButton::toggled, this, [this, mode = mode](bool on) {
            if (on)
                mode_ = mode;
        });
}

void frmXD::applyCaptions(bool simplified) {
    platform::applyCaptions(*this, kCaptions, simplified);
}

void frmXD::Load(bool pageLater) {
    // Page one is what shows behind the mini home page.
    Frame1->show();
    Frame2->hide();
    setSystemName(platform::SystemVer());
    if (!readShowTips(settings_))
        return;
    if (pageLater)
        // The web view takes a few hundred milliseconds to build: the
        // launcher's own window comes first.
        QTimer::singleShot(0, this, &frmXD::showMiniHomePage);
    else
        showMiniHomePage();
}

void frmXD::setSystemName(const QString& name) {
    system_ = name;
    lblver->setText(system_);
}

void frmXD::Option1_Click() {
    applyCaptions(true);
}
void frmXD::optFt_Click() {
    applyCaptions(false);
}

void frmXD::cmdabout_Click() {
    dialogs_.notice(this, aboutTitle(isSimplified()), aboutText(isSimplified()),
                    platform::MessageIcon::Information);
}

void frmXD::cmdFDJ_Click() {
    // One magnifier at most; it has no owner and stays usable beside us.
    if (!fdj_)
        fdj_ = new magnifier::frmFDJ(isSimplified());
    fdj_->show();
    fdj_->raise();
}

void frmXD::lblZm_Click() {
    platform::openPage(shell_, dialogs_, this, QUrl(QStringLiteral(MAKER_SITE_URL)),
                       isSimplified());
}

void frmXD::mnuTipsOnStart_Click() {
    setTipsOnStart(!tipsOnStart_);
    storeShowTips(settings_, tipsOnStart_);
}

void frmXD::lblMini_Click() {
    mnuTipsOnStart_Click();
    showMiniHomePage();
}

void frmXD::showMiniHomePage() {
    if (!tip_) {
        tip_ = std::make_unique<minihome::frmTip>(*this, QStringLiteral(MAKER_HOST), this);
        tip_->Load();
    }
    dialogs_.openModal(*tip_, [this](int) {
        if (tip_ && tip_->destroyRequested())
            tip_.release()->deleteLater(); // the close box: the next showing loads it afresh
    });
}

void frmXD::Command2_Click() {
    Frame1->hide();
    Frame2->show();
    const bool simplified = isSimplified();
    platform::applyCaptions(*this, kPageTwoCaptions, simplified);
    if (!sdk_) {
        // Created and loaded hidden now: its devices open before a mode is chosen.
        sdk_ = std::make_unique<speech::frmSDK>(
            library_, dialogs_, shell_, [this] { return isSimplified(); }, recogniser_);
        // Without its devices the program ends, once she has read why.
        if (!sdk_->Load([this] { endProgram_(); }))
            return;
        // Once the user has said no to training, the offer stays away.
        sdk_->setOfferMemory({[this] { return readTrainingDeclined(settings_); },
                              [this] { storeTrainingDeclined(settings_); }});
        if (promptMedia_)
            sdk_->setPromptMedia(*promptMedia_,
                                 QCoreApplication::applicationDirPath() + QStringLiteral("/wave"));
    }
    sdk_->applyCaptions(simplified);
}

void frmXD::Command3_Click() {
    if (mode_ != Mode::Speech) {
        if (LaunchRecorder(recorderFor(mode_, system_)))
            endProgram_();
        return;
    }
    if (sdk_) {
        sdk_->show();
        // Once the window is on screen.
        QTimer::singleShot(0, sdk_.get(), [sdk = sdk_.get()] {
            sdk->offerRecovery();
            sdk->offerTraining();
        });
    }
    hide();
}

// The launcher ends once the recorder is on its way; a recorder that cannot
// be started is reported and the launcher stays, so the user is not left
// with nothing on screen.
bool frmXD::LaunchRecorder(const QString& name) {
    if (startRecorder(shell_, name))
        return true;
    dialogs_.notice(this, windowTitle(), recorderFailure(name, isSimplified()),
                    platform::MessageIcon::Exclamation);
    return false;
}

void frmXD::Frame2_Command1_Click() {
    Frame2->hide();
    Frame1->show();
}

void frmXD::showLauncherWindow() {
    if (!isVisible()) {
        // Centred on the screen when it opens.
        if (const QScreen* s = screen())
            move(s->availableGeometry().center() - rect().center());
        show();
    }
}

bool frmXD::storedTipsOnStart() const {
    return readShowTips(settings_);
}

void frmXD::storeTipsOnStart(bool show) {
    storeShowTips(settings_, show);
}

void frmXD::setTipsOnStart(bool show) {
    tipsOnStart_ = show;
    mnuTipsOnStart->setChecked(show);
}

void frmXD::closeEvent(QCloseEvent* event) {
    // The whole launcher ends at once, every other window with it.
    event->accept();
    QApplication::quit();
}

} // namespace launcher

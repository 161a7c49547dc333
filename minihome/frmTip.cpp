#include "frmTip.h"

#include "WindowUnits.h"
#include "modIE.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QPushButton>
#include <QWebEngineSettings>
#include <QWebEngineView>

namespace minihome {
namespace {

struct PageRow {
    const char* button;
    const char* caption;
    const char* path;
};

constexpr PageRow kPages[] = {
    {"Command1", "常用网址", "/ad/old/old1.html"},
    {"Command2", "健康生活", "/ad/old/old2.html"},
    {"Command3", "天气预报", "/ad/old/tianqi.html"},
};

} // namespace

frmTip::frmTip(TipsHost& launcher, QString host, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      launcher_(launcher), host_(std::move(host)) {
    setObjectName(QStringLiteral("frmTip"));
    setWindowTitle(QStringLiteral("Lumeno录音机迷你首页"));
    setStyleSheet(QStringLiteral("QDialog, QGroupBox { background: white; }"));
    QFont font(QStringLiteral("宋体"));
    font.setPointSizeF(9);
    setFont(font);
    const auto place = &platform::placeInTwips;

    fraMenu = new QGroupBox(QStringLiteral("切换端"), this);
    place(fraMenu, 120, 120, 2055, 3735);
    QPushButton* buttons[3];
    for (int i = 0; i < 3; ++i) {
        buttons[i] = new QPushButton(QString::fromUtf8(kPages[i].caption), fraMenu);
        buttons[i]->setObjectName(QString::fromLatin1(kPages[i].button));
        buttons[i]->setAccessibleName(buttons[i]->text());
        QFont big = font;
        big.setPointSizeF(14);
        big.setBold(true);
        buttons[i]->setFont(big);
        place(buttons[i], 240, 240 + 1200 * i, 1575, 975);
    }
    Command1 = buttons[0];
    Command2 = buttons[1];
    Command3 = buttons[2];
    connect(Command1, &QPushButton::clicked, this, &frmTip::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frmTip::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &frmTip::Command3_Click);

    frmShow = new QGroupBox(QStringLiteral("显示端"), this);
    place(frmShow, 2280, 120, 7095, 3735);
    WebBrowser1 = new QWebEngineView(frmShow);
    WebBrowser1->setObjectName(QStringLiteral("WebBrowser1"));
    place(WebBrowser1, 120, 240, 6855, 3375);
    // Pages from the web never reach local files.
    QWebEngineSettings* web = WebBrowser1->settings();
    web->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    web->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);

    chkLoadTipsAtStartup = new QCheckBox(QStringLiteral("启动时显示迷你首页"), this);
    chkLoadTipsAtStartup->setObjectName(QStringLiteral("chkLoadTipsAtStartup"));
    chkLoadTipsAtStartup->setChecked(true);
    place(chkLoadTipsAtStartup, 120, 3960, 2175, 315);
    connect(chkLoadTipsAtStartup, &QCheckBox::toggled, this,
            [this](bool on) { launcher_.storeTipsOnStart(on); });

    cmdOK = new QPushButton(QStringLiteral("  确   定"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setAccessibleName(QStringLiteral("确定"));
    place(cmdOK, 7680, 3960, 1695, 375);
    connect(cmdOK, &QPushButton::clicked, this, &frmTip::cmdOK_Click);

    setFixedSize(platform::twipsToPixels(9450, logicalDpiX()),
                 platform::twipsToPixels(4425, logicalDpiX()));
}

frmTip::~frmTip() = default;

void frmTip::Load() {
    Command1_Click();
    chkLoadTipsAtStartup->setChecked(true);
    launcher_.showLauncherWindow();
    modIE::InstallHooks();
}

void frmTip::Navigate(const QString& address) {
    // A host name without a scheme is a web address; a plain QUrl of it is
    // invalid and would show a blank page.
    WebBrowser1->setUrl(QUrl::fromUserInput(address));
}

void frmTip::Command1_Click() {
    Navigate(host_ + QString::fromLatin1(kPages[0].path));
}
void frmTip::Command2_Click() {
    Navigate(host_ + QString::fromLatin1(kPages[1].path));
}
void frmTip::Command3_Click() {
    Navigate(host_ + QString::fromLatin1(kPages[2].path));
}

bool frmTip::event(QEvent* event) {
    // Each showing: the check box follows what is stored. Storing it again
    // from the toggle writes the same value.
    if (event->type() == QEvent::WindowActivate)
        chkLoadTipsAtStartup->setChecked(launcher_.storedTipsOnStart());
    return QDialog::event(event);
}

void frmTip::closeOperation() {
    modIE::RemoveHooks();
    launcher_.setTipsOnStart(chkLoadTipsAtStartup->isChecked());
}

void frmTip::cmdOK_Click() {
    closeOperation();
    accept(); // hidden, not destroyed: the page stays
}

void frmTip::reject() {
    closeOperation();
    QDialog::reject();
}

void frmTip::closeEvent(QCloseEvent* event) {
    destroyRequested_ = true;
    QDialog::closeEvent(event); // rejects, which runs the close operation
}

} // namespace minihome

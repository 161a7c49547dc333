#pragma once
// The launcher's two-page wizard window: script choice, font size, About
// box, magnifier and site links on page one; the recording mode on page two.

#include "AudioLibrary.h"
#include "Dialogs.h"
#include "LaunchChoice.h"
#include "LinkLabel.h"
#include "Shell.h"
#include "frmFDJ.h"
#include "frmSDK.h"
#include "frmTip.h"

#include <QPointer>
#include <QWidget>

#include <memory>

class QAction;
class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSettings;

namespace launcher {

class frmXD final : public QWidget, public minihome::TipsHost {
    Q_OBJECT
public:
    frmXD(QSettings& settings, platform::Dialogs& dialogs, platform::Shell& shell,
          audio::AudioLibrary& library,
          speech::SpeechBackendFactory recogniser = &speech::makeMicrophoneBackend,
          QWidget* parent = nullptr);
    ~frmXD() override;

    // The load sequence: page one and the system name, then the mini home
    // page when the setting asks for it (`pageLater`: once the event loop
    // runs, so that the launcher's window shows first).
    void Load(bool pageLater = false);

    void Option1_Click();
    void optFt_Click();
    void cmdabout_Click();
    void cmdFDJ_Click();
    void lblZm_Click();
    void lblMini_Click();
    void mnuTipsOnStart_Click();
    void Command2_Click();        // page one: next
    void Frame2_Command1_Click(); // page two: back
    void Command3_Click();        // page two: start the chosen mode
    // Starts a recorder of the suite from the launcher's own folder with the
    // single argument "oldstart".
    bool LaunchRecorder(const QString& name);
    // How the launcher ends; tests replace it.
    void setEndProgram(std::function<void()> end) { endProgram_ = std::move(end); }
    // The speech recorder window, created and loaded at the first pass to
    // page two; nothing before.
    speech::frmSDK* speechWindow() const { return sdk_.get(); }
    // The player of the speech window's voice prompts (none: not spoken).
    void setPromptMedia(platform::MediaControl* media) { promptMedia_ = media; }

    bool isSimplified() const { return simplified_; }
    // The system's name, which SystemVer gives at load (tests set others).
    void setSystemName(const QString& name);
    magnifier::frmFDJ* magnifierWindow() const { return fdj_; }
    minihome::frmTip* miniHomePage() const { return tip_.get(); }

    // minihome::TipsHost
    void showLauncherWindow() override;
    void setTipsOnStart(bool show) override;
    bool storedTipsOnStart() const override;
    void storeTipsOnStart(bool show) override;

    QLabel* PicONE = nullptr;
    platform::LinkLabel* lblZm = nullptr;
    platform::LinkLabel* lblMini = nullptr;
    QFrame* Frame1 = nullptr;
    QPushButton* cmdFDJ = nullptr;
    QGroupBox* fralanguage = nullptr;
    QRadioButton* Option1 = nullptr;
    QRadioButton* optFt = nullptr;
    QGroupBox* fraFont = nullptr;
    QRadioButton* optxiao = nullptr;
    QRadioButton* optzhong = nullptr;
    QRadioButton* Option2 = nullptr;
    QPushButton* cmdabout = nullptr;
    QPushButton* Command2 = nullptr;
    QFrame* Frame2 = nullptr;
    QGroupBox* Frame3 = nullptr;
    QRadioButton* optyyts = nullptr;
    QRadioButton* optyysb = nullptr;
    QRadioButton* optpt = nullptr;
    QPushButton* Command1 = nullptr; // page two: back
    QPushButton* Command3 = nullptr; // page two: start
    QLabel* lblver = nullptr;
    QAction* mnuTipsOnStart = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    void followChoices();
    void applyCaptions(bool simplified);
    void showMiniHomePage();

    QSettings& settings_;
    platform::Dialogs& dialogs_;
    platform::Shell& shell_;
    audio::AudioLibrary& library_;
    speech::SpeechBackendFactory recogniser_;
    std::function<void()> endProgram_;
    std::unique_ptr<speech::frmSDK> sdk_;
    platform::MediaControl* promptMedia_ = nullptr;
    std::unique_ptr<minihome::frmTip> tip_;
    QPointer<magnifier::frmFDJ> fdj_;
    // What the visible choices say, kept as they change; the system's name
    // is shown in lblver.
    bool simplified_ = true;
    Mode mode_ = Mode::Standard;
    QString system_;
    // The start-up choice as this run knows it (shown by mnuTipsOnStart):
    // off at start whatever is stored, it follows the mini home page's box
    // at OK and flips at the mini home link, which stores the new value.
    bool tipsOnStart_ = false;
};

} // namespace launcher

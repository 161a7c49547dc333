#pragma once
// The recorder window of both recorder programs: four big buttons with
// function keys, the status box, and the engine behind them.

#include "Dialogs.h"
#include "Edition.h"
#include "EngineWindow.h"
#include "Form1.h"
#include "LinkLabel.h"
#include "MediaControl.h"
#include "RecordEngine.h"
#include "RecorderController.h"
#include "RecorderPrompts.h"
#include "RecorderState.h"
#include "Shell.h"
#include "WidgetEngineWindow.h"
#include "frmRecordings.h"

#include <QWidget>

#include <functional>
#include <memory>

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTimer;

namespace engine {
class TakeMeterWidget;
}

namespace recorder {

class frmRecTest final : public QWidget {
    Q_OBJECT
public:
    frmRecTest(Edition edition, audio::AudioLibrary& library, platform::Dialogs& dialogs,
               QWidget* parent = nullptr);
    ~frmRecTest() override;

    // The window's load: checks the command line (the arguments after the
    // program name), opens the audio library. False means the program ends
    // once she has closed the box that says why.
    bool Load(const QStringList& arguments);

    // The prompted edition speaks through `media`; without it (the standard
    // edition) every prompt step is skipped.
    void setPromptMedia(platform::MediaControl* media) {
        prompts_.setMedia(media, edition_ == Edition::Prompted);
    }
    // Shows the window once the welcome has been said.
    void showAfterWelcome();
    // A prompt is being said, or an action waits for one.
    bool speaking() const { return prompts_.busy(); }
    // Starts the volume tools and opens the maker's site; without it those
    // controls do nothing.
    void setShell(platform::Shell* shell) { shell_ = shell; }
    // Where prompts are looked for; the program's own folder unless set.
    void setProgramFolder(const QString& folder) { prompts_.setProgramFolder(folder); }

    engine::RecordEngine& engine() { return controller_->engine(); }

    // Click handlers, also run by the F1-F5 menu items. Each acts once no
    // prompt is being said: what comes during one waits its turn.
    void btnRecord_Click() {
        prompts_.act([this] { controller_->record(); });
    }
    void btnPause_Click() {
        prompts_.act([this] { controller_->pause(); });
    }
    void btnPlay_Click() {
        prompts_.act([this] { controller_->play(); });
    }
    void btnSave_Click() {
        prompts_.act([this] { controller_->save(); });
    }
    void Command1_Click() {
        prompts_.act([this] { openSettings(); });
    }
    void Command2_Click() {
        prompts_.act([this] { openMixer(); });
    }
    void Command3_Click() {
        prompts_.act([this] { openRecordingControl(); });
    }
    void Command4_Click() {
        prompts_.act([this] { SwitchScript(Script::Simplified); });
    }
    void Command5_Click() {
        prompts_.act([this] { SwitchScript(Script::Traditional); });
    }
    void lblZm_Click() {
        prompts_.act([this] { openSite(); });
    }
    void cmdRecordings_Click() {
        prompts_.act([this] { openRecordings(); });
    }
    // "我的录音" while it is open; nothing otherwise.
    recordings::frmRecordings* recordingsWindow() const { return recordings_.get(); }
    void tmrRecTest_Timer();

    // Sets the language state and every caption of the table, loading the
    // settings window first if it is not loaded.
    void SwitchScript(Script script);
    // The settings window while it is loaded (shown, or loaded hidden by a
    // script switch); nothing otherwise.
    Form1* loadedForm1() const { return form1_.get(); }

    bool isSimplified() const { return state_.simplified(); }
    const RecorderState& state() const { return state_; }
    // The system's name, which SystemVer gives at load (tests set others).
    void setSystemName(const QString& name) {
        state_.system = name;
        showState();
    }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    void applyLayout();
    void createMenu();
    // Says the prompt, then runs `then`; input that comes meanwhile waits.
    void PlayPrompt(const char* file, std::function<void()> then = {}) {
        prompts_.say(file, std::move(then));
    }
    void openSettings();
    void openMixer();
    void openRecordingControl();
    void openSite();
    void openRecordings();
    Form1& loadForm1();
    void startVolumeTool(bool recording);
    // The controls out of sight show the state.
    void showState();

    Edition edition_;
    platform::Dialogs& dialogs_;
    std::unique_ptr<engine::WidgetEngineWindow> engineWindow_;
    std::unique_ptr<engine::RecorderController> controller_;
    RecorderPrompts prompts_;
    platform::Shell* shell_ = nullptr;
    std::unique_ptr<Form1> form1_;
    audio::AudioLibrary& library_;
    std::unique_ptr<recordings::frmRecordings> recordings_;
    RecorderState state_;

public:
    // Controls, by their names; other parts of the program read and set them.
    QLabel* Picture1 = nullptr;
    QLabel* Label2 = nullptr;
    platform::LinkLabel* lblZm = nullptr;
    QPushButton* Command4 = nullptr;
    QPushButton* Command5 = nullptr;
    QGroupBox* Frame1 = nullptr;
    QLabel* lblPos = nullptr;
    // The level, the take's length and state, and a line under them.
    engine::TakeMeterWidget* takeMeter = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* btnRecord = nullptr;
    QPushButton* btnPause = nullptr;
    QPushButton* btnPlay = nullptr;
    QPushButton* btnSave = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* cmdRecordings = nullptr;
    QLabel* Label1 = nullptr;
    // The state, shown in controls out of sight (never read back).
    QRadioButton* Option1 = nullptr;
    QRadioButton* Option2 = nullptr;
    QLineEdit* Text1 = nullptr;
    QLineEdit* Text2 = nullptr;
    QLineEdit* Text3 = nullptr;
    QLineEdit* Text4 = nullptr;
    QLabel* lblSystem = nullptr;
    QTimer* tmrRecTest = nullptr;
    QAction* record1 = nullptr;
    QAction* pause1 = nullptr;
    QAction* play1 = nullptr;
    QAction* save1 = nullptr;
    QAction* set1 = nullptr;
    QAction* list1 = nullptr;
};

} // namespace recorder

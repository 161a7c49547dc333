#pragma once
// The recorder window of both recorder programs: four big buttons with
// function keys, the status box, and the engine behind them.

#include "Dialogs.h"
#include "Edition.h"
#include "EngineWindow.h"
#include "Form1.h"
#include "LinkLabel.h"
#include "MCIplay.h"
#include "RecordEngine.h"
#include "RecorderController.h"
#include "Shell.h"
#include "WidgetEngineWindow.h"

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

namespace recorder {
class TakeMeterWidget;

enum class Script { Simplified, Traditional };

class frmRecTest final : public QWidget {
    Q_OBJECT
public:
    frmRecTest(Edition edition, audio::AudioLibrary& library, platform::Dialogs& dialogs,
               QWidget* parent = nullptr);
    ~frmRecTest() override;

    // The window's load: checks the command line (the arguments after the
    // program name), opens the audio library. False means the program ends;
    // the reason has been shown.
    bool Load(const QStringList& arguments);

    // The prompted edition speaks through `media`; without it (the standard
    // edition) every prompt step is skipped.
    void setPromptMedia(platform::MediaControl* media) { media_ = media; }
    // Starts the volume tools and opens the maker's site; without it those
    // controls do nothing.
    void setShell(platform::Shell* shell) { shell_ = shell; }
    // Where prompts are looked for; the program's own folder unless set.
    void setProgramFolder(const QString& folder) { programFolder_ = folder; }

    engine::RecordEngine& engine() { return controller_->engine(); }

    // Click handlers, also run by the F1-F5 menu items.
    void btnRecord_Click();
    void btnPause_Click();
    void btnPlay_Click();
    void btnSave_Click();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void lblZm_Click();
    void tmrRecTest_Timer();

    // Sets the language state and every caption of the table, loading the
    // settings window first if it is not loaded.
    void SwitchScript(Script script);
    // The settings window while it is loaded (shown, or loaded hidden by a
    // script switch); nothing otherwise.
    Form1* loadedForm1() const { return form1_.get(); }

    bool isSimplified() const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    void applyLayout();
    void createMenu();
    void PlayPrompt(const char* file);
    Form1& loadForm1();
    QString volumeCommand(bool recording) const;
    void startVolumeTool(bool recording);

    Edition edition_;
    platform::Dialogs& dialogs_;
    std::unique_ptr<recorder::WidgetEngineWindow> engineWindow_;
    std::unique_ptr<engine::RecorderController> controller_;
    platform::MediaControl* media_ = nullptr;
    int speaking_ = 0;                // prompts playing (the window paints meanwhile)
    bool closeAsked_ = false;         // a close came while one played
    std::unique_ptr<MCIplay> player_; // the current prompt's player, replaced per prompt
    QString programFolder_;
    platform::Shell* shell_ = nullptr;
    std::unique_ptr<Form1> form1_;

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
    recorder::TakeMeterWidget* takeMeter = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* btnRecord = nullptr;
    QPushButton* btnPause = nullptr;
    QPushButton* btnPlay = nullptr;
    QPushButton* btnSave = nullptr;
    QPushButton* Command1 = nullptr;
    QLabel* Label1 = nullptr;
    // Fields kept in controls out of sight.
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
};

} // namespace recorder

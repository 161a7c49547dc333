#pragma once
// The speech recorder window of the launcher: four recorder buttons worked
// by hand or by eight spoken command words, the command diagram, and the
// box that shows what was heard.

#include "AudioLibrary.h"
#include "CommandSession.h"
#include "Dialogs.h"
#include "LinkLabel.h"
#include "MediaControl.h"
#include "RecordEngine.h"
#include "RecorderController.h"
#include "Shell.h"
#include "TakeMeterWidget.h"
#include "VoiceStore.h"
#include "WidgetEngineWindow.h"
#include "frmRecordings.h"

#include <QWidget>

#include <functional>
#include <memory>

class QGroupBox;
class QLabel;
class QPushButton;
class QTextEdit;
class QTimer;

namespace speech {

class frmSDK final : public QWidget, private CommandSession::View {
    Q_OBJECT
public:
    // `simplified` reads the launcher's script choice.
    frmSDK(audio::AudioLibrary& library, platform::Dialogs& dialogs, platform::Shell& shell,
           std::function<bool()> simplified, SpeechBackendFactory recogniser,
           QWidget* parent = nullptr);
    ~frmSDK() override;

    // The window's load: devices and timer. False when the program must
    // end: the reason is shown in a box, and `failedAndTold` runs once it
    // is closed.
    bool Load(std::function<void()> failedAndTold = {});
    // The captions in the chosen script.
    void applyCaptions(bool simplified);

    void btnRecord_Click() { session_->record(); }
    void btnPause_Click() { session_->pause(); }
    void btnPlay_Click() { controller_->play(); }
    void btnSave_Click() { controller_->save(); }
    void Label8_Click();
    void Label9_Click();
    void tmrRec_Timer() { session_->refresh(); }

    // The user says each command word a few times; from then on the
    // recogniser goes by that voice.
    void cmdTrain_Click();
    // "我的录音" (also F6).
    void cmdRecordings_Click();
    // Where the user's recordings are kept; a folder of the user's own
    // application data unless set.
    void setVoiceStore(std::unique_ptr<VoiceStore> store) {
        session_->setVoiceStore(std::move(store));
    }
    // Voice prompts for the offer and the training, played by `media` from
    // `folder`; without them both are shown only.
    void setPromptMedia(platform::MediaControl& media, const QString& folder);
    // Whether the user has said no to training, and how to remember it.
    struct OfferMemory {
        std::function<bool()> declined;
        std::function<void()> decline;
    };
    void setOfferMemory(OfferMemory memory) { offerMemory_ = std::move(memory); }
    // A user with no training is offered it once, in large words and
    // spoken; "no" is remembered and the offer does not come back.
    void offerTraining();
    // A take an earlier session left unsaved is offered for saving.
    void offerRecovery() { engine().OfferRecovery(); }

    void StartRecognition() { session_->start(); }
    void StopRecognition() { session_->stop(); }
    // `began`: when the phrase's sound began; a spoken stop ends the take
    // there, so that the word is not in it. Unknown (the default): now.
    void RecoContext_Recognition(const QString& phrase,
                                 std::chrono::steady_clock::time_point began = {}) {
        session_->heard(phrase, began);
    }
    // Command2's click: the same as StopRecognition.
    void Command2_Click() { StopRecognition(); }

    engine::RecordEngine& engine() { return controller_->engine(); }
    CommandSession& session() { return *session_; }
    bool RecognitionActive() const { return session_->active(); }
    int contextsCreated() const { return session_->contextsCreated(); }

    QLabel* Picture1 = nullptr;
    QLabel* lblSX = nullptr;
    QLabel* lbl1 = nullptr;
    QLabel* lbl2 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2_0 = nullptr;
    QLabel* Label2_1 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr;
    platform::LinkLabel* Label8 = nullptr;
    platform::LinkLabel* Label9 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* cmdTrain = nullptr;
    QPushButton* cmdRecordings = nullptr;
    QGroupBox* Frame3 = nullptr;
    QPushButton* btnRecord = nullptr;
    QPushButton* btnPause = nullptr;
    QPushButton* btnPlay = nullptr;
    QPushButton* btnSave = nullptr;
    QGroupBox* Frame2 = nullptr;
    QLabel* lblPos = nullptr;
    // The level, the take's length and state, and a line under them.
    engine::TakeMeterWidget* takeMeter = nullptr;
    QGroupBox* Frame1 = nullptr;
    QTextEdit* Text1 = nullptr;
    QTimer* tmrRec = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    // What the session shows.
    bool simplified() const override { return simplified_(); }
    void showListening(bool active) override;
    void showPreparing(bool on) override;
    void showHeard(const QString& phrase) override;
    void clearHeard() override;
    void warn(const QString& text) override;
    bool inModalDialog() const override { return dialogs_.openNow() > 0; }

    audio::AudioLibrary& library_;
    platform::Dialogs& dialogs_;
    platform::Shell& shell_;
    std::function<bool()> simplified_;
    std::unique_ptr<engine::WidgetEngineWindow> engineWindow_;
    std::unique_ptr<engine::RecorderController> controller_;
    std::unique_ptr<platform::PromptPlayer> voice_;
    std::unique_ptr<CommandSession> session_;
    OfferMemory offerMemory_;
    std::unique_ptr<recordings::frmRecordings> recordings_;
};

} // namespace speech

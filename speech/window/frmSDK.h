#pragma once
// The speech recorder window of the launcher: four recorder buttons worked
// by hand or by eight spoken command words, the command diagram, and the
// box that shows what was heard.

#include "AudioLibrary.h"
#include "Dialogs.h"
#include "LinkLabel.h"
#include "MediaControl.h"
#include "RecoContext.h"
#include "RecordEngine.h"
#include "RecorderController.h"
#include "Shell.h"
#include "TakeMeterWidget.h"
#include "VoiceStore.h"
#include "WidgetEngineWindow.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QGroupBox;
class QLabel;
class QPushButton;
class QTextEdit;
class QTimer;

namespace speech {

class PromptVoice;

class frmSDK final : public QWidget {
    Q_OBJECT
public:
    // `simplified` reads the launcher's script choice.
    frmSDK(audio::AudioLibrary& library, platform::Dialogs& dialogs, platform::Shell& shell,
           std::function<bool()> simplified, SpeechBackendFactory recogniser,
           QWidget* parent = nullptr);
    ~frmSDK() override;

    // The window's load: devices and timer. False when the program must end
    // (the reason has been shown).
    bool Load();
    // The captions in the chosen script.
    void applyCaptions(bool simplified);

    void btnRecord_Click() { recordToggle({}); }
    void btnPause_Click() { pauseToggle({}); }
    // The two toggles as a spoken word asks for them, `said` ago: a stop or
    // a pause takes the word back out of the take.
    void recordToggle(std::chrono::nanoseconds said);
    void pauseToggle(std::chrono::nanoseconds said);
    void btnPlay_Click();
    void btnSave_Click();
    void Label8_Click();
    void Label9_Click();
    void tmrRec_Timer();

    // The user says each command word a few times; from then on the
    // recogniser goes by that voice.
    void cmdTrain_Click();
    // Where the user's recordings are kept; a folder of the user's own
    // application data unless set.
    void setVoiceStore(std::unique_ptr<VoiceStore> store) { store_ = std::move(store); }
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
    void offerRecovery();

    // Learning from use: how long a confident command must stand before it
    // is kept as one of the user's recordings.
    static constexpr int kLearnAfterMs = 5000;
    void tmrLearn_Timer();
    void cancelLearning();
    void RecoContext_Confident(const QString& phrase, const std::vector<std::int16_t>& samples);

    void SetRecognitionState(bool active);
    void StartRecognition();
    void StopRecognition();
    // `began`: when the phrase's sound began; a spoken stop ends the take
    // there, so that the word is not in it. Unknown (the default): now.
    void RecoContext_Recognition(const QString& phrase,
                                 std::chrono::steady_clock::time_point began = {});
    // Command2's click: the same as StopRecognition.
    void Command2_Click() { StopRecognition(); }

    engine::RecordEngine& engine() { return controller_->engine(); }
    bool RecognitionActive() const { return recognitionActive_; }
    int contextsCreated() const { return contextsCreated_; }

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
    QGroupBox* Frame3 = nullptr;
    QPushButton* btnRecord = nullptr;
    QPushButton* btnPause = nullptr;
    QPushButton* btnPlay = nullptr;
    QPushButton* btnSave = nullptr;
    QGroupBox* Frame2 = nullptr;
    QLabel* lblPos = nullptr;
    // The level, the take's length and state, and a line under them.
    recorder::TakeMeterWidget* takeMeter = nullptr;
    QGroupBox* Frame1 = nullptr;
    QTextEdit* Text1 = nullptr;
    QTimer* tmrRec = nullptr;
    QTimer* tmrLearn = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    // The recognition context, created at its first use.
    bool ensureContext(QString& error);
    // Turns listening on; says why when it cannot be.
    void listen();
    // The user's recordings the recogniser goes by (null: none).
    void useProfile(std::shared_ptr<VoiceProfile> profile);
    enum TrainingProblem { TrainingUnreadable, TrainingNotSaved, TrainingNotRemoved };
    void explain(TrainingProblem problem, const std::string& detail);

    platform::Dialogs& dialogs_;
    platform::Shell& shell_;
    SpeechBackendFactory recogniser_;
    std::function<bool()> simplified_;
    std::unique_ptr<VoiceStore> store_;
    std::unique_ptr<recorder::WidgetEngineWindow> engineWindow_;
    std::unique_ptr<engine::RecorderController> controller_;
    std::unique_ptr<RecoContext> RecoContext_;
    std::unique_ptr<PromptVoice> voice_;
    OfferMemory offerMemory_;
    bool training_ = false;
    std::shared_ptr<const VoiceProfile> profile_;
    struct Learnable {
        QString phrase;
        std::vector<std::int16_t> samples;
    };
    std::optional<Learnable> learnable_;
    RecoGrammar* RecoGrammar_ = nullptr;
    bool recognitionActive_ = false;
    int contextsCreated_ = 0;
    // Tells the recogniser whether a take is being recorded.
    void followTake();
};

} // namespace speech

#pragma once
// Spoken commands in a recorder: listening on and off, the user's own
// recordings and learning from use, each command word sent to the recorder
// controller, and the steps of a training around its window. No widgets:
// the speech window shows what this says through View and forwards clicks.

#include "PromptPlayer.h"
#include "RecoContext.h"
#include "RecorderController.h"
#include "VoiceStore.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace speech {

class CommandSession final : public QObject {
    Q_OBJECT
public:
    // What the session needs of its window.
    class View {
    public:
        virtual ~View() = default;
        virtual bool simplified() const = 0;
        virtual void showListening(bool active) = 0;
        // The recogniser is still loading: listening begins when it is ready.
        virtual void showPreparing(bool) {}
        // Appends one phrase to what was heard; clearHeard empties it.
        virtual void showHeard(const QString& phrase) = 0;
        virtual void clearHeard() = 0;
        // A message box with the window's title.
        virtual void warn(const QString& text) = 0;
        // A save dialog or a box is open over the window.
        virtual bool inModalDialog() const = 0;
    };

    CommandSession(engine::RecorderController& controller, View& view,
                   SpeechBackendFactory recogniser, std::unique_ptr<VoiceStore> store);
    ~CommandSession() override;

    void setVoiceStore(std::unique_ptr<VoiceStore> store) { store_ = std::move(store); }
    VoiceStore& store() { return *store_; }
    // Prompts before listening and training, files in `folder`; without a
    // voice nothing is said.
    void setVoice(platform::PromptPlayer* voice, QString folder) {
        voice_ = voice;
        promptFolder_ = std::move(folder);
    }

    // The two toggles as a spoken word or a click asks for them, `said`
    // ago: a stop or a pause takes the word back out of the take.
    // A spoken stop or pause goes back to a little before the word's first
    // sound: the microphone the take is read from and the recogniser's are
    // two streams whose delays differ by tens of milliseconds, and a
    // command is heard only as an utterance of its own, after a pause
    // longer than this, so nothing she said is cut.
    static constexpr std::chrono::milliseconds kQuietBeforeWord{150};
    void record(std::chrono::nanoseconds said = {});
    void pause(std::chrono::nanoseconds said = {});
    // The display refresh: a take that ended by itself, a microphone gone.
    void refresh();

    // The recogniser begins loading, on a thread of its own (when the
    // window opens): by the first start it is ready.
    void prepare();
    void start();
    void stop();
    bool active() const { return active_; }
    void setActive(bool active);
    // One phrase from the recogniser, whose sound began at `began`
    // (unknown: the default).
    void heard(const QString& phrase, std::chrono::steady_clock::time_point began = {});
    // A confident match against the user's recordings, before its phrase.
    void confident(const QString& phrase, const std::vector<std::int16_t>& samples);
    // Learning from use: a confident command that nothing undoes within
    // kLearnAfterMs becomes one of the user's recordings.
    static constexpr int kLearnAfterMs = 5000;
    QTimer& learnTimer() { return learnTimer_; }
    void learn();
    void cancelLearning();

    // Training: begin (false: the reason has been shown), the recogniser's
    // utterances and levels come from context(), each new word is said to
    // the user through sayWord, and end with what the window gave back.
    enum class TrainingEnd { Kept, Cancelled, Cleared };
    bool beginTraining();
    RecoContext& context() { return *context_; }
    void sayWord(std::size_t word, std::function<bool()> stillOpen, std::function<void()> done);
    void endTraining(TrainingEnd end, const VoiceProfile& profile);
    // The training is offered to a user who has none and has not said no.
    bool wantsOffer(const std::function<bool()>& declined) const;
    void sayOffer();

    int contextsCreated() const { return contextsCreated_; }

private:
    std::string prompt(const QString& file) const;
    bool ensureContext();
    void listen();
    void useProfile(std::shared_ptr<VoiceProfile> profile);
    void followTake();
    enum Problem { TrainingUnreadable, TrainingNotSaved, TrainingNotRemoved };
    void explain(Problem problem, const std::string& detail);

    engine::RecorderController& controller_;
    View& view_;
    SpeechBackendFactory recogniser_;
    std::unique_ptr<VoiceStore> store_;
    platform::PromptPlayer* voice_ = nullptr;
    QString promptFolder_;
    std::unique_ptr<RecoContext> context_;
    RecoGrammar* grammar_ = nullptr;
    bool active_ = false;
    // Listening stopped because the microphone went: when to try it again.
    std::optional<std::chrono::steady_clock::time_point> microphoneBackAt_;
    static constexpr std::chrono::seconds kRetryMicrophone{1};
    int contextsCreated_ = 0;
    std::unique_ptr<RecoContext> prepared_; // loading, not yet in use
    bool startWhenReady_ = false;           // asked to listen while it loads
    bool training_ = false;
    bool listeningBeforeTraining_ = false;
    std::shared_ptr<const VoiceProfile> profile_;
    struct Learnable {
        QString phrase;
        std::vector<std::int16_t> samples;
    };
    std::optional<Learnable> learnable_;
    QTimer learnTimer_;
};

} // namespace speech

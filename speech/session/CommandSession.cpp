#include "CommandSession.h"

#include "CommandWords.h"
#include "ScriptText.h"

#include <QDir>

namespace speech {
namespace {

// What each spoken command does, told how long ago the word was said.
using Said = std::chrono::nanoseconds;
constexpr void (*kCommandActions[])(CommandSession&, engine::RecorderController&, Said) = {
    [](CommandSession& s, auto&, Said said) { s.record(said); }, // 录音
    [](CommandSession& s, auto&, Said said) { s.pause(said); },  // 暂停
    [](CommandSession& s, auto&, Said said) { s.pause(said); },  // 继续
    [](CommandSession& s, auto&, Said said) { s.record(said); }, // 停止
    [](CommandSession&, auto& c, Said) { c.play(); },            // 播放
    [](CommandSession&, auto& c, Said) { c.play(); },            // 试听
    [](CommandSession&, auto& c, Said) { c.save(); },            // 保存
    [](CommandSession& s, auto&, Said) { s.stop(); },            // 停止识别
};
static_assert(std::size(kCommandActions) == kCommandWords.size());

} // namespace

CommandSession::CommandSession(engine::RecorderController& controller, View& view,
                               SpeechBackendFactory recogniser, std::unique_ptr<VoiceStore> store)
    : controller_(controller), view_(view), recogniser_(std::move(recogniser)),
      store_(std::move(store)) {
    // A button pressed soon after a command may be undoing it.
    learnTimer_.setSingleShot(true);
    learnTimer_.setInterval(kLearnAfterMs);
    connect(&learnTimer_, &QTimer::timeout, this, &CommandSession::learn);
}

CommandSession::~CommandSession() = default;

void CommandSession::record(std::chrono::nanoseconds said) {
    controller_.record(said);
    followTake();
}

void CommandSession::pause(std::chrono::nanoseconds said) {
    controller_.pause(said);
}

void CommandSession::followTake() {
    if (context_)
        context_->SetDuringTake(controller_.engine().capturing() ||
                                controller_.engine().stopping());
}

void CommandSession::refresh() {
    controller_.refresh();
    // A take also ends by itself (full, microphone gone).
    followTake();
    // Listening to a microphone that is gone would look like a recogniser
    // that no longer understands: it stops, and the user is told.
    if (active_ && context_ && context_->MicrophoneLost()) {
        stop();
        // Heard again by itself once the microphone is back (its sound
        // server restarted), tried once a second.
        microphoneBackAt_ = std::chrono::steady_clock::now() + kRetryMicrophone;
        view_.warn(view_.simplified() ? QStringLiteral("麦克风断开了，语音识别已停止。")
                                      : QStringLiteral("麥克風斷開了，語音識別已停止。"));
    } else if (!active_ && microphoneBackAt_ &&
               std::chrono::steady_clock::now() >= *microphoneBackAt_) {
        QString ignored;
        if (grammar_->DictationSetState(1, ignored) && !context_->MicrophoneLost()) {
            microphoneBackAt_.reset();
            setActive(true);
        } else {
            grammar_->DictationSetState(0, ignored);
            microphoneBackAt_ = std::chrono::steady_clock::now() + kRetryMicrophone;
        }
    }
}

void CommandSession::setActive(bool active) {
    active_ = active;
    view_.showListening(active);
}

void CommandSession::prepare() {
    if (context_ || prepared_)
        return;
    prepared_ = std::make_unique<RecoContext>(recogniser_);
    ++contextsCreated_;
    prepared_->Prepare();
}

bool CommandSession::ensureContext() {
    if (context_)
        return true;
    prepare();
    auto context = std::move(prepared_);
    RecoGrammar* grammar = context->CreateGrammar(1);
    QString error;
    // Said plainly, and the window stays: the buttons still record.
    if (!grammar->DictationLoad(QString(), 0, error)) {
        view_.warn(error);
        return false;
    }
    context_ = std::move(context);
    grammar_ = grammar;
    connect(context_.get(), &RecoContext::Recognition, this,
            [this](const QString& phrase, std::chrono::steady_clock::time_point began) {
                heard(phrase, began);
            });
    connect(context_.get(), &RecoContext::Confident, this, &CommandSession::confident);
    // The user's own recordings, when there are any; a damaged set is
    // reported and the general recogniser is used.
    auto profile = std::make_shared<VoiceProfile>();
    std::string detail;
    if (!store_->load(*profile, detail))
        explain(TrainingUnreadable, detail);
    else if (profile->complete())
        useProfile(std::move(profile));
    else if (!profile->empty()) // the window only ever stores whole sets
        explain(TrainingUnreadable, "语音样本不全：" + store_->where());
    return true;
}

void CommandSession::useProfile(std::shared_ptr<VoiceProfile> profile) {
    cancelLearning();
    profile_ = profile;
    context_->SetProfile(std::move(profile));
}

void CommandSession::confident(const QString& phrase, const std::vector<std::int16_t>& samples) {
    learnable_ = Learnable{phrase, samples};
}

void CommandSession::cancelLearning() {
    learnTimer_.stop();
    learnable_.reset();
}

void CommandSession::learn() {
    if (!learnable_ || !profile_)
        return;
    // A copy learns, and is used once it is on disk: what the recogniser
    // goes by is always what the next start will load.
    auto learned = std::make_shared<VoiceProfile>(*profile_);
    const Learnable heard = std::move(*learnable_);
    learnable_.reset();
    std::string ignored;
    if (learned->learn(heard.phrase.toStdString(), heard.samples) &&
        store_->save(*learned, ignored)) {
        profile_ = learned;
        context_->SetProfile(std::move(learned));
    }
}

void CommandSession::explain(Problem problem, const std::string& detail) {
    // What happened and what to do, in the window's script; the technical
    // detail below it for whoever helps.
    static constexpr platform::ScriptText kProblems[] = {
        {"以前的口令训练录音不能使用，现在按一般方式识别口令。请重新做一次口令训练。",
         "以前的口令訓練錄音不能使用，現在按一般方式識別口令。請重新做一次口令訓練。"},
        {"口令训练的录音没能保存，这次训练没有生效。请检查磁盘空间后再训练一次。",
         "口令訓練的錄音沒能保存，這次訓練沒有生效。請檢查磁碟空間後再訓練一次。"},
        {"口令训练的录音没能删除，仍按您的声音识别口令。",
         "口令訓練的錄音沒能刪除，仍按您的聲音識別口令。"},
    };
    view_.warn(QString::fromUtf8(kProblems[problem].in(view_.simplified())) +
               QStringLiteral("\n\n") + QString::fromStdString(detail));
}

void CommandSession::start() {
    microphoneBackAt_.reset();
    // Asked before the recogniser has loaded (at once after the window
    // opened): said, and listening begins when it is ready; the window
    // never waits for it.
    prepare();
    if (prepared_ && !prepared_->Ready()) {
        startWhenReady_ = true;
        view_.showPreparing(true);
        QTimer::singleShot(50, this, [this] {
            if (startWhenReady_)
                start();
        });
        return;
    }
    if (std::exchange(startWhenReady_, false))
        view_.showPreparing(false);
    if (!ensureContext())
        return;
    if (!voice_) {
        listen();
        return;
    }
    // A prompt still playing would be heard as the user's speech: listening
    // begins once the voice is quiet.
    setActive(true);
    voice_->say({}, [this] {
        if (active_)
            listen();
    });
}

void CommandSession::listen() {
    QString error;
    if (!grammar_->DictationSetState(1, error)) {
        setActive(false);
        view_.warn(error);
        return;
    }
    setActive(true);
}

void CommandSession::stop() {
    microphoneBackAt_.reset();
    if (std::exchange(startWhenReady_, false))
        view_.showPreparing(false);
    cancelLearning();
    if (grammar_) {
        QString ignored;
        grammar_->DictationSetState(0, ignored);
    }
    setActive(false);
    view_.clearHeard();
}

void CommandSession::heard(const QString& phrase, std::chrono::steady_clock::time_point began) {
    view_.showHeard(phrase);
    // Learning from use: a confident command that nothing undoes within a
    // few seconds (no other command, no button) becomes one of the user's
    // recordings. Never what is said while a take is recorded: the take's
    // own sound is the user's, not a command to keep.
    std::optional<Learnable> learnable = std::move(learnable_);
    cancelLearning();
    // A command must not change the take that an open save dialog or box is
    // about to act on: while one is open, phrases are shown, not obeyed.
    if (view_.inModalDialog())
        return;
    if (learnable && learnable->phrase == phrase && !controller_.engine().capturing() && profile_) {
        learnable_ = std::move(learnable);
        learnTimer_.start();
    }
    if (const auto command = commandNamed(phrase.toStdString())) {
        const auto now = std::chrono::steady_clock::now();
        const Said said = began.time_since_epoch().count() != 0 && began < now
                              ? now - began + kQuietBeforeWord
                              : Said{};
        kCommandActions[std::size_t(*command)](*this, controller_, said);
    }
}

bool CommandSession::beginTraining() {
    if (!ensureContext())
        return false;
    QString error;
    if (!context_->SetEnrolment(true, error)) {
        view_.warn(error);
        return false;
    }
    // No commands are obeyed while the user is saying them for the training.
    listeningBeforeTraining_ = active_;
    if (active_)
        stop();
    training_ = true;
    return true;
}

void CommandSession::sayWord(std::size_t word, std::function<bool()> stillOpen,
                             std::function<void()> done) {
    if (!voice_) {
        done();
        return;
    }
    // The microphone would hear the prompt: nothing is recorded while it
    // plays.
    QString ignored;
    context_->SetEnrolment(false, ignored);
    const QString file =
        QStringLiteral("跟我说%1.wav").arg(QString::fromUtf8(kCommandWords[word].word));
    voice_->say(prompt(file), [this, stillOpen = std::move(stillOpen), done = std::move(done)] {
        if (!training_ || !stillOpen())
            return;
        // A microphone that cannot be listened to again would leave the
        // user talking to a window that hears nothing: it is said.
        QString problem;
        if (!context_->SetEnrolment(true, problem))
            view_.warn(problem);
        done();
    });
}

void CommandSession::endTraining(TrainingEnd end, const VoiceProfile& profile) {
    training_ = false;
    QString ignored;
    context_->SetEnrolment(false, ignored);
    std::string detail;
    if (end == TrainingEnd::Kept && profile.complete()) {
        if (store_->save(profile, detail))
            useProfile(std::make_shared<VoiceProfile>(profile));
        else
            explain(TrainingNotSaved, detail);
    } else if (end == TrainingEnd::Cleared) {
        // What is on disk decides: recordings that could not be removed
        // would be back at the next start, so they stay in use.
        if (!store_->clear(detail))
            explain(TrainingNotRemoved, detail);
        else
            useProfile(nullptr);
    }
    if (listeningBeforeTraining_)
        start();
}

bool CommandSession::wantsOffer(const std::function<bool()>& declined) const {
    return !store_->hasRecordings() && !(declined && declined());
}

std::string CommandSession::prompt(const QString& file) const {
    return QDir(promptFolder_).filePath(file).toStdString();
}

void CommandSession::sayOffer() {
    if (voice_)
        voice_->say(prompt(QStringLiteral("口令训练.wav")));
}

} // namespace speech

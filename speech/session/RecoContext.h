#pragma once
// The recognition context and its grammar, as the speech recorder window
// uses them: created once at the first start, phrases delivered as the
// Recognition event on the window thread, and only while active.

#include "SpeechBackend.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <chrono>
#include <memory>

namespace speech {

class RecoGrammar;

class RecoContext final : public QObject {
    Q_OBJECT
public:
    explicit RecoContext(const SpeechBackendFactory& factory, QObject* parent = nullptr);
    ~RecoContext() override;

    RecoGrammar* CreateGrammar(int id);
    // The recogniser starts loading now, on a thread of its own.
    void Prepare() { backend_->prepare(); }
    bool Ready() const { return backend_->ready(); }
    // Recording the user's own saying of the commands: while on, each
    // utterance arrives as Utterance and no phrase is recognised.
    bool SetEnrolment(bool on, QString& error);
    void SetProfile(std::shared_ptr<const VoiceProfile> profile);
    // A take is being recorded: commands must be said on their own.
    void SetDuringTake(bool on);
    // The microphone listened to has gone away.
    bool MicrophoneLost() const { return backend_ && backend_->microphoneLost(); }

signals:
    // One final phrase, on the window thread, with the moment its sound
    // began (steady clock).
    void Recognition(const QString& phrase, std::chrono::steady_clock::time_point began);
    // One utterance's sound while enrolling, on the window thread.
    void Utterance(const std::vector<std::int16_t>& samples);
    // A command matched confidently against the user's recordings, just
    // before its Recognition, on the window thread.
    void Confident(const QString& phrase, const std::vector<std::int16_t>& samples);
    // How loud the microphone is (0..1), a few times a second while enrolling.
    void Level(float peak);

private:
    friend class RecoGrammar;
    std::unique_ptr<SpeechBackend> backend_;
    std::unique_ptr<RecoGrammar> grammar_;
    // Phrases carry the listening period they were heard in; one from an
    // earlier period arrives after a stop and is dropped.
    std::atomic<unsigned> period_{0};
    bool active_ = false;
    bool enrolling_ = false;
};

class RecoGrammar {
public:
    explicit RecoGrammar(RecoContext& context) : context_(context) {}
    // Loads the command grammar; `error` names what is missing.
    bool DictationLoad(const QString& topic, int option, QString& error);
    // 1: listen; 0: deliver nothing more.
    bool DictationSetState(int state, QString& error);

private:
    RecoContext& context_;
};

} // namespace speech

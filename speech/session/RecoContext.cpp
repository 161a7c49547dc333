#include "RecoContext.h"

namespace speech {

RecoContext::RecoContext(const SpeechBackendFactory& factory, QObject* parent) : QObject(parent) {
    // The sinks are called on the backend's thread.
    SpeechBackend::Sinks sinks;
    sinks.phrase = [this](const std::string& phrase, std::chrono::steady_clock::time_point began) {
        const unsigned period = period_.load();
        const QString text = QString::fromStdString(phrase);
        QMetaObject::invokeMethod(
            this,
            [this, period, text, began] {
                if (active_ && period == period_.load())
                    emit Recognition(text, began);
            },
            Qt::QueuedConnection);
    };
    sinks.utterance = [this](std::vector<std::int16_t> samples) {
        const unsigned period = period_.load();
        QMetaObject::invokeMethod(
            this,
            [this, period, samples = std::move(samples)] {
                if (enrolling_ && period == period_.load())
                    emit Utterance(samples);
            },
            Qt::QueuedConnection);
    };
    sinks.confident = [this](const std::string& phrase, std::vector<std::int16_t> samples) {
        const unsigned period = period_.load();
        const QString text = QString::fromStdString(phrase);
        QMetaObject::invokeMethod(
            this,
            [this, period, text, samples = std::move(samples)] {
                if (active_ && period == period_.load())
                    emit Confident(text, samples);
            },
            Qt::QueuedConnection);
    };
    sinks.level = [this](float peak) {
        QMetaObject::invokeMethod(
            this,
            [this, peak] {
                if (enrolling_)
                    emit Level(peak);
            },
            Qt::QueuedConnection);
    };
    backend_ = factory(std::move(sinks));
}

bool RecoContext::SetEnrolment(bool on, QString& error) {
    ++period_;
    std::string message;
    if (!backend_->setEnrolling(on, message)) {
        error = QString::fromStdString(message);
        enrolling_ = false;
        return false;
    }
    enrolling_ = on;
    return true;
}

void RecoContext::SetDuringTake(bool on) {
    backend_->setDuringTake(on);
}

void RecoContext::SetProfile(std::shared_ptr<const VoiceProfile> profile) {
    backend_->setProfile(std::move(profile));
}

RecoContext::~RecoContext() {
    // The backend's thread may still call the sinks until it has stopped.
    backend_.reset();
}

RecoGrammar* RecoContext::CreateGrammar(int) {
    if (!grammar_)
        grammar_ = std::make_unique<RecoGrammar>(*this);
    return grammar_.get();
}

bool RecoGrammar::DictationLoad(const QString&, int, QString& error) {
    std::string message;
    if (!context_.backend_->load(message)) {
        error = QString::fromStdString(message);
        return false;
    }
    return true;
}

bool RecoGrammar::DictationSetState(int state, QString& error) {
    std::string message;
    const bool active = state != 0;
    ++context_.period_;
    if (!context_.backend_->setActive(active, message)) {
        error = QString::fromStdString(message);
        context_.active_ = false;
        return false;
    }
    context_.active_ = active;
    return true;
}

} // namespace speech

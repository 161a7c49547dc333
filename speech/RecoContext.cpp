#include "RecoContext.h"

namespace speech {

RecoContext::RecoContext(const SpeechBackendFactory& factory, QObject* parent) : QObject(parent) {
    // This function's sink is called on the backend's thread.
    backend_ = factory([this](const std::string& phrase) {
        const unsigned period = period_.load();
        const QString text = QString::fromStdString(phrase);
        QMetaObject::invokeMethod(
            this,
            [this, period, text] {
                if (active_ && period == period_.load())
                    emit Recognition(text);
            },
            Qt::QueuedConnection);
    });
}

RecoContext::~RecoContext() = default;

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

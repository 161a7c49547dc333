#include "RecorderPrompts.h"

#include "MCIplay.h"

#include <QCoreApplication>
#include <QTimer>

namespace recorder {

RecorderPrompts::RecorderPrompts() {
    setMedia(nullptr, false);
}

RecorderPrompts::~RecorderPrompts() = default;

void RecorderPrompts::setMedia(platform::MediaControl* media, bool prompted) {
    player_ = std::make_unique<platform::PromptPlayer>(
        prompted ? media : nullptr, [](platform::MediaControl& m, const std::string& path) {
            MCIplay player(m);
            player.FileName(path);
            player.PlaySound(); // a missing or broken file is silent
        });
    connect(player_.get(), &platform::PromptPlayer::quiet, this, [this] {
        if (pendingClose_)
            QTimer::singleShot(0, this, std::exchange(pendingClose_, nullptr));
    });
}

void RecorderPrompts::say(const char* file, std::function<void()> then) {
    const QString folder = folder_.isEmpty() ? QCoreApplication::applicationDirPath() : folder_;
    // Joined as they stand; the prompt paths use the other platform's separator.
    QString path = folder + QString::fromUtf8(file);
#ifndef _WIN32
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
#endif
    player_->say(path.toStdString(), std::move(then));
}

bool RecorderPrompts::deferClose(std::function<void()> close) {
    if (!player_->busy())
        return false;
    pendingClose_ = std::move(close);
    return true;
}

} // namespace recorder

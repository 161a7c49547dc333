#include "PromptPlayer.h"

namespace platform {

PromptPlayer::PromptPlayer(MediaControl* media, Play play, QObject* parent)
    : QObject(parent), media_(play ? media : nullptr), play_(std::move(play)),
      ownThread_(media_ && media_->blocks()) {
    if (ownThread_)
        worker_ = std::thread([this] { playLoop(); });
}

PromptPlayer::~PromptPlayer() {
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
    }
    wake_.notify_all();
    if (worker_.joinable())
        worker_.join();
}

void PromptPlayer::say(std::string path, std::function<void()> then) {
    if (!media_)
        path.clear();
    const auto at = steps_.begin() + std::ptrdiff_t(std::min(insertAt_, steps_.size()));
    steps_.insert(at, Step{std::move(path), std::move(then)});
    if (running_)
        ++insertAt_;
    else
        pump();
}

void PromptPlayer::whenQuiet(std::function<void()> action) {
    steps_.push_back(Step{{}, std::move(action)});
    if (!running_)
        pump();
}

void PromptPlayer::pump() {
    while (!running_ && !steps_.empty()) {
        Step step = std::move(steps_.front());
        steps_.pop_front();
        running_ = true;
        insertAt_ = 0;
        if (!step.path.empty()) {
            after_ = std::move(step.then);
            if (!ownThread_) {
                QMetaObject::invokeMethod(
                    this,
                    [this, path = std::move(step.path)] {
                        play_(*media_, path);
                        played();
                    },
                    Qt::QueuedConnection);
            } else {
                {
                    std::lock_guard lock(mutex_);
                    toPlay_ = std::move(step.path);
                    havePath_ = true;
                }
                wake_.notify_one();
            }
            return;
        }
        if (step.then)
            step.then();
        running_ = false;
    }
    if (!running_ && steps_.empty())
        emit quiet();
}

void PromptPlayer::played() {
    auto then = std::move(after_);
    after_ = nullptr;
    insertAt_ = 0;
    if (then)
        then();
    running_ = false;
    pump();
}

void PromptPlayer::playLoop() {
    for (;;) {
        std::string path;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return quit_ || havePath_; });
            if (quit_)
                return;
            path = std::move(toPlay_);
            havePath_ = false;
        }
        play_(*media_, path);
        QMetaObject::invokeMethod(
            this, [this] { played(); }, Qt::QueuedConnection);
    }
}

} // namespace platform

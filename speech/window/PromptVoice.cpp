#include "PromptVoice.h"

#include <QDir>

namespace speech {

PromptVoice::PromptVoice(platform::MediaControl& media, QString folder, QObject* parent)
    : QObject(parent), media_(media), folder_(std::move(folder)), worker_([this] { speakLoop(); }) {
}

PromptVoice::~PromptVoice() {
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
        jobs_.clear();
    }
    wake_.notify_all();
    worker_.join();
}

void PromptVoice::say(const QString& file, std::function<void()> done) {
    {
        std::lock_guard lock(mutex_);
        jobs_.push_back(
            {file.isEmpty() ? std::string() : QDir(folder_).filePath(file).toStdString(),
             std::move(done)});
    }
    wake_.notify_one();
}

void PromptVoice::speakLoop() {
    for (;;) {
        Job job;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return quit_ || !jobs_.empty(); });
            if (quit_)
                return;
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        platform::MCIDEVICEID device = 0;
        if (!job.path.empty() && media_.open(job.path, device) == platform::MCI_OK) {
            media_.playAndWait(device);
            media_.close(device);
        }
        if (job.done)
            QMetaObject::invokeMethod(this, std::move(job.done), Qt::QueuedConnection);
    }
}

} // namespace speech

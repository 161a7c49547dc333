#pragma once
// Speaks voice prompts (files in the wave/ folder beside the programs) one
// after another on a thread of its own, so that the window keeps painting
// and answering while a prompt plays; says on the window thread when each
// has finished.

#include "MediaControl.h"

#include <QObject>
#include <QString>

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace speech {

class PromptVoice final : public QObject {
    Q_OBJECT
public:
    // `media` plays the files; it is used only on the voice's own thread.
    PromptVoice(platform::MediaControl& media, QString folder, QObject* parent = nullptr);
    ~PromptVoice() override;
    PromptVoice(const PromptVoice&) = delete;
    PromptVoice& operator=(const PromptVoice&) = delete;

    // Queues the file; `done` runs on this object's thread once it has been
    // played, or could not be (a missing prompt must not stop the window).
    // An empty name plays nothing: `done` runs once what is queued is said.
    void say(const QString& file, std::function<void()> done = {});

private:
    struct Job {
        std::string path;
        std::function<void()> done;
    };
    void speakLoop();

    platform::MediaControl& media_;
    QString folder_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Job> jobs_;
    bool quit_ = false;
    std::thread worker_;
};

} // namespace speech

#pragma once
// Voice prompts, one after another, without holding up the window: each
// prompt plays on a thread of its own (or, for a player that returns at
// once, from the window's event loop), and what comes after it runs on the
// window thread once it has been said. Actions asked for while a prompt
// speaks wait their turn, so input is handled after the prompt, in order, as
// a blocking player would have it, while the window keeps painting.

#include "MediaControl.h"

#include <QObject>

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace platform {

class PromptPlayer final : public QObject {
    Q_OBJECT
public:
    // Plays one file to its end through `media`.
    using Play = std::function<void(MediaControl& media, const std::string& path)>;
    // Prompts through `media`, each played by `play`; without media every
    // step runs at once. A player that blocks for the sound's length gets a
    // thread of its own; one that returns at once is played from the event
    // loop, where a test's probe may look at the window.
    explicit PromptPlayer(MediaControl* media, Play play = &playToEnd, QObject* parent = nullptr);
    ~PromptPlayer() override;
    PromptPlayer(const PromptPlayer&) = delete;
    PromptPlayer& operator=(const PromptPlayer&) = delete;

    // Plays `path`, then runs `then` on the window thread; an empty path
    // plays nothing. Said from inside a step, it comes before anything
    // queued behind that step.
    void say(std::string path, std::function<void()> then = {});
    // Runs `action` now when nothing is being said or waiting, else after
    // everything queued before it.
    void whenQuiet(std::function<void()> action);
    // A prompt is playing or a step is waiting for one.
    bool busy() const { return running_ || !steps_.empty(); }

signals:
    // Everything queued has been said and done.
    void quiet();

private:
    struct Step {
        std::string path;
        std::function<void()> then;
    };
    void pump();
    void played();
    void playLoop();

    MediaControl* media_;
    Play play_;
    bool ownThread_;
    // Window thread only.
    std::deque<Step> steps_;
    bool running_ = false;
    std::size_t insertAt_ = 0;
    std::function<void()> after_;
    // Shared with the playing thread.
    std::mutex mutex_;
    std::condition_variable wake_;
    std::string toPlay_;
    bool havePath_ = false;
    bool quit_ = false;
    std::thread worker_;
};

} // namespace platform

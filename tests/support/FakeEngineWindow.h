#pragma once
// An engine window without widgets: remembers what the engine set and
// answers the save dialog from a script. Posted tasks wait for runPosted().

#include "EngineWindow.h"

#include <deque>
#include <mutex>

namespace fake {

struct ShownMessage {
    std::string title;
    std::string text;
    engine::MessageIcon icon;
};

class FakeEngineWindow final : public engine::EngineWindow {
public:
    std::string recordCaption = "录 音";
    bool playSaveEnabled = false;
    std::string positionText;
    bool simplified = true;
    std::vector<ShownMessage> messages;
    std::optional<std::string> saveAnswer; // nothing = the user cancels
    bool yesAnswer = false;
    std::vector<std::string> questions;
    std::vector<engine::SaveDialogRequest> saveRequests;
    int endedByEngine = 0;
    std::vector<engine::TakeView> takes; // what showTake() was given

    void setRecordCaption(const std::string& c) override { recordCaption = c; }
    void setPlaySaveEnabled(bool e) override { playSaveEnabled = e; }
    void setPositionText(const std::string& t) override { positionText = t; }
    void showTake(const engine::TakeView& view) override { takes.push_back(view); }
    bool isSimplified() const override { return simplified; }
    // Every box is answered at once, before the call that opened it returns;
    // with holdAnswers, questions and the save dialog wait for answerHeld().
    bool holdAnswers = false;
    std::size_t held() const { return held_.size(); }
    // Answers the oldest open question or save dialog with what yesAnswer
    // and saveAnswer say now.
    void answerHeld() {
        auto answer = std::move(held_.front());
        held_.pop_front();
        answer();
    }

    void showNotice(const std::string& title, const std::string& text, engine::MessageIcon icon,
                    std::function<void()> closed) override {
        messages.push_back({title, text, icon});
        if (closed)
            closed();
    }
    void askYesNo(const std::string&, const std::string& text,
                  std::function<void(bool)> answered) override {
        questions.push_back(text);
        held_.push_back([this, answered = std::move(answered)] { answered(yesAnswer); });
        if (!holdAnswers)
            answerHeld();
    }
    void askSaveFileName(const engine::SaveDialogRequest& r,
                         std::function<void(std::optional<std::string>)> chosen) override {
        saveRequests.push_back(r);
        held_.push_back([this, chosen = std::move(chosen)] { chosen(saveAnswer); });
        if (!holdAnswers)
            answerHeld();
    }
    void* nativeHandle() override { return this; }
    void captureEndedByEngine() override { ++endedByEngine; }

    void postToWindowThread(std::function<void()> task) override {
        std::lock_guard lock(mutex_);
        posted_.push_back(std::move(task));
    }
    // Runs what other threads posted, as the window thread's event loop would.
    int runPosted() {
        int n = 0;
        for (;;) {
            std::function<void()> task;
            {
                std::lock_guard lock(mutex_);
                if (posted_.empty())
                    return n;
                task = std::move(posted_.front());
                posted_.pop_front();
            }
            task();
            ++n;
        }
    }

private:
    std::mutex mutex_;
    std::deque<std::function<void()>> posted_;
    std::deque<std::function<void()>> held_;
};

} // namespace fake

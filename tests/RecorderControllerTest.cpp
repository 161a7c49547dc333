// The recorder's buttons without a window: which prompt is spoken before
// and which after its action, and when the settings may be opened.

#include "RecorderController.h"
#include "FakeAudioLibrary.h"
#include "FakeEngineWindow.h"

#include <gtest/gtest.h>

#include <filesystem>

using engine::RecorderController;

TEST(RecorderControllerTest, EachPromptIsSpokenWhereTheTakeCannotRecordIt) {
    fake::FakeAudioLibrary lib;
    fake::FakeEngineWindow win;
    std::vector<std::string> log;
    RecorderController* self = nullptr;
    // What the engine is doing as each prompt begins.
    const auto state = [&] {
        const auto& e = self->engine();
        const auto* playback = lib.stream(e.playbackStream());
        return std::string(e.paused()                      ? "paused"
                           : e.capturing()                 ? "recording"
                           : e.stopping()                  ? "stopping"
                           : playback && playback->playing ? "playing"
                           : lib.microphoneAsked > 0       ? "idle, microphone open"
                                                           : "idle");
    };
    const auto folder = std::filesystem::temp_directory_path() / "controller-test";
    RecorderController c(
        lib, win, "Tamsel", folder, {},
        {[&](const char* file, std::function<void()> then) {
             log.push_back(std::string(file) + " " + state() +
                           (win.saveRequests.empty() ? "" : " after the dialog"));
             if (then)
                 then();
         },
         [&](bool allowed) { log.push_back(allowed ? "settings on" : "settings off"); }});
    self = &c;
    std::chrono::steady_clock::time_point now{};
    c.engine().setSteadyClock([&] { return now += std::chrono::milliseconds(200); });
    ASSERT_TRUE(c.start());
    c.record();
    lib.deliver({4096});
    c.pause();
    c.pause();
    lib.clock = 4096;
    c.record();
    c.refresh(); // the stop's last sound never comes: it ends at its deadline
    c.refresh();
    c.play();
    win.saveAnswer = (std::filesystem::temp_directory_path() / "controller-test.wav").string();
    c.save();
    EXPECT_EQ(log, (std::vector<std::string>{
                       "\\wave\\开始录音.wav idle, microphone open", // before the take
                       "settings off",
                       "\\wave\\暂停录音.wav paused", // paused first
                       "\\wave\\暂停录音.wav paused", // resumed after
                       "settings on", "\\wave\\停止录音.wav stopping",
                       "\\wave\\播放录音.wav playing", // over the take
                       "\\wave\\保存录音.wav playing", // before the dialog
                       "settings on"}));
    EXPECT_EQ(win.saveRequests.size(), 1u);
    std::filesystem::remove(*win.saveAnswer);
    std::filesystem::remove_all(folder);
}

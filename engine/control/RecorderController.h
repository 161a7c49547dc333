#pragma once
// What the recorder's four buttons do, for every window that has them: the
// engine, the take kept on disk while it is recorded, the display refresh,
// and the voice prompt before or after each action. No widgets: a window
// lays out, captions and forwards its clicks, keys and spoken commands.

#include "RecordEngine.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace engine {

class RecorderController {
public:
    struct Hooks {
        // Speaks a prompt file, then runs `then`; empty in a window without
        // prompts, where `then` runs at once.
        std::function<void(const char* file, std::function<void()> then)> speak;
        // Whether the settings may be opened: not while a take is recorded.
        std::function<void(bool allowed)> settingsAllowed;
    };
    // How often the window refreshes the display while it is open.
    static constexpr int kRefreshMilliseconds = 200;

    RecorderController(audio::AudioLibrary& library, EngineWindow& window, std::string programTitle,
                       const std::filesystem::path& recoveryFolder, RecoveryFile::Trash trash,
                       Hooks hooks = {});
    ~RecorderController();
    RecorderController(const RecorderController&) = delete;
    RecorderController& operator=(const RecorderController&) = delete;

    RecordEngine& engine() { return *engine_; }

    // Opens the audio library; false: it could not, and the user is told
    // in a box, after which `told` runs.
    bool start(std::function<void()> told = {}) { return engine_->LibraryStartup(std::move(told)); }
    // The record key: starts a take, or stops the one that runs (paused or
    // not). A spoken stop or pause takes effect `said` ago, where its word
    // began.
    void record(std::chrono::nanoseconds said = {});
    void pause(std::chrono::nanoseconds said = {});
    void play();
    void save();
    // The display refresh, every kRefreshMilliseconds.
    void refresh() { engine_->RefreshDisplay(); }
    // Frees the sound devices; the window closes.
    void shutdown() { engine_->Shutdown(); }

    // The prompt files, as the program folder holds them.
    static constexpr const char* kStartPrompt = "\\wave\\开始录音.wav";
    static constexpr const char* kStopPrompt = "\\wave\\停止录音.wav";
    static constexpr const char* kPausePrompt = "\\wave\\暂停录音.wav";
    static constexpr const char* kPlayPrompt = "\\wave\\播放录音.wav";
    static constexpr const char* kSavePrompt = "\\wave\\保存录音.wav";

private:
    void speak(const char* file, std::function<void()> then = {}) {
        if (hooks_.speak)
            hooks_.speak(file, std::move(then));
        else if (then)
            then();
    }
    void allowSettings(bool allowed) {
        if (hooks_.settingsAllowed)
            hooks_.settingsAllowed(allowed);
    }

    Hooks hooks_;
    std::unique_ptr<RecordEngine> engine_;
};

} // namespace engine

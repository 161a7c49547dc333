#pragma once
// The engine's view of a window made of Qt widgets: the record button's
// caption, Play and Save, the position label, the script choice, boxes and
// the save dialog. The recorder window and the speech window use it.

#include "Dialogs.h"
#include "EngineWindow.h"
#include "SleepInhibitor.h"

#include <QPointer>

#include <functional>
#include <memory>

class QLabel;
class QPushButton;
class QWidget;

namespace engine {

class TakeMeterWidget;

class WidgetEngineWindow final : public engine::EngineWindow {
public:
    struct Controls {
        QWidget* window = nullptr;
        QPushButton* record = nullptr;
        QPushButton* play = nullptr;
        QPushButton* save = nullptr;
        QLabel* position = nullptr;
        TakeMeterWidget* meter = nullptr; // none: the take is shown by its byte count only
    };
    WidgetEngineWindow(Controls controls, platform::Dialogs& dialogs,
                       std::function<bool()> simplified);

    // Runs after the engine itself ended a capture (memory or length limit).
    void onEndedByEngine(std::function<void()> f) { endedByEngine_ = std::move(f); }

    void setRecordCaption(const std::string& caption) override;
    void setPlaySaveEnabled(bool enabled) override;
    void setPositionText(const std::string& text) override;
    bool isSimplified() const override { return simplified_(); }
    void showNotice(const std::string& title, const std::string& text, platform::MessageIcon icon,
                    std::function<void()> closed) override;
    void askYesNo(const std::string& title, const std::string& text,
                  std::function<void(bool)> answered) override;
    void askSaveFileName(const platform::SaveDialogRequest& request,
                         std::function<void(std::optional<std::string>)> chosen) override;
    void* nativeHandle() override;
    void captureEndedByEngine() override;
    void onMachineSleeps(std::function<void()> f) override { machineSleeps_ = std::move(f); }
    void showTake(const engine::TakeView& view) override;
    void postToWindowThread(std::function<void()> task) override;

private:
    Controls c_;
    platform::Dialogs& dialogs_;
    std::function<bool()> simplified_;
    std::function<void()> endedByEngine_;
    std::function<void()> machineSleeps_;
    // No sleep and no blank screen while a take records.
    platform::SleepInhibitor awake_;
};

} // namespace engine

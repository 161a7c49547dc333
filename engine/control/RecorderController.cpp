#include "RecorderController.h"

namespace engine {

RecorderController::RecorderController(audio::AudioLibrary& library, EngineWindow& window,
                                       std::string programTitle,
                                       const std::filesystem::path& recoveryFolder,
                                       RecoveryFile::Trash trash, Hooks hooks)
    : hooks_(std::move(hooks)),
      engine_(std::make_unique<RecordEngine>(library, window, std::move(programTitle))) {
    engine_->setRecoveryFolder(recoveryFolder, std::move(trash));
}

RecorderController::~RecorderController() {
    engine_->Shutdown();
}

void RecorderController::record(std::chrono::nanoseconds said) {
    // Acts on any existing capture, paused or running.
    if (engine_->capturing()) {
        engine_->StopRecording(said);
        allowSettings(true);
        speak(kStopPrompt);
    } else {
        // The capture begins once the prompt has ended; the microphone is
        // already running then.
        engine_->ReadyMicrophone();
        speak(kStartPrompt, [this] {
            engine_->StartRecording();
            allowSettings(false); // also when the start failed
        });
    }
}

void RecorderController::pause(std::chrono::nanoseconds said) {
    // A resumed take would record the prompt: it is spoken first, as before
    // a take starts.
    if (engine_->paused()) {
        speak(kPausePrompt, [this, said] { engine_->PauseRecording(said); });
        return;
    }
    engine_->PauseRecording(said);
    speak(kPausePrompt);
}

void RecorderController::play() {
    engine_->Play(); // the prompt is heard over the take's beginning
    speak(kPlayPrompt);
}

void RecorderController::save() {
    speak(kSavePrompt, [this] {
        engine_->SaveRecording();
        allowSettings(true);
    });
}

} // namespace engine

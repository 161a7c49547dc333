#pragma once
// What the engine knows of the window it serves. The recorder window and
// the speech recorder window implement it; tests implement it without Qt.

#include "DialogTypes.h"
#include "TakeView.h"

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace engine {

using MessageIcon = platform::MessageIcon;
using SaveDialogRequest = platform::SaveDialogRequest;

class EngineWindow {
public:
    virtual ~EngineWindow() = default;

    // Window thread only.
    virtual void setRecordCaption(const std::string& caption) = 0;
    virtual void setPlaySaveEnabled(bool enabled) = 0;
    virtual void setPositionText(const std::string& text) = 0;
    virtual bool isSimplified() const = 0;
    // Boxes, questions and the save dialog are modal to the user, but
    // nothing waits for them: what follows the answer is in the callback,
    // which runs once, after the call has returned or before.
    // `closed` runs once the user has closed the box.
    virtual void showNotice(const std::string& title, const std::string& text, MessageIcon icon,
                            std::function<void()> closed) = 0;
    // `answered` gets true when the user answered yes.
    virtual void askYesNo(const std::string& title, const std::string& text,
                          std::function<void(bool yes)> answered) = 0;
    // `chosen` gets the file name (UTF-8), or nothing when she cancelled.
    virtual void askSaveFileName(const SaveDialogRequest& request,
                                 std::function<void(std::optional<std::string>)> chosen) = 0;
    virtual void* nativeHandle() = 0;
    // Told when a capture was ended by the engine itself (memory or length
    // limit) rather than by the user, after the take has been finished.
    virtual void captureEndedByEngine() {}
    // Who to tell when the machine is about to sleep (a closed lid);
    // empty: nobody.
    virtual void onMachineSleeps(std::function<void()>) {}
    // At each display refresh and after a take ends or is saved: what the
    // take looks like now.
    virtual void showTake(const TakeView&) {}

    // This function is thread-safe: runs `task` later on the window thread.
    virtual void postToWindowThread(std::function<void()> task) = 0;
};

} // namespace engine

#pragma once
// What a window shows of the take being recorded, beyond the byte count:
// how loud the microphone is, how long the take is, whether it is paused,
// and whether the microphone has heard nothing for a while.

#include <string>

namespace engine {

struct TakeView {
    bool recording = false; // a take is being recorded (paused or not)
    bool paused = false;
    double seconds = 0;  // the take's length
    float level = 0;     // the loudest sample since the last display (0..1)
    bool silent = false; // nothing heard above the microphone's floor for a while
    std::string savedTo; // after a save: where the file went (UTF-8)
    // The unsaved take this one replaced went to the desktop's trash: said
    // until the user's next action.
    bool replacedToTrash = false;
    // The trash refused it: it waits in the recovery folder, offered at
    // the next start.
    bool replacedKept = false;
    // Sound the take lost while the machine stalled (whole seconds; 0:
    // none), said until the next take begins.
    int interruptedSeconds = 0;
};

} // namespace engine

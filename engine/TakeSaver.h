#pragma once
// Saving a finished take: what the save dialog is asked, and how a failed
// write is told.

#include "EngineWindow.h"

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>

namespace engine {

// The dialog's request: a name in words for when the take was made, opened
// in the folder the last save went to.
SaveDialogRequest saveRequest(std::time_t takeMadeAt, const std::string& startIn, bool simplified);

struct SaveOutcome {
    bool saved = false;
    std::string errorText; // not saved: what the error box says
};
// Writes the take's WAV image to `fileName` (UTF-8) whole or not at all.
SaveOutcome writeTake(const std::string& fileName, const std::uint8_t* image, std::size_t bytes,
                      bool simplified);

// The box's text for a write that failed with the system's `error`: the
// box keeps its words and the error number, then says in the window's
// script what went wrong and that nothing is lost.
std::string saveErrorText(const char* message, int error, bool simplified);

// The folder of a file name (UTF-8).
std::string parentFolder(const std::string& file);

} // namespace engine

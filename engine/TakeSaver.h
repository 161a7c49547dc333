#pragma once
// Saving a finished take: what the save dialog is asked, and how a failed
// write is told.

#include "EngineWindow.h"

#include <ctime>
#include <string>

namespace engine {

// The dialog's request: a name in words for when the take was made, opened
// in the folder the last save went to.
SaveDialogRequest saveRequest(std::time_t takeMadeAt, const std::string& startIn, bool simplified);

// The box's text for a write that failed with the system's `error`: the
// box keeps its words and the error number, then says in the window's
// script what went wrong and that nothing is lost.
std::string saveErrorText(const char* message, int error, bool simplified);

// The folder of a file name (UTF-8).
std::string parentFolder(const std::string& file);

} // namespace engine

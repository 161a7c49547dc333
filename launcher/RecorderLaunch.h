#pragma once
// Starting a recorder program from the launcher: it lies beside the
// launcher and runs only when given the one word it accepts.

#include "Shell.h"

#include <QString>

namespace launcher {

// False when the program could not be started (missing, not executable).
bool startRecorder(platform::Shell& shell, const QString& name);
// What the user is told then, in the chosen script.
QString recorderFailure(const QString& name, bool simplified);

} // namespace launcher

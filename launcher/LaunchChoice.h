#pragma once
// The launcher's three recording modes and what each starts: a recorder
// program of the suite, or (speech commands) the launcher's own window.

#include "SystemVer.h"

#include <QString>

namespace launcher {

enum class Mode { Prompted, Speech, Standard };

// The program a mode starts; empty for Mode::Speech. The standard recorder
// is chosen by the system's name.
inline QString recorderFor(Mode mode, const QString& systemName) {
    switch (mode) {
    case Mode::Prompted:
        return QStringLiteral("Tamsel");
    case Mode::Speech:
        return {};
    case Mode::Standard:
        break;
    }
    return platform::standardRecorderFor(systemName);
}

} // namespace launcher

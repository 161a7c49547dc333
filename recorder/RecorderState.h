#pragma once
// What the recorder window knows beyond its engine, held as values: the
// script, the recording format chosen in the settings, the system's name
// and the words it was started with. The window's controls out of sight
// only show it; nothing reads it back from them.

#include "LauncherWord.h"

#include <QString>

namespace recorder {

enum class Script { Simplified, Traditional };

// The format the settings window chooses; the engine records its own.
struct RecordFormat {
    int channels = 2;
    int bits = 16;
    int rate = 44100;
};

struct RecorderState {
    Script script = Script::Simplified; // always starts Simplified, never stored
    RecordFormat format;
    QString system;      // as SystemVer gives it: chooses the volume tools
    QString commandLine; // the arguments after the program's name, joined

    bool simplified() const { return script == Script::Simplified; }
    // Started by the launcher: exactly its one word, case and all.
    bool startedByLauncher() const { return commandLine == QLatin1String(platform::kLauncherWord); }
};

} // namespace recorder

#pragma once
// The whole life of a recorder program: the two editions differ only in
// their edition value.

#include "Edition.h"

namespace recorder {

int runRecorderProgram(int argc, char* argv[], Edition edition);

} // namespace recorder

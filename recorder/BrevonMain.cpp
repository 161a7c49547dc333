// The standard recorder: no prompts, no waiting.
#include "RecorderProgram.h"

int main(int argc, char* argv[]) {
    return recorder::runRecorderProgram(argc, argv, recorder::Edition::Standard);
}

// The recorder with voice prompts.
#include "RecorderProgram.h"

int main(int argc, char* argv[]) {
    return recorder::runRecorderProgram(argc, argv, recorder::Edition::Prompted);
}

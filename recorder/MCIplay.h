#pragma once
// Plays one voice prompt: open, play to the end, close, each result checked
// by whether the player has a text for it.

#include "MediaControl.h"

#include <string>

namespace recorder {

class MCIplay {
public:
    explicit MCIplay(platform::MediaControl& media) : media_(media) {}

    void FileName(std::string path) { fileName_ = std::move(path); }
    std::string MCIError() const { return mciError_; }
    // True when all three steps passed CheckError. Returns after the sound.
    bool PlaySound();
    // True when the player has a text for the code (success has one too),
    // not whether the step succeeded: a missing file still goes through
    // play and close, which then fail harmlessly.
    bool CheckError(platform::MCIERROR MCIErrorVal);

private:
    platform::MediaControl& media_;
    std::string fileName_;
    std::string mciError_;
};

} // namespace recorder

#pragma once
// Which microphone a capture opened as "the default" is really listening
// to. When that microphone goes away the sound server quietly moves the
// stream elsewhere (often to silence) and SDL still reports the device as
// playing; only the microphone's name, gone from the list, tells.

#include <string>

namespace platform {

class CaptureSource {
public:
    // Notes the default microphone's name now (nothing when the system does
    // not say: a monitor of an output, an older SDL).
    void remember();
    // Whether the noted microphone is no longer in the list. Never call it
    // while holding an SDL device lock: the list has a lock of its own that
    // SDL's hot-plug thread holds while it takes the device's.
    bool gone() const;

private:
    std::string name_;
};

} // namespace platform

#pragma once
// What the recognition context needs from a recogniser: load its grammar,
// listen or not, and hand over final phrases (from any thread).

#include <functional>
#include <memory>
#include <string>

namespace speech {

class SpeechBackend {
public:
    // Called on the backend's own thread with each final phrase.
    using PhraseSink = std::function<void(const std::string& phrase)>;
    virtual ~SpeechBackend() = default;
    virtual bool load(std::string& error) = 0;
    virtual bool setActive(bool active, std::string& error) = 0;
};

using SpeechBackendFactory =
    std::function<std::unique_ptr<SpeechBackend>(SpeechBackend::PhraseSink)>;

// The real one: the command decoder listening to the default microphone at
// 16 kHz mono (SDL converts), decoding on a worker thread of its own.
std::unique_ptr<SpeechBackend> makeMicrophoneBackend(SpeechBackend::PhraseSink sink);

} // namespace speech

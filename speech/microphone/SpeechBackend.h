#pragma once
// What the recognition context needs from a recogniser: load its grammar,
// listen or not, hand over final phrases (from any thread), and record a
// user's own saying of the command words.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace speech {

class VoiceProfile;

class SpeechBackend {
public:
    // Called on the backend's own thread with each final phrase and the
    // moment (steady clock) its sound began at the microphone.
    using PhraseSink =
        std::function<void(const std::string& phrase, std::chrono::steady_clock::time_point began)>;
    // Called on the backend's own thread with each utterance's sound while
    // enrolling (16 kHz mono).
    using UtteranceSink = std::function<void(std::vector<std::int16_t> samples)>;
    // Called on the backend's own thread, a few times a second while
    // enrolling, with the loudest sample heard since (0..1).
    using LevelSink = std::function<void(float peak)>;
    // Called on the backend's own thread, just before the phrase, with a
    // command matched confidently against the user's recordings.
    using ConfidentSink =
        std::function<void(const std::string& phrase, std::vector<std::int16_t> samples)>;
    struct Sinks {
        PhraseSink phrase;
        UtteranceSink utterance;
        LevelSink level;
        ConfidentSink confident;
    };
    virtual ~SpeechBackend() = default;
    // Starts loading on a thread of its own, so that load() finds it done
    // (window thread; optional).
    virtual void prepare() {}
    // Whether load() would return at once (window thread).
    virtual bool ready() { return true; }
    virtual bool load(std::string& error) = 0;
    virtual bool setActive(bool active, std::string& error) = 0;
    // While enrolling, utterances go to the utterance sink and no phrase is
    // recognised.
    virtual bool setEnrolling(bool enrolling, std::string& error) = 0;
    // The user's recordings to recognise by; null: none. This function is
    // thread-safe.
    virtual void setProfile(std::shared_ptr<const VoiceProfile> profile) = 0;
    // Whether a take is being recorded: commands are then heard by stricter
    // rules, since a false one would end the message being recorded.
    // Thread-safe.
    virtual void setDuringTake(bool) {}
    // Where what the recogniser learnt of the voice and the microphone is
    // kept between runs: read when it loads, written when it is destroyed.
    // Call before load().
    virtual void keepHearingIn(std::filesystem::path) {}
    // Whether the microphone listened to has gone away (window thread).
    virtual bool microphoneLost() { return false; }
};

using SpeechBackendFactory = std::function<std::unique_ptr<SpeechBackend>(SpeechBackend::Sinks)>;

// The real one: the command decoder listening to the default microphone at
// 16 kHz mono (SDL converts), decoding on a worker thread of its own.
std::unique_ptr<SpeechBackend> makeMicrophoneBackend(SpeechBackend::Sinks sinks);

} // namespace speech

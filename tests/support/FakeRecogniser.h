#pragma once
// A recogniser that hears what the test says, on a thread of its own, and
// records what it was asked to do.

#include "SpeechBackend.h"
#include "VoiceProfile.h"

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace fake {

struct FakeRecogniser {
    int created = 0;
    bool failLoad = false;
    bool failEnrol = false;
    std::vector<bool> states;
    std::vector<bool> enrolling;
    std::vector<std::shared_ptr<const speech::VoiceProfile>> profiles;
    speech::SpeechBackend::Sinks sinks;
    bool microphoneGone = false;
    bool stillLoading = false; // load() would wait
    std::vector<bool> duringTake;

    speech::SpeechBackendFactory factory() {
        return [this](speech::SpeechBackend::Sinks s) {
            ++created;
            sinks = std::move(s);
            struct Backend : speech::SpeechBackend {
                FakeRecogniser* owner;
                bool load(std::string& error) override {
                    if (owner->failLoad)
                        error = "找不到语音识别模型";
                    return !owner->failLoad;
                }
                bool setActive(bool active, std::string&) override {
                    owner->states.push_back(active);
                    return true;
                }
                bool setEnrolling(bool on, std::string& error) override {
                    if (on && owner->failEnrol) {
                        error = "找不到可以使用的麦克风";
                        return false;
                    }
                    owner->enrolling.push_back(on);
                    return true;
                }
                void setProfile(std::shared_ptr<const speech::VoiceProfile> p) override {
                    owner->profiles.push_back(std::move(p));
                }
                bool microphoneLost() override { return owner->microphoneGone; }
                bool ready() override { return !owner->stillLoading; }
                void setDuringTake(bool on) override {
                    if (owner->duringTake.empty() || owner->duringTake.back() != on)
                        owner->duringTake.push_back(on);
                }
            };
            auto b = std::make_unique<Backend>();
            b->owner = this;
            return b;
        };
    }
    // `ago`: how long before now the phrase's sound began.
    void hear(const std::string& phrase, std::chrono::milliseconds ago = {}) {
        std::thread([this, phrase, ago] {
            sinks.phrase(phrase, std::chrono::steady_clock::now() - ago);
        }).join();
    }
    void hearSound(std::vector<std::int16_t> samples) {
        std::thread([this, &samples] { sinks.utterance(std::move(samples)); }).join();
    }
    // A command matched confidently against the user's recordings.
    void hearConfident(const std::string& phrase, std::vector<std::int16_t> samples) {
        std::thread([&] {
            sinks.confident(phrase, std::move(samples));
            sinks.phrase(phrase, std::chrono::steady_clock::now());
        }).join();
    }
    void hearLevel(float peak) {
        std::thread([this, peak] { sinks.level(peak); }).join();
    }
};

} // namespace fake

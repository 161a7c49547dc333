#include "CaptureSource.h"
#include "CommandDecoder.h"
#include "HearingFile.h"
#include "SampleRing.h"
#include "SdlAudioSystem.h"
#include "SpeechBackend.h"
#include "VoiceProfile.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

namespace speech {
namespace {

class MicrophoneBackend final : public SpeechBackend {
public:
    explicit MicrophoneBackend(Sinks sinks) : sinks_(std::move(sinks)) {}

    ~MicrophoneBackend() override {
        // No callback runs once the device is closed; then the worker ends.
        device_.close();
        {
            std::lock_guard lock(mutex_);
            quit_ = true;
        }
        wake_.notify_all();
        if (worker_.joinable())
            worker_.join();
        if (decoder_ && !hearingFile_.empty())
            writeHearing(hearingFile_, decoder_->hearing());
    }

    void keepHearingIn(std::filesystem::path file) override { hearingFile_ = std::move(file); }

    // The model takes a second or more to load: begun when the window
    // opens, it is ready by the time the user asks to be heard.
    void prepare() override {
        if (decoder_ || loading_.valid())
            return;
        loading_ = std::async(std::launch::async, [] {
            Loaded loaded;
            loaded.decoder = CommandDecoder::create(loaded.error);
            return loaded;
        });
    }

    bool ready() override {
        return decoder_ || (loading_.valid() && loading_.wait_for(std::chrono::seconds(0)) ==
                                                    std::future_status::ready);
    }

    bool load(std::string& error) override {
        prepare();
        Loaded loaded = loading_.get();
        decoder_ = std::move(loaded.decoder);
        if (!decoder_) {
            error = loaded.error;
            return false;
        }
        if (!hearingFile_.empty())
            decoder_->setHearing(readHearing(hearingFile_));
        decoder_->setPhraseHandler([this](const std::string& phrase) {
            if (!active_ || enrolling_)
                return;
            // When the command began: what came after it (the rest of the
            // block being fed, and what still waits for the worker) before
            // the moment the newest samples arrived, not now: the worker
            // may be a period behind.
            std::size_t waiting = 0;
            std::chrono::steady_clock::time_point newest;
            {
                std::lock_guard lock(mutex_);
                waiting = pending_.size();
                newest = newestAt_;
            }
            const double ago = double(blockEnd_ - decoder_->commandStart() + waiting) /
                               CommandDecoder::kSampleRate;
            sinks_.phrase(phrase, newest - std::chrono::duration_cast<std::chrono::nanoseconds>(
                                               std::chrono::duration<double>(ago)));
        });
        decoder_->setConfidentHandler(
            [this](const std::string& phrase, const std::vector<std::int16_t>& samples) {
                if (active_ && !enrolling_ && sinks_.confident)
                    sinks_.confident(phrase, samples);
            });
        decoder_->setUtteranceHandler([this](const std::vector<std::int16_t>& samples) {
            if (enrolling_)
                sinks_.utterance(samples);
        });
        return true;
    }

    bool setActive(bool active, std::string& error) override {
        return listen(active_, active, error);
    }

    bool setEnrolling(bool enrolling, std::string& error) override {
        return listen(enrolling_, enrolling, error);
    }

    void setDuringTake(bool on) override {
        if (decoder_)
            decoder_->setDuringTake(on);
    }

    void setProfile(std::shared_ptr<const VoiceProfile> profile) override {
        std::lock_guard lock(mutex_);
        profile_ = std::move(profile);
        profileChanged_ = true;
    }

private:
    bool listen(std::atomic<bool>& flag, bool on, std::string& error) {
        if (!on) {
            // Nothing more is delivered; what the worker is decoding is dropped.
            flag = false;
            std::lock_guard lock(mutex_);
            pending_.clear();
            return true;
        }
        // A microphone that went away (its sound server restarted) is
        // opened afresh: the old stream will never deliver again.
        if (device_.isOpen() && microphoneLost())
            device_.close();
        if (!device_.isOpen() && !openMicrophone(error))
            return false;
        flag = true;
        return true;
    }

    bool openMicrophone(std::string& error) {
        if (!sdl_.start()) {
            error = "无法启动声音系统，不能进行语音识别。";
            return false;
        }
        // The decoder takes native 16-bit samples; SDL converts to them.
        if (!device_.open(platform::SdlDevice::Kind::Capture, CommandDecoder::kSampleRate, 1, 1024,
                          &MicrophoneBackend::captured, this, nullptr, AUDIO_S16SYS)) {
            error = "找不到可以使用的麦克风，不能进行语音识别。";
            return false;
        }
        if (!worker_.joinable())
            worker_ = std::thread([this] { decodeLoop(); });
        device_.run(true);
        source_.remember();
        return true;
    }

    bool microphoneLost() override {
        return device_.isOpen() && (device_.stopped() || source_.gone());
    }

    // SDL's capture thread: copy and return.
    static void SDLCALL captured(void* self, Uint8* data, int len) {
        auto* me = static_cast<MicrophoneBackend*>(self);
        if ((!me->active_ && !me->enrolling_) || len <= 0)
            return;
        const auto* samples = reinterpret_cast<const std::int16_t*>(data);
        const auto now = std::chrono::steady_clock::now();
        {
            std::lock_guard lock(me->mutex_);
            me->pending_.push(samples, std::size_t(len) / 2);
            me->newestAt_ = now;
        }
        me->wake_.notify_one();
    }

    // The worker: decoding takes far longer than copying.
    void decodeLoop() {
        std::vector<std::int16_t> block(CommandDecoder::kSampleRate / 4);
        for (;;) {
            std::size_t got = 0;
            {
                std::unique_lock lock(mutex_);
                wake_.wait(lock, [this] { return quit_ || pending_.size() > 0; });
                if (quit_)
                    return;
                got = pending_.take(block);
                if (profileChanged_) {
                    decoder_->setProfile(profile_);
                    profileChanged_ = false;
                }
            }
            if (dump_)
                std::fwrite(block.data(), sizeof(std::int16_t), got, dump_.get());
            blockEnd_ = decoder_->samplesFed() + got;
            decoder_->feed(block.data(), got);
            if (enrolling_ && sinks_.level) {
                int peak = 0;
                for (std::size_t i = 0; i < got; ++i)
                    peak = std::max(peak, std::abs(int(block[i])));
                sinks_.level(float(peak) / 32768.0f);
            }
        }
    }

    Sinks sinks_;
    // With SPEECH_RECORD set, everything the decoder hears goes to that file
    // too (raw 16 kHz mono): what a microphone gave, to measure again.
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> dump_{
        openDump(), [](std::FILE* f) { return std::fclose(f); }};
    static std::FILE* openDump() {
        const char* path = std::getenv("SPEECH_RECORD");
        if (!path)
            return nullptr;
        std::FILE* f = std::fopen(path, "wb");
        if (!f)
            std::fprintf(stderr, "SPEECH_RECORD: cannot write %s\n", path);
        return f;
    }
    struct Loaded {
        std::unique_ptr<CommandDecoder> decoder;
        std::string error;
    };
    std::future<Loaded> loading_;
    std::unique_ptr<CommandDecoder> decoder_;
    std::filesystem::path hearingFile_;
    std::atomic<bool> active_{false};
    std::atomic<bool> enrolling_{false};
    platform::SdlAudioSystem sdl_;
    platform::SdlDevice device_;
    platform::CaptureSource source_;
    std::thread worker_;
    std::mutex mutex_;
    std::condition_variable wake_;
    SampleRing pending_{CommandDecoder::kSampleRate * 10};
    std::chrono::steady_clock::time_point newestAt_; // when pending_'s last samples came
    bool quit_ = false;
    // Handed to the decoder by the worker, which alone uses it.
    std::shared_ptr<const VoiceProfile> profile_;
    bool profileChanged_ = false;
    // Where the block the worker is feeding ends, in samples fed.
    std::uint64_t blockEnd_ = 0;
};

} // namespace

std::unique_ptr<SpeechBackend> makeMicrophoneBackend(SpeechBackend::Sinks sinks) {
    return std::make_unique<MicrophoneBackend>(std::move(sinks));
}

} // namespace speech

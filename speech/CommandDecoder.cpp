#include "CommandDecoder.h"

#include "CommandLexicon.h"
#include "VoiceProfile.h"

#include <pocketsphinx.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

#ifndef POCKETSPHINX_MODEL_DIR
#define POCKETSPHINX_MODEL_DIR "/usr/share/pocketsphinx/model"
#endif

namespace fs = std::filesystem;

namespace speech {

struct CommandDecoder::Impl {
    fs::path workDir;
    cmd_ln_t* config = nullptr;
    ps_decoder_t* decoder = nullptr;
    bool inUtterance = false; // speech was heard since the utterance began
    // The voice detector notices speech a little after it starts: the last
    // half second before it is kept and becomes the utterance's start.
    std::vector<std::int16_t> before;
    std::vector<std::int16_t> utterance;
    static constexpr std::size_t kBefore = CommandDecoder::kSampleRate / 2;
    // Longer than any command word said slowly; the rest is not kept.
    static constexpr std::size_t kLongest = CommandDecoder::kSampleRate * 8;

    ~Impl() {
        if (decoder)
            ps_free(decoder);
        if (config)
            cmd_ln_free_r(config);
        std::error_code ignored;
        if (!workDir.empty())
            fs::remove_all(workDir, ignored);
    }
};

CommandDecoder::CommandDecoder(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
CommandDecoder::~CommandDecoder() = default;

std::unique_ptr<CommandDecoder> CommandDecoder::create(std::string& error,
                                                       double commandProbability,
                                                       const std::string& extraPronunciations) {
    const fs::path model = fs::path(POCKETSPHINX_MODEL_DIR) / "en-us" / "en-us";
    if (!fs::exists(model / "mdef")) {
        error = "找不到语音识别模型：" + model.string();
        return nullptr;
    }
    auto impl = std::make_unique<Impl>();
    std::random_device rd;
    impl->workDir = fs::temp_directory_path() / ("speech-" + std::to_string(rd()));
    std::error_code ec;
    fs::create_directories(impl->workDir, ec);
    const fs::path dict = impl->workDir / "commands.dict";
    const fs::path fsg = impl->workDir / "commands.fsg";
    std::ofstream(dict) << dictionaryText(readPronunciations(extraPronunciations));
    std::ofstream(fsg) << grammarText(commandProbability);

    // Measured on synthesised voices: a language weight of 10 and a small
    // word insertion penalty let the command branch win where it should,
    // while wrong commands stay rare (a missed word is said again; a wrong
    // one does something the user did not ask for).
    impl->config = cmd_ln_init(nullptr, ps_args(), TRUE, "-hmm", model.c_str(), "-dict",
                               dict.c_str(), "-fsg", fsg.c_str(), "-logfn", "/dev/null",
                               "-samprate", "16000", "-lw", "10", "-wip", "0.05", nullptr);
    if (!impl->config) {
        error = "语音识别设置无效";
        return nullptr;
    }
    impl->decoder = ps_init(impl->config);
    if (!impl->decoder) {
        error = "无法载入语音识别模型：" + model.string();
        return nullptr;
    }
    ps_start_utt(impl->decoder);
    return std::unique_ptr<CommandDecoder>(new CommandDecoder(std::move(impl)));
}

void CommandDecoder::feed(const std::int16_t* samples, std::size_t count) {
    // Small pieces, so that the end of speech is noticed within a few frames.
    constexpr std::size_t kPiece = 1600; // 0.1 s
    for (std::size_t done = 0; done < count; done += kPiece) {
        const std::size_t n = std::min(kPiece, count - done);
        const std::int16_t* piece = samples + done;
        ps_process_raw(impl_->decoder, piece, n, FALSE, FALSE);
        fed_ += n;
        const bool inSpeech = ps_get_in_speech(impl_->decoder) != 0;
        Impl& d = *impl_;
        if (d.inUtterance) {
            if (d.utterance.size() < Impl::kLongest)
                d.utterance.insert(d.utterance.end(), piece, piece + n);
        } else {
            d.before.insert(d.before.end(), piece, piece + n);
            if (d.before.size() > Impl::kBefore)
                d.before.erase(d.before.begin(), d.before.end() - std::ptrdiff_t(Impl::kBefore));
        }
        if (inSpeech && !d.inUtterance) {
            d.inUtterance = true;
            d.utterance.assign(d.before.begin(), d.before.end());
            d.before.clear();
        } else if (!inSpeech && d.inUtterance) {
            finishUtterance();
        }
    }
}

void CommandDecoder::flush() {
    if (impl_->inUtterance)
        finishUtterance();
}

void CommandDecoder::finishUtterance() {
    ps_end_utt(impl_->decoder);
    std::int32_t score = 0;
    const char* hyp = ps_get_hyp(impl_->decoder, &score);
    std::string phrase = hyp ? hyp : "";
    impl_->inUtterance = false;
    const std::vector<std::int16_t> heard = std::move(impl_->utterance);
    impl_->utterance.clear();
    // The decoder is not reset between utterances: its front end keeps
    // adapting to the microphone's level and noise.
    ps_start_utt(impl_->decoder);
    const bool debug = std::getenv("SPEECH_DEBUG") != nullptr;
    if (debug)
        std::fprintf(stderr, "hyp [%s] score %d\n", phrase.c_str(), int(score));
    if (utteranceHandler_)
        utteranceHandler_(heard);
    if (profile_ && profile_->complete()) {
        const VoiceProfile::Match m = profile_->match(heard.data(), heard.size());
        if (debug)
            std::fprintf(stderr,
                         "match [%s] mean %.2f limit %.2f worst %.2f limit %.2f runner-up %.2f\n",
                         m.word.c_str(), m.distance.mean, m.limit.mean, m.distance.worst,
                         m.limit.worst, m.runnerUp);
        phrase = m.word;
    }
    if (isCommandWord(phrase) && handler_)
        handler_(phrase);
}

} // namespace speech

#include "SphinxDecoder.h"

#include <sphinxbase/fsg_model.h>

#include <algorithm>
#include <fstream>
#include <random>

#ifndef POCKETSPHINX_MODEL_DIR
#define POCKETSPHINX_MODEL_DIR "/usr/share/pocketsphinx/model"
#endif

namespace fs = std::filesystem;

namespace speech {

namespace {

// The decoder's options, ours with those of `over` on top.
std::vector<std::pair<std::string, std::string>>
arguments(const fs::path& model, const fs::path& dict, const fs::path& grammar,
          const std::vector<std::pair<std::string, std::string>>& over) {
    std::vector<std::pair<std::string, std::string>> args = {
        {"-hmm", model.string()},
        {"-dict", dict.string()},
        {"-fsg", grammar.string()},
        {"-logfn", "/dev/null"},
        {"-samprate", "16000"},
        // A language weight of 10 and a small word insertion penalty let the
        // command branch win where it should, while wrong commands stay rare.
        {"-lw", "10"},
        {"-wip", "0.05"},
        // With the default beams a fifth of the utterances ended with no
        // path through the grammar at all, and so with no answer.
        {"-beam", "1e-80"},
        {"-pbeam", "1e-80"},
        {"-wbeam", "1e-60"},
        // 70 frames a second instead of 100: Mandarin syllables, slow ones
        // above all, last longer than the English phones the model knows;
        // fewer frames fit them (slow speech 31% -> 54% on the tuning voices).
        {"-frate", "70"},
        // The end of speech after the same half second as at 100 frames.
        {"-vad_postspeech", "35"},
    };
    for (const auto& [name, value] : over) {
        auto it = std::find_if(args.begin(), args.end(),
                               [&name](const auto& a) { return a.first == name; });
        if (it != args.end())
            it->second = value;
        else
            args.emplace_back(name, value);
    }
    return args;
}

} // namespace

std::unique_ptr<SphinxDecoder> SphinxDecoder::create(const Setup& setup, std::string& error) {
    const fs::path model = fs::path(POCKETSPHINX_MODEL_DIR) / "en-us" / "en-us";
    if (!fs::exists(model / "mdef")) {
        error = "找不到语音识别模型：" + model.string();
        return nullptr;
    }
    std::unique_ptr<SphinxDecoder> held(new SphinxDecoder);
    std::random_device rd;
    held->workDir_ = fs::temp_directory_path() / ("speech-" + std::to_string(rd()));
    std::error_code ec;
    fs::create_directories(held->workDir_, ec);
    const fs::path dict = held->workDir_ / "commands.dict";
    std::ofstream(dict) << dictionaryText(setup.spellings);
    const auto grammarFile = [&](const char* name, const Grammar& grammar) {
        const fs::path file = held->workDir_ / (std::string(name) + ".fsg");
        std::ofstream(file) << grammarText(setup.spellings, grammar.commandProbability,
                                           grammar.weight, setup.continueProbability);
        return file;
    };

    auto args = arguments(model, dict, grammarFile("idle", setup.idle), setup.options);
    std::vector<char*> argv;
    for (auto& [name, value] : args) {
        argv.push_back(name.data());
        argv.push_back(value.data());
    }
    held->config_ = cmd_ln_parse_r(nullptr, ps_args(), int(argv.size()), argv.data(), TRUE);
    if (!held->config_) {
        error = "语音识别设置无效";
        return nullptr;
    }
    held->decoder_ = ps_init(held->config_);
    if (!held->decoder_) {
        error = "无法载入语音识别模型：" + model.string();
        return nullptr;
    }
    if (!held->addSearch(kTake, grammarFile(kTake, setup.take)) ||
        (setup.again.commandProbability > 0 &&
         !held->addSearch(kAgain, grammarFile(kAgain, setup.again))) ||
        (setup.paused.commandProbability > 0 &&
         !held->addSearch(kPaused, grammarFile(kPaused, setup.paused)))) {
        error = "语音识别语法无效";
        return nullptr;
    }
    held->frameRate_ = cmd_ln_int32_r(held->config_, "-frate");
    return held;
}

// A further search of the same decoder, from a grammar file.
bool SphinxDecoder::addSearch(const char* name, const fs::path& file) {
    fsg_model_t* grammar = fsg_model_readfile(file.string().c_str(), ps_get_logmath(decoder_),
                                              float(cmd_ln_float32_r(config_, "-lw")));
    const bool added = grammar && ps_set_fsg(decoder_, name, grammar) >= 0;
    if (grammar)
        fsg_model_free(grammar);
    return added;
}

SphinxDecoder::~SphinxDecoder() {
    if (decoder_)
        ps_free(decoder_);
    if (config_)
        cmd_ln_free_r(config_);
    std::error_code ignored;
    if (!workDir_.empty())
        fs::remove_all(workDir_, ignored);
}

} // namespace speech

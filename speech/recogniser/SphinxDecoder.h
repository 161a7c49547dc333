#pragma once
// pocketsphinx held for one recogniser: its configuration, the decoder, and
// the searches the recogniser switches between. Each search is a grammar of
// the command words and the syllable loop, with its own weight on the
// commands; the grammars and the dictionary are written to a private folder,
// removed with the holder.

#include "CommandLexicon.h"

#include <pocketsphinx.h>
#include <sphinxbase/cmn.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace speech {

class SphinxDecoder {
public:
    // The searches: no take running, a take running, an utterance heard
    // again, and one said a syllable at a time heard again.
    static constexpr const char* kIdle = "_default";
    static constexpr const char* kTake = "take";
    static constexpr const char* kAgain = "again";
    static constexpr const char* kPaused = "paused";

    struct Grammar {
        double commandProbability = 0;        // 0: the search is not made
        std::map<std::string, double> weight; // each command's share
    };
    struct Setup {
        std::vector<Pronunciation> spellings;
        double continueProbability = 0;
        Grammar idle, take, again, paused;
        // pocketsphinx options over ours ("-lw", "8").
        std::vector<std::pair<std::string, std::string>> options;
    };

    // Loads the acoustic model; `error` says what is missing when it fails.
    static std::unique_ptr<SphinxDecoder> create(const Setup& setup, std::string& error);
    ~SphinxDecoder();
    SphinxDecoder(const SphinxDecoder&) = delete;
    SphinxDecoder& operator=(const SphinxDecoder&) = delete;

    ps_decoder_t* get() const { return decoder_; }
    // The front end's noise normalisation: the running mean of the cepstra.
    cmn_t* cmn() const { return ps_get_feat(decoder_)->cmn_struct; }
    int frameRate() const { return frameRate_; }
    void use(const char* search) { ps_set_search(decoder_, search); }

private:
    SphinxDecoder() = default;
    bool addSearch(const char* name, const std::filesystem::path& grammar);

    std::filesystem::path workDir_;
    cmd_ln_t* config_ = nullptr;
    ps_decoder_t* decoder_ = nullptr;
    int frameRate_ = 100;
};

} // namespace speech

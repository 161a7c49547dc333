// How long the speech window waits for the user's recordings when it first
// listens: loading a full set (8 words, 3 takes each) from its folder,
// typical (words of about a second) and the longest the store accepts
// (every take close to the 3 s a word may last). Medians of 9 loads, and
// the share of each load spent reading files rather than measuring the
// words.

#include "SyntheticWords.h"
#include "VoiceProfile.h"
#include "VoiceStore.h"

#include <sndfile.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double millisecondsSince(Clock::time_point t) {
    return std::chrono::duration<double, std::milli>(Clock::now() - t).count();
}

void run(const char* name, double wordSeconds) {
    speech::VoiceProfile p;
    for (std::size_t w = 0; w < speech::commandWordList().size(); ++w)
        for (int k = 0; k < speech::VoiceProfile::kTakesPerWord; ++k) {
            const auto& syllables = synthetic::kWords[w];
            const double each = wordSeconds / double(syllables.size()) * (1.0 + 0.05 * k);
            if (!p.addTake(speech::commandWordList()[w],
                           synthetic::say(syllables, each, 8000, 30, unsigned(w * 7 + k)))) {
                std::printf("%s: a take was refused\n", name);
                return;
            }
        }
    const fs::path dir = fs::temp_directory_path() / ("voice-bench-" + std::string(name));
    speech::FolderVoiceStore store(dir);
    std::string error;
    if (!store.save(p, error)) {
        std::printf("%s: %s\n", name, error.c_str());
        return;
    }
    std::vector<double> load;
    std::vector<double> read;
    for (int i = 0; i < 9; ++i) {
        auto t = Clock::now();
        speech::VoiceProfile back;
        if (!store.load(back, error) || !back.complete()) {
            std::printf("%s: %s\n", name, error.c_str());
            return;
        }
        load.push_back(millisecondsSince(t));
        t = Clock::now();
        std::vector<short> samples;
        for (const auto& entry : fs::directory_iterator(dir)) {
            SF_INFO info{};
            SNDFILE* f = sf_open(entry.path().c_str(), SFM_READ, &info);
            samples.resize(std::size_t(info.frames));
            sf_read_short(f, samples.data(), info.frames);
            sf_close(f);
        }
        read.push_back(millisecondsSince(t));
    }
    std::printf("%-8s words of %.1f s: load median %.1f ms, of which reading the files %.0f%%\n",
                name, wordSeconds, median(load), 100.0 * median(read) / median(load));
    fs::remove_all(dir);
}

} // namespace

int main() {
    run("typical", 0.9);
    run("longest", 2.7);
}

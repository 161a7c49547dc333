#include "VoiceStore.h"

#include "CommandWords.h"

#include <sndfile.h>

#include <map>
#include <system_error>

namespace fs = std::filesystem;

namespace speech {
namespace {

constexpr int kRate = 16000;
// A recording of a word is seconds long; anything much longer is not one,
// and is refused before it is read.
constexpr sf_count_t kLongestTake = 30 * kRate; // frames

SNDFILE* openSound(const fs::path& path, int mode, SF_INFO& info) {
#ifdef _WIN32
    return sf_wchar_open(path.c_str(), mode, &info);
#else
    return sf_open(path.c_str(), mode, &info);
#endif
}

// Paths in messages; a narrow string of a path need not be UTF-8 elsewhere.
std::string utf8(const fs::path& path) {
    const std::u8string s = path.u8string();
    return {s.begin(), s.end()};
}

std::string fileName(std::size_t wordIndex, int take) {
    return "word" + std::to_string(wordIndex + 1) + "_take" + std::to_string(take) + ".wav";
}

// 16 kHz mono samples; none when the file is missing; false when it cannot
// be read as a recording of a word.
bool readSound(const fs::path& path, std::vector<std::int16_t>& samples) {
    SF_INFO info{};
    SNDFILE* f = openSound(path, SFM_READ, info);
    if (!f)
        return false;
    bool ok = info.frames <= kLongestTake && info.samplerate == kRate && info.channels == 1;
    if (ok) {
        samples.resize(std::size_t(info.frames));
        samples.resize(std::size_t(sf_read_short(f, samples.data(), info.frames)));
    }
    sf_close(f);
    return ok;
}

bool writeSound(const fs::path& path, const std::vector<std::int16_t>& samples) {
    SF_INFO info{};
    info.samplerate = kRate;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* f = openSound(path, SFM_WRITE, info);
    if (!f)
        return false;
    const sf_count_t n = sf_write_short(f, samples.data(), sf_count_t(samples.size()));
    return sf_close(f) == 0 && n == sf_count_t(samples.size());
}

bool isDirectory(const fs::path& path) {
    std::error_code ec;
    return fs::is_directory(path, ec);
}

} // namespace

fs::path FolderVoiceStore::sibling(const char* suffix) const {
    fs::path p = folder_;
    p += suffix;
    return p;
}

bool FolderVoiceStore::load(VoiceProfile& into, std::string& error) {
    into = VoiceProfile();
    std::error_code ec;
    fs::path from = folder_;
    const auto unreadable = [&](const fs::path& what) {
        error = "无法读取语音样本：" + utf8(what);
        into = VoiceProfile();
        return false;
    };
    if (!fs::is_directory(from, ec)) {
        if (ec && ec != std::errc::no_such_file_or_directory)
            return unreadable(from);
        // A save interrupted between its two renames leaves the old set here.
        from = sibling(".old");
        if (!isDirectory(from))
            return true;
    }
    std::vector<VoiceProfile::Recording> found;
    std::vector<fs::path> paths;
    for (std::size_t w = 0; w < kCommandWords.size(); ++w)
        for (int k = 1; k <= VoiceProfile::kTakesPerWord; ++k) {
            const fs::path path = from / fileName(w, k);
            if (!fs::exists(path, ec)) {
                // A folder that cannot be looked into is as bad as a
                // damaged file: the user is told, not left untrained.
                if (ec)
                    return unreadable(path);
                continue;
            }
            std::vector<std::int16_t> samples;
            if (!readSound(path, samples))
                return unreadable(path);
            found.push_back({kCommandWords[w].word, std::move(samples)});
            paths.push_back(path);
        }
    std::size_t rejected = 0;
    if (!into.addRecordings(std::move(found), rejected))
        return unreadable(paths[rejected]);
    return true;
}

bool FolderVoiceStore::save(const VoiceProfile& profile, std::string& error) {
    const fs::path fresh = sibling(".new");
    const fs::path old = sibling(".old");
    std::error_code ec;
    fs::remove_all(fresh, ec);
    fs::create_directories(fresh, ec);
    std::map<std::string, int> count;
    bool ok = !ec;
    for (const VoiceProfile::Recording& r : profile.recordings()) {
        const auto command = commandNamed(r.word);
        ok = ok && command &&
             writeSound(fresh / fileName(std::size_t(*command), ++count[r.word]), r.samples);
    }
    if (ok) {
        // The old set stays readable under ".old" until the new one is in
        // place: a load after a cut-off save finds one or the other.
        fs::remove_all(old, ec);
        const bool hadOld = isDirectory(folder_);
        if (hadOld)
            fs::rename(folder_, old, ec);
        if (!ec)
            fs::rename(fresh, folder_, ec);
        ok = !ec;
        if (!ok && hadOld && isDirectory(old) && !isDirectory(folder_))
            fs::rename(old, folder_, ec);
        fs::remove_all(old, ec);
    }
    if (!ok) {
        fs::remove_all(fresh, ec);
        error = "无法保存语音样本：" + utf8(folder_);
    }
    return ok;
}

bool FolderVoiceStore::clear(std::string& error) {
    std::error_code ec;
    bool ok = true;
    // The old set first: a load falls back to it once the folder is gone.
    for (const fs::path& p : {sibling(".new"), sibling(".old"), folder_}) {
        fs::remove_all(p, ec);
        if (ec && ec != std::errc::no_such_file_or_directory) {
            error = ec.message() + "：" + utf8(p);
            ok = false;
        }
    }
    return ok && !isDirectory(folder_) && !isDirectory(sibling(".old"));
}

std::string FolderVoiceStore::where() const {
    return utf8(folder_);
}

bool FolderVoiceStore::hasRecordings() {
    for (const fs::path& p : {folder_, sibling(".old")}) {
        std::error_code ec;
        if (isDirectory(p) && !(fs::is_empty(p, ec) || ec))
            return true;
    }
    return false;
}

} // namespace speech

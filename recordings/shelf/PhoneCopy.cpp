#include "PhoneCopy.h"

#include <sndfile.h>

#include <memory>
#include <vector>

namespace recordings {
namespace {

struct SndCloser {
    void operator()(SNDFILE* f) const { sf_close(f); }
};
using Snd = std::unique_ptr<SNDFILE, SndCloser>;

// libsndfile maps its compression level 0..1 onto the MPEG bit rates from
// the highest to the lowest; at 44.1 kHz, 0.89 is about 64 kbit/s.
constexpr double kCompression = 0.89;

Snd openSnd(const std::filesystem::path& p, int mode, SF_INFO& info) {
#ifdef _WIN32
    return Snd(sf_wchar_open(p.c_str(), mode, &info));
#else
    return Snd(sf_open(p.c_str(), mode, &info));
#endif
}

} // namespace

std::filesystem::path phoneCopyPath(const std::filesystem::path& wav) {
    std::filesystem::path out = wav;
    out.replace_extension(".mp3");
    return out;
}

PhoneCopyResult writePhoneCopy(const std::filesystem::path& wav, const std::filesystem::path& mp3,
                               const std::function<void(double)>& progress,
                               const std::atomic<bool>* cancel) {
    PhoneCopyResult result;
    SF_INFO in{};
    Snd source = openSnd(wav, SFM_READ, in);
    if (!source || in.channels < 1) {
        result.error = sf_strerror(nullptr);
        return result;
    }
    SF_INFO out{};
    out.samplerate = in.samplerate;
    out.channels = 1;
    out.format = SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III;
    std::filesystem::path partial = mp3;
    partial += ".part";
    Snd copy = openSnd(partial, SFM_WRITE, out);
    if (!copy) {
        result.error = sf_strerror(nullptr);
        return result;
    }
    int mode = SF_BITRATE_MODE_CONSTANT;
    sf_command(copy.get(), SFC_SET_BITRATE_MODE, &mode, sizeof mode);
    double level = kCompression;
    sf_command(copy.get(), SFC_SET_COMPRESSION_LEVEL, &level, sizeof level);

    constexpr sf_count_t kFrames = 8192;
    std::vector<float> block(std::size_t(kFrames) * std::size_t(in.channels));
    std::vector<float> mono(kFrames);
    sf_count_t done = 0;
    bool failed = false;
    for (;;) {
        if (cancel && cancel->load()) {
            failed = true;
            result.error = "cancelled";
            break;
        }
        const sf_count_t got = sf_readf_float(source.get(), block.data(), kFrames);
        if (got <= 0)
            break;
        for (sf_count_t i = 0; i < got; ++i) {
            float sum = 0;
            for (int c = 0; c < in.channels; ++c)
                sum += block[std::size_t(i * in.channels + c)];
            mono[std::size_t(i)] = sum / float(in.channels);
        }
        if (sf_writef_float(copy.get(), mono.data(), got) != got) {
            failed = true;
            result.error = sf_strerror(copy.get());
            break;
        }
        done += got;
        if (progress && in.frames > 0)
            progress(double(done) / double(in.frames));
    }
    copy.reset(); // the encoder's last frames are written on close
    std::error_code ec;
    if (failed || done == 0) {
        std::filesystem::remove(partial, ec);
        if (result.error.empty())
            result.error = "no sound";
        return result;
    }
    std::filesystem::rename(partial, mp3, ec);
    if (ec) {
        std::filesystem::remove(partial, ec);
        result.error = ec.message();
        return result;
    }
    result.ok = true;
    result.seconds = double(done) / in.samplerate;
    return result;
}

} // namespace recordings

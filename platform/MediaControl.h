#pragma once
// A blocking player of one WAV file with open, play and close steps and
// result codes, the way the voice prompts are played. Every code it returns
// has a text, success included.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace platform {

using MCIERROR = std::uint32_t;
using MCIDEVICEID = std::uint32_t;

inline constexpr MCIERROR MCI_OK = 0;
inline constexpr MCIERROR MCIERR_INVALID_DEVICE_ID = 257;
inline constexpr MCIERROR MCIERR_CANNOT_LOAD_DRIVER = 266;
inline constexpr MCIERROR MCIERR_FILE_NOT_FOUND = 275;
inline constexpr MCIERROR MCIERR_INVALID_FILE = 296;
inline constexpr MCIERROR MCIERR_WAVE_OUTPUTSUNSUITABLE = 326;

class MediaControl {
public:
    virtual ~MediaControl() = default;
    // Opens `file` (UTF-8 path); on success `device` names it.
    virtual MCIERROR open(const std::string& file, MCIDEVICEID& device) = 0;
    // Plays the whole file and returns when it has finished.
    virtual MCIERROR playAndWait(MCIDEVICEID device) = 0;
    virtual MCIERROR close(MCIDEVICEID device) = 0;
    // True when a text exists for `code`; the text goes into `text`.
    virtual bool errorString(MCIERROR code, std::string& text) = 0;
    // Whether playAndWait lasts as long as the sound (a real player), so
    // that it must not run on the window thread.
    virtual bool blocks() const { return true; }
};

// Opens, plays and closes `file`; a file that cannot be opened is silent.
inline void playToEnd(MediaControl& media, const std::string& file) {
    MCIDEVICEID device = 0;
    if (media.open(file, device) == MCI_OK) {
        media.playAndWait(device);
        media.close(device);
    }
}

// The real player: libsndfile reads the file, SDL plays it on an output
// device of its own, opened for the one sound.
class SdlMediaControl final : public MediaControl {
public:
    SdlMediaControl();
    ~SdlMediaControl() override;
    SdlMediaControl(const SdlMediaControl&) = delete;
    SdlMediaControl& operator=(const SdlMediaControl&) = delete;

    MCIERROR open(const std::string& file, MCIDEVICEID& device) override;
    MCIERROR playAndWait(MCIDEVICEID device) override;
    MCIERROR close(MCIDEVICEID device) override;
    bool errorString(MCIERROR code, std::string& text) override;

private:
    struct Sound;
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace platform

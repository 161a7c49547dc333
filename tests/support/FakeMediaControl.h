#pragma once
// A prompt player that plays nothing: it logs each step, runs a probe at the
// moment a sound would play, and can pretend the files are missing.

#include "MediaControl.h"

#include <functional>
#include <vector>

namespace fake {

class FakeMediaControl final : public platform::MediaControl {
public:
    std::vector<std::string> log;
    bool allMissing = false;
    std::function<void(const std::string& file)> whilePlaying;

    platform::MCIERROR open(const std::string& file, platform::MCIDEVICEID& device) override {
        log.push_back("open " + file);
        if (allMissing)
            return platform::MCIERR_FILE_NOT_FOUND;
        device = ++next_;
        files_.push_back(file);
        return platform::MCI_OK;
    }
    platform::MCIERROR playAndWait(platform::MCIDEVICEID device) override {
        log.push_back("play " + std::to_string(device));
        if (device == 0 || device > files_.size())
            return platform::MCIERR_INVALID_DEVICE_ID;
        if (whilePlaying)
            whilePlaying(files_[device - 1]);
        return platform::MCI_OK;
    }
    platform::MCIERROR close(platform::MCIDEVICEID device) override {
        log.push_back("close " + std::to_string(device));
        return device == 0 ? platform::MCIERR_INVALID_DEVICE_ID : platform::MCI_OK;
    }
    // Returns at once: played from the window's event loop, where a probe
    // may look at the window.
    bool blocks() const override { return false; }
    bool errorString(platform::MCIERROR code, std::string& text) override {
        if (code == 9999)
            return false;
        text = "text for " + std::to_string(code);
        return true;
    }

private:
    platform::MCIDEVICEID next_ = 0;
    std::vector<std::string> files_;
};

} // namespace fake

#pragma once
// Where a user's recordings of the command words are kept between runs.
// The speech window goes through this interface only; tests put a fake
// behind it.
//
// The folder holds 16 kHz mono WAV files, "word<N>_take<K>.wav" with N the
// command's place (1-8) in the command table; the recordings themselves,
// not features, so that a better matcher can read an old set.

#include "VoiceProfile.h"

#include <filesystem>
#include <string>

namespace speech {

class VoiceStore {
public:
    virtual ~VoiceStore() = default;
    // Puts the stored recordings into `into` (emptied first); nothing
    // stored is an empty profile. False (and `error`) when a recording
    // cannot be read or is not a word: `into` is then empty. A set still
    // missing words loads as it is.
    virtual bool load(VoiceProfile& into, std::string& error) = 0;
    // Replaces the stored set; on failure the old set stays as it was.
    virtual bool save(const VoiceProfile& profile, std::string& error) = 0;
    // Removes the stored set and anything an interrupted save left; false
    // when recordings that a later load would read are still there.
    virtual bool clear(std::string& error) = 0;
    // Something is stored (a set, or what an interrupted save kept).
    virtual bool hasRecordings() = 0;
    // Where the set is kept, for a message to whoever helps the user.
    virtual std::string where() const = 0;
};

class FolderVoiceStore final : public VoiceStore {
public:
    explicit FolderVoiceStore(std::filesystem::path folder) : folder_(std::move(folder)) {}

    // At most 24 files, each refused unread beyond 30 s: a load is bounded
    // to a few tens of milliseconds even on a damaged set.
    bool load(VoiceProfile& into, std::string& error) override;
    // Written beside the folder first and swapped in by two renames.
    bool save(const VoiceProfile& profile, std::string& error) override;
    bool clear(std::string& error) override;
    bool hasRecordings() override;
    std::string where() const override;

private:
    std::filesystem::path sibling(const char* suffix) const;
    std::filesystem::path folder_;
};

} // namespace speech

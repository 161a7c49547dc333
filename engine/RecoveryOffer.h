#pragma once
// Takes that sessions before this one recorded but never saved, offered at
// start-up one by one: for each, the user is asked whether to save it now,
// told when it was recorded and how long it is; yes holds it as this
// session's take and opens the save dialog (a cancelled dialog keeps it as
// the unsaved take), no puts it in the trash. One that cannot be read is not
// offered: it goes to the trash, and the user is told.

#include "EngineWindow.h"
#include "RecoveryFile.h"

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace engine {

class RecoveryOffer : public std::enable_shared_from_this<RecoveryOffer> {
public:
    // Holds `image`, recorded at `madeAt`, as the session's take; false when
    // it cannot be held in memory.
    using Hold = std::function<bool(std::vector<std::uint8_t> image, std::time_t madeAt)>;
    // Opens the save dialog for the take held; `then` runs once it has
    // closed, saved or not.
    using Save = std::function<void(std::function<void()> then)>;

    RecoveryOffer(RecoveryFile& recovery, EngineWindow& window, std::string title, Hold hold,
                  Save save);
    // Offers the leftovers in turn, each once the user has answered about
    // the one before: nothing waits for an answer. The offer keeps itself
    // alive until it has offered the last.
    void start();
    bool finished() const { return next_ >= files_.size(); }

    // The question, and below it what the take is.
    static std::string question(const std::filesystem::path& file, std::size_t imageBytes,
                                bool simplified);

private:
    void offerNext();
    void answered(const std::filesystem::path& file, std::vector<std::uint8_t> image, bool yes);

    RecoveryFile& recovery_;
    EngineWindow& window_;
    std::string title_;
    Hold hold_;
    Save save_;
    std::vector<std::filesystem::path> files_;
    std::size_t next_ = 0;
};

} // namespace engine

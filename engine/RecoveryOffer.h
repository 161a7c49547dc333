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
#include <string>
#include <vector>

namespace engine {

struct RecoveryOffer {
    // Holds `image`, recorded at `madeAt`, as the session's take; false when
    // it cannot be held in memory.
    std::function<bool(std::vector<std::uint8_t> image, std::time_t madeAt)> hold;
    // Opens the save dialog for the take held.
    std::function<void()> save;

    void run(RecoveryFile& recovery, EngineWindow& window, const std::string& title) const;
    // The question, and below it what the take is.
    static std::string question(const std::filesystem::path& file, std::size_t imageBytes,
                                bool simplified);
};

} // namespace engine

#pragma once
// Plain types of the boxes and the save dialog, shared by the engine's view
// of a window and the dialog layer beneath it.

#include <string>
#include <utility>
#include <vector>

namespace platform {

enum class MessageIcon { Critical, Exclamation, Information };

struct SaveDialogRequest {
    std::string title;
    std::vector<std::pair<std::string, std::string>> filters; // (label, pattern)
    std::string defaultExtension;
    bool simplified = true; // the script of the dialog's own words
    // The folder it opens in (UTF-8): where the last save that worked went;
    // empty, the user's own recordings folder.
    std::string startIn;
    // The name it offers, filled in and selected (UTF-8, no folder): the
    // user saves with Enter and types nothing. In a folder where it is
    // taken, the dialog offers "name (2).wav".
    std::string suggestedName;
};

} // namespace platform

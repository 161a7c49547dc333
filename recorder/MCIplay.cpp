#include "MCIplay.h"

namespace recorder {

bool MCIplay::PlaySound() {
    platform::MCIDEVICEID device = 0;
    if (!CheckError(media_.open(fileName_, device)))
        return false;
    if (!CheckError(media_.playAndWait(device)))
        return false;
    return CheckError(media_.close(device));
}

bool MCIplay::CheckError(platform::MCIERROR MCIErrorVal) {
    std::string text;
    const bool known = media_.errorString(MCIErrorVal, text);
    mciError_ = text.substr(0, 254); // the text buffer holds 255 characters with its end
    return known;
}

} // namespace recorder

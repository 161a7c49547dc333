#pragma once
// The one stored setting: whether the mini home page opens at start-up.
// Group "Config", key "ShowTips", text "1" or "0"; absent counts as 1, and so
// does a stored text that is not a number (the next write replaces it).

class QSettings;

namespace launcher {

bool readShowTips(QSettings& settings);
void storeShowTips(QSettings& settings, bool show);

} // namespace launcher

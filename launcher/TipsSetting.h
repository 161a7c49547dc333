#pragma once
// The launcher's stored settings. Whether the mini home page opens at
// start-up: group "Config", key "ShowTips", text "1" or "0"; absent counts as
// 1, and so does a stored text that is not a number (the next write replaces
// it). Whether the user has said no to the training's offer: "Speech",
// "TrainingOfferDeclined", "1" once said.

class QSettings;

namespace launcher {

bool readShowTips(QSettings& settings);
void storeShowTips(QSettings& settings, bool show);
bool readTrainingDeclined(QSettings& settings);
void storeTrainingDeclined(QSettings& settings);

} // namespace launcher

#pragma once
// What every program of the suite sets up before its first window: the
// Song-style face for the captions and Qt's own Chinese texts.

class QApplication;

namespace platform {

void setUpChineseApplication(QApplication& app);

} // namespace platform

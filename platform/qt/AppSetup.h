#pragma once
// What every program of the suite sets up before its first window: the
// Song-style face for the captions and Qt's own Chinese texts.

class QApplication;

namespace platform {

void setUpChineseApplication(QApplication& app);
// Before anything asks where the user's folders are: with HOME unset or
// empty (a service, a broken session), the home the user database gives,
// never the root folder.
void settleHome();

} // namespace platform

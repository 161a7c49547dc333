#pragma once
// Pictures drawn for the users: high contrast, no fine detail.

#include <QCursor>
#include <QIcon>
#include <QPixmap>
#include <QSize>

namespace platform {

QPixmap bannerPicture(QSize size);
QIcon recorderIcon();
// A 32 x 32 black-and-white pointing hand, its finger tip at (5, 0).
QCursor pointingHandCursor();

} // namespace platform

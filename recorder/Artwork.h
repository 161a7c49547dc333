#pragma once
// Pictures drawn for the users: high contrast, no fine detail.

#include <QIcon>
#include <QPixmap>
#include <QSize>

namespace recorder {

QPixmap bannerPicture(QSize size);
QIcon recorderIcon();

} // namespace recorder

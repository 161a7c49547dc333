#pragma once
// Pictures of the launcher, drawn for the users: large shapes, strong colours.

#include <QCursor>
#include <QIcon>
#include <QPixmap>
#include <QSize>

namespace launcher {

QPixmap launcherBanner(QSize size);
QIcon magnifierPicture();
QIcon infoPicture();
QIcon arrowPicture(bool forward);
// A magnifying glass, its hot spot at the centre of the lens.
QCursor magnifierCursor();

} // namespace launcher

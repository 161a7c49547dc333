#pragma once
// The About box's title and six lines, in the chosen script.

#include <QString>

namespace launcher {

QString aboutTitle(bool simplified);
QString aboutText(bool simplified);

} // namespace launcher

#pragma once
// A text of the suite in both scripts: the user's choice picks one.

#include <QString>

namespace platform {

struct ScriptText {
    const char* simplified;
    const char* traditional;
    QString in(bool simplifiedScript) const {
        return QString::fromUtf8(simplifiedScript ? simplified : traditional);
    }
};

} // namespace platform

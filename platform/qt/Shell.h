#pragma once
// Starting other programs and opening web pages, without waiting for them.

#include <QString>
#include <QUrl>

namespace platform {

class Shell {
public:
    virtual ~Shell() = default;
    // `command` is a program name with optional arguments separated by
    // blanks, as the volume tools are named. False when nothing started.
    virtual bool startProgram(const QString& command) = 0;
    virtual bool openUrl(const QUrl& url) = 0;
};

class QtShell final : public Shell {
public:
    bool startProgram(const QString& command) override;
    bool openUrl(const QUrl& url) override;
};

} // namespace platform

#pragma once
// Remembers what would have been started or opened.

#include "Shell.h"

#include <QStringList>

namespace fake {

class FakeShell final : public platform::Shell {
public:
    QStringList started;
    QList<QUrl> opened;
    bool canStart = true;
    bool canOpen = true;
    std::function<void()> onStart; // runs at the moment of the start

    bool startProgram(const QString& command) override {
        started << command;
        if (onStart)
            onStart();
        return canStart;
    }
    struct Start {
        QString program;
        QStringList arguments;
    };
    QList<Start> detached;
    bool startDetached(const QString& program, const QStringList& arguments) override {
        detached.append({program, arguments});
        return canStart;
    }
    QStringList shownInFileManager;
    bool showInFileManager(const QString& file) override {
        shownInFileManager << file;
        return canOpen;
    }
    bool openUrl(const QUrl& url) override {
        opened << url;
        if (onStart)
            onStart();
        return canOpen;
    }
};

} // namespace fake

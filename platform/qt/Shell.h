#pragma once
// Starting other programs and opening web pages, without waiting for them.

#include <QString>
#include <QStringList>
#include <QUrl>

class QWidget;

namespace platform {

class Dialogs;

class Shell {
public:
    virtual ~Shell() = default;
    // `command` is a program name with optional arguments separated by
    // blanks, as the volume tools are named. False when nothing started.
    virtual bool startProgram(const QString& command) = 0;
    virtual bool openUrl(const QUrl& url) = 0;
    // Starts `program` (a full path) with an argument list, never through a
    // shell; false when the program is not there or did not start.
    virtual bool startDetached(const QString& program, const QStringList& arguments) = 0;
    // Shows `file` selected in the desktop's file manager (through its
    // FileManager1 service on the session bus), else opens its folder.
    virtual bool showInFileManager(const QString& file) = 0;
};

class QtShell final : public Shell {
public:
    bool startProgram(const QString& command) override;
    bool openUrl(const QUrl& url) override;
    bool startDetached(const QString& program, const QStringList& arguments) override;
    bool showInFileManager(const QString& file) override;
};

// Opens a web page for a window; when nothing can show it, a box says so in
// the window's script (a link that does nothing would look broken).
void openPage(Shell& shell, Dialogs& dialogs, QWidget* owner, const QUrl& url, bool simplified);

} // namespace platform

#pragma once
// "我的录音": her recordings in large print, newest first, each played,
// put in the trash, shown in the file manager or copied small for phones;
// and the takes the recorders put in the trash, each put back with 找回.
// The window lays out and forwards; the shelf, the player, the copier and
// the trash's records do the work.

#include "AudioLibrary.h"
#include "Dialogs.h"
#include "PhoneCopier.h"
#include "RecordingShelf.h"
#include "ShelfPlayer.h"
#include "Shell.h"
#include "TrashedTakes.h"

#include <QWidget>

#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

class QLabel;
class QListView;
class QListWidget;
class QPushButton;
class QTimer;

namespace recordings {

class frmRecordings final : public QWidget {
    Q_OBJECT
public:
    struct Places {
        QString recordings;                            // her recordings folder
        QStringList savedTo;                           // every folder she has saved to
        QString trash;                                 // the desktop's trash
        std::vector<std::filesystem::path> thrownFrom; // the recorders' recovery folders
    };
    // The user's own: her recordings folder, the folders she saved to, the
    // desktop's trash and the recorders' recovery folders.
    static Places usersPlaces(bool simplified);
    // Without `shell`, 打开所在文件夹 and the phone copy show nothing.
    frmRecordings(audio::AudioLibrary& library, platform::Dialogs& dialogs, platform::Shell* shell,
                  Places places, bool simplified, QWidget* parent = nullptr);
    ~frmRecordings() override;

    // Opens the window afresh over `owner` (in the script chosen now, with
    // what the folders hold now), in `slot`, replacing one already open.
    static void openFor(std::unique_ptr<frmRecordings>& slot, audio::AudioLibrary& library,
                        platform::Dialogs& dialogs, platform::Shell* shell, bool simplified,
                        QWidget* owner);

    // Reads the folders and the trash again.
    void refresh();

    void cmdPlay_Click();
    void cmdTrash_Click();
    void throwAway(const QString& path);
    void cmdFolder_Click();
    void cmdSend_Click();
    void cmdRestore_Click();

    RecordingShelf& shelf() { return shelf_; }
    const std::vector<TrashedTake>& trashed() const { return trashed_; }
    PhoneCopier& copier() { return copier_; }

    QLabel* lblTitle = nullptr;
    QListView* lstRecordings = nullptr;
    QPushButton* cmdPlay = nullptr;
    QPushButton* cmdTrash = nullptr;
    QPushButton* cmdFolder = nullptr;
    QPushButton* cmdSend = nullptr;
    QLabel* lblLine = nullptr;
    QLabel* lblTrashed = nullptr;
    QListWidget* lstTrashed = nullptr;
    QPushButton* cmdRestore = nullptr;
    QPushButton* cmdClose = nullptr;
    QTimer* tmrPlay = nullptr;

protected:
    // Closed, it plays nothing more.
    void hideEvent(QHideEvent* event) override;

private:
    void createControls();
    void applyCaptions();
    const Recording* current() const;
    void say(const QString& text);
    void showPlaying();
    void listTrashed();
    void copied(const QString& wav, const QString& mp3, bool ok, qint64 bytes,
                const QString& error);
    QString text(const char* simplified, const char* traditional) const;
    QString readingText() const;
    // The line says the folders are being read (nothing said since).
    bool readingSaid_ = false;

    platform::Dialogs& dialogs_;
    platform::Shell* shell_;
    Places places_;
    bool simplified_;
    RecordingShelf shelf_;
    ShelfPlayer player_;
    PhoneCopier copier_;
    std::vector<TrashedTake> trashed_;
};

} // namespace recordings

#pragma once
// The desktop's own zoom, for desktops that let no program read the screen
// (Wayland), switched on while the magnifier window is open, at the
// window's factor, and off again when it closes. GNOME's magnifier is set
// through its settings (the user's own are put back); KDE's KWin zoom
// through its global shortcuts on the session bus. No widgets: the window
// forwards.

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

namespace magnifier {

// A desktop's settings store: GSettings through the gsettings tool in the
// programs, a map in the tests. Values are in GVariant text ("true", "2.0").
class DesktopSettings {
public:
    virtual ~DesktopSettings() = default;
    virtual std::optional<QString> get(const QString& schema, const QString& key) = 0;
    virtual bool set(const QString& schema, const QString& key, const QString& value) = 0;
};

// Calls on the session bus: QtDBus in the programs, a log in the tests.
// `answer`, when given, receives a boolean reply.
class DesktopBus {
public:
    virtual ~DesktopBus() = default;
    virtual bool call(const QString& service, const QString& path, const QString& interface,
                      const QString& method, const QStringList& arguments,
                      bool* answer = nullptr) = 0;
};

class DesktopZoom {
public:
    virtual ~DesktopZoom() = default; // switches the zoom off
    // Whether the desktop now zooms at `factor` (a desktop that did not
    // answer keeps the factor it had).
    virtual bool setFactor(int factor) = 0;
};

// Switches the desktop's zoom on at a factor; null when it cannot (nothing
// was changed then). Empty: this desktop has no zoom a program can use.
using ZoomStarter = std::function<std::unique_ptr<DesktopZoom>(int factor)>;

// GNOME's magnifier, as a lens that follows the pointer (the nearest thing
// to a box at the pointer), through `settings`.
ZoomStarter gnomeZoom(std::unique_ptr<DesktopSettings> settings);
// KWin's zoom effect, through `bus`.
ZoomStarter kwinZoom(std::unique_ptr<DesktopBus> bus);
// The zoom of the desktop this session runs (GNOME's or KDE's), by
// XDG_CURRENT_DESKTOP; empty elsewhere (setting GNOME's keys on another
// desktop would zoom nothing).
ZoomStarter sessionZoom();

// The desktop's zoom, worked from a thread of its own: a settings tool run
// or a bus call takes milliseconds, but a desktop that hangs would hold the
// window for seconds. One thread serves every window, so a zoom switched off
// is off before the next one reads the user's settings. A factor asked for
// while another is still being set replaces it (a drag asks for each step).
class ZoomLine {
public:
    // What the desktop did: `on` false when the zoom could not be switched
    // on (nothing was changed); otherwise whether it now zooms at `factor`.
    struct Answer {
        bool on = false;
        int factor = 0;
        bool taken = false;
    };
    // Switches the zoom on at `factor`; `answered` runs on `context`'s
    // thread, never after the line is gone.
    ZoomLine(ZoomStarter starter, int factor, QObject* context,
             std::function<void(Answer)> answered);
    ~ZoomLine(); // switches the zoom off, without waiting for it
    ZoomLine(const ZoomLine&) = delete;
    ZoomLine& operator=(const ZoomLine&) = delete;

    void setFactor(int factor);

    // Waits until every call asked for so far has been made (at the
    // program's end: the user's settings must be back before it exits).
    static void finishAll();

private:
    struct Shared;
    std::shared_ptr<Shared> shared_;
};

} // namespace magnifier

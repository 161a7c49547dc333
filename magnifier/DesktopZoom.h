#pragma once
// The desktop's own zoom, for desktops that let no program read the screen
// (Wayland): GNOME's magnifier is switched on through its settings while
// the magnifier window is open, at the window's factor, and the user's own
// settings are put back when it closes. No widgets: the window forwards.

#include <QString>

#include <memory>
#include <optional>
#include <vector>

namespace magnifier {

// A desktop's settings store: GSettings through the gsettings tool in the
// programs, a map in the tests. Values are in GVariant text ("true", "2.0").
class DesktopSettings {
public:
    virtual ~DesktopSettings() = default;
    virtual std::optional<QString> get(const QString& schema, const QString& key) = 0;
    virtual bool set(const QString& schema, const QString& key, const QString& value) = 0;
};

// GNOME's settings when this session is GNOME's and the tool is there;
// null otherwise (setting GNOME's keys elsewhere would zoom nothing).
std::unique_ptr<DesktopSettings> gnomeSettings();

class DesktopZoom {
public:
    // Switches the desktop's magnifier on at `factor`, as a lens that
    // follows the pointer (the nearest thing to a box at the pointer).
    // Null when the settings cannot be read: nothing was changed then.
    static std::unique_ptr<DesktopZoom> start(std::unique_ptr<DesktopSettings> settings,
                                              int factor);
    ~DesktopZoom(); // puts the user's settings back
    DesktopZoom(const DesktopZoom&) = delete;
    DesktopZoom& operator=(const DesktopZoom&) = delete;

    void setFactor(int factor);

private:
    struct Kept {
        QString schema, key, value;
    };
    explicit DesktopZoom(std::unique_ptr<DesktopSettings> settings)
        : settings_(std::move(settings)) {}
    std::unique_ptr<DesktopSettings> settings_;
    std::vector<Kept> kept_; // the user's values, in the order they were changed
    int factor_ = 0;         // the factor last set (a drag reports each step twice)
};

} // namespace magnifier

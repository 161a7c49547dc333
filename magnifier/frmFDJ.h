#pragma once
// The screen magnifier: an always-on-top window showing the screen region
// whose top-left corner is the mouse pointer, 1 to 9 times larger.

#include "DesktopZoom.h"

#include <QPixmap>
#include <QSize>
#include <QWidget>

#include <memory>

class QLabel;
class QScrollBar;
class QTimer;

namespace magnifier {

// The screen region copied for a box of `box` pixels at factor `z`: each
// side divided by z, rounded to the nearest integer with halves to even.
QSize sourceSize(QSize box, int z);

class frmFDJ final : public QWidget {
    Q_OBJECT
public:
    // `screenReadable` false: the desktop lets no program read the screen
    // (Wayland). The desktop's own zoom is then switched on through
    // `desktopZoom` while the window is open, at the window's factor; with no
    // such zoom the box says why it is empty, and where the desktop's own
    // magnifier is, in the script given.
    explicit frmFDJ(bool simplified = true, bool screenReadable = screenCanBeRead(),
                    ZoomStarter desktopZoom = sessionZoom(), QWidget* parent = nullptr);
    ~frmFDJ() override;
    // Whether the platform Qt runs on lets a program copy the screen and
    // follow the pointer outside its own windows (X11, Windows: yes;
    // Wayland, and X programs on a Wayland desktop: no).
    static bool screenCanBeRead();

    int factor() const;
    // One magnified copy into the picture box. Returns false when nothing
    // was copied (minimised).
    bool Timer1_Timer();
    void HScroll1_Change();

    QScrollBar* HScroll1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Picture1 = nullptr;
    QTimer* Timer1 = nullptr;

private:
    void showZoomText(int factor, bool taken);
    void showNoZoom();
    void zoomAnswered(ZoomLine::Answer answer);

    QPixmap frame_; // the picture box's image, reused frame after frame
    bool simplified_;
    std::unique_ptr<ZoomLine> zoom_; // the desktop's zoom, while it is used
};

} // namespace magnifier

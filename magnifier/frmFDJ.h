#pragma once
// The screen magnifier: an always-on-top window showing the screen region
// whose top-left corner is the mouse pointer, 1 to 9 times larger.

#include <QPixmap>
#include <QSize>
#include <QWidget>

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
    explicit frmFDJ(QWidget* parent = nullptr);

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
    QPixmap frame_; // the picture box's image, reused frame after frame
};

} // namespace magnifier

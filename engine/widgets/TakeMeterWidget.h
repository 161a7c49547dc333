#pragma once
// Large and plain, under a recorder window's controls: whether a take is
// being recorded or is paused, how long it is, how loud the microphone is
// (a bar that moves at display rate), and one line: that the microphone
// hears nothing, or where a take was saved.

#include "TakeView.h"

#include <QWidget>

#include <string>

class QLabel;

namespace engine {

class LevelBar;

class TakeMeterWidget final : public QWidget {
    Q_OBJECT
public:
    explicit TakeMeterWidget(QWidget* parent = nullptr);

    void show(const engine::TakeView& view, bool simplified);
    // A window that listens for spoken commands says so on the line while
    // it has nothing more pressing to say there.
    void showListening(bool on, bool simplified);
    // "正在准备…" while the recogniser loads.
    void showPreparing(bool on, bool simplified);
    // Its print as large as its window's, which may have been fitted to a
    // small screen; called once the window is laid out.
    void fitToWindow();

    QLabel* clock() const { return clock_; }
    QLabel* line() const { return line_; }
    float level() const;

private:
    void showLine(bool simplified);
    QString savedInWords(bool simplified) const;

    bool silent_ = false;
    bool replaced_ = false; // the take replaced went to the trash
    bool kept_ = false;     // the take replaced stayed for the next start
    int interrupted_ = 0;   // seconds the take lost to a stall
    QString shownState_;    // what the clock says besides the time
    std::string savedTo_;   // where the last save went, until a new take
    bool listening_ = false;
    bool preparing_ = false;
    QLabel* clock_;
    LevelBar* bar_;
    QLabel* line_;
};

} // namespace engine

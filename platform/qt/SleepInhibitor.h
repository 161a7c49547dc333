#pragma once
// Holds off the desktop's idle sleep and screen blanking while a take
// records: the user does not touch the machine while she records a long
// message, and a machine that sleeps ends the take. Asked of the desktop's
// screen saver service on the session bus (org.freedesktop.ScreenSaver,
// which GNOME, KDE and others offer), without waiting for its answer.
// Window thread.

#include <QObject>
#include <QString>

namespace platform {

class SleepInhibitor final : public QObject {
    Q_OBJECT
public:
    explicit SleepInhibitor(QString program, QObject* parent = nullptr);
    ~SleepInhibitor() override;

    // Idempotent: called at every display refresh with whether a take runs.
    void hold(bool on);
    bool holding() const { return wanted_; }

private:
    void release();

    QString program_;
    bool wanted_ = false;
    bool asked_ = false; // an Inhibit is on its way or was answered
    quint32 cookie_ = 0; // 0: no answer yet
};

} // namespace platform

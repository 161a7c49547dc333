#pragma once
// Holds off the desktop's idle sleep and screen blanking while a take
// records: the user does not touch the machine while she records a long
// message, and a machine that sleeps ends the take. Asked of the system's
// login manager (logind on the system bus: a descriptor held for as long
// as the take runs, let go by the kernel if the program dies) and of both
// services desktops offer on the session bus, the freedesktop screen saver
// (KDE, Xfce and others) and GNOME's session manager, without waiting for
// their answers; one that is not there answers with an error and is left
// alone. Window thread.

#include <QDBusUnixFileDescriptor>
#include <QObject>
#include <QString>

#include <array>

namespace platform {

class SleepInhibitor final : public QObject {
    Q_OBJECT
public:
    explicit SleepInhibitor(QString program, QObject* parent = nullptr);
    ~SleepInhibitor() override;

    // Idempotent: called at every display refresh with whether a take runs.
    void hold(bool on);
    bool holding() const { return wanted_; }

    struct Service; // one desktop service and how it is asked

signals:
    // logind says the machine is about to sleep (a closed lid sleeps even
    // with a take running).
    void goingToSleep();

private slots:
    void prepareForSleep(bool sleeping) {
        if (sleeping)
            emit goingToSleep();
    }

private:
    struct Hold {
        const Service* service;
        bool asked = false;    // an inhibit is on its way or was answered
        bool answered = false; // its cookie has come
        quint32 cookie = 0;
    };
    void ask(Hold& hold);
    void release(Hold& hold);
    void askLogin();

    QString program_;
    bool wanted_ = false;
    std::array<Hold, 2> holds_;
    bool loginAsked_ = false;       // an inhibit is on its way to logind
    QDBusUnixFileDescriptor login_; // held: no idle sleep
};

} // namespace platform

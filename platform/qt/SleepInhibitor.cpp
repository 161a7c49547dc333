#include "SleepInhibitor.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

#include <utility>

namespace platform {

struct SleepInhibitor::Service {
    const char* name;
    const char* path;
    const char* inhibit;
    const char* uninhibit;
    bool gnome; // GNOME's session manager takes a window and flags too
};

namespace {

constexpr SleepInhibitor::Service kScreenSaver = {
    "org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver", "Inhibit", "UnInhibit", false};
constexpr SleepInhibitor::Service kGnomeSession = {
    "org.gnome.SessionManager", "/org/gnome/SessionManager", "Inhibit", "Uninhibit", true};
// GNOME's flags: 4 suspending the session, 8 marking it idle.
constexpr quint32 kSuspendAndIdle = 4 | 8;

QDBusMessage callOf(const SleepInhibitor::Service& s, const char* method) {
    const QString name = QString::fromLatin1(s.name);
    return QDBusMessage::createMethodCall(name, QString::fromLatin1(s.path), name,
                                          QString::fromLatin1(method));
}

} // namespace

SleepInhibitor::SleepInhibitor(QString program, QObject* parent)
    : QObject(parent),
      program_(std::move(program)), holds_{Hold{&kScreenSaver}, Hold{&kGnomeSession}} {
    const QString login = QStringLiteral("org.freedesktop.login1");
    QDBusConnection::systemBus().connect(
        login, QStringLiteral("/org/freedesktop/login1"), login + QStringLiteral(".Manager"),
        QStringLiteral("PrepareForSleep"), this, SLOT(prepareForSleep(bool)));
}

SleepInhibitor::~SleepInhibitor() {
    wanted_ = false;
    login_ = {};
    for (Hold& h : holds_)
        release(h);
}

void SleepInhibitor::hold(bool on) {
    if (on == wanted_)
        return;
    wanted_ = on;
    if (on)
        askLogin();
    else
        login_ = {}; // closing the descriptor lets go
    for (Hold& h : holds_) {
        if (on)
            ask(h);
        else
            release(h);
    }
}

void SleepInhibitor::ask(Hold& hold) {
    if (hold.asked)
        return; // the answer to an earlier ask is still on its way
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    QDBusMessage call = callOf(*hold.service, hold.service->inhibit);
    const QString reason = QStringLiteral("录音中");
    if (hold.service->gnome)
        call << program_ << quint32(0) << reason << kSuspendAndIdle;
    else
        call << program_ << reason;
    hold.asked = true;
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, &hold](QDBusPendingCallWatcher* w) {
                w->deleteLater();
                const QDBusPendingReply<quint32> reply = *w;
                if (reply.isError()) { // no such service here: nothing held
                    hold.asked = false;
                    return;
                }
                hold.cookie = reply.value();
                hold.answered = true;
                if (!wanted_) // the take ended before the answer came
                    release(hold);
            });
}

void SleepInhibitor::askLogin() {
    if (loginAsked_)
        return;
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected())
        return;
    const QString login = QStringLiteral("org.freedesktop.login1");
    QDBusMessage call = QDBusMessage::createMethodCall(
        login, QStringLiteral("/org/freedesktop/login1"), login + QStringLiteral(".Manager"),
        QStringLiteral("Inhibit"));
    call << QStringLiteral("sleep:idle") << program_ << QStringLiteral("正在录音")
         << QStringLiteral("block");
    loginAsked_ = true;
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        loginAsked_ = false;
        const QDBusPendingReply<QDBusUnixFileDescriptor> reply = *w;
        // No logind here (or it refused): nothing held. A take that ended
        // before the answer came lets go at once.
        if (!reply.isError() && wanted_)
            login_ = reply.value();
    });
}

void SleepInhibitor::release(Hold& hold) {
    if (!hold.answered)
        return; // nothing held yet; an answer still coming is let go on arrival
    QDBusMessage call = callOf(*hold.service, hold.service->uninhibit);
    call << hold.cookie;
    QDBusConnection::sessionBus().send(call);
    hold.answered = false;
    hold.asked = false;
}

} // namespace platform

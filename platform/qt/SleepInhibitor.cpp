#include "SleepInhibitor.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

#include <utility>

namespace platform {
namespace {

QDBusMessage screenSaverCall(const char* method) {
    return QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.ScreenSaver"),
                                          QStringLiteral("/org/freedesktop/ScreenSaver"),
                                          QStringLiteral("org.freedesktop.ScreenSaver"),
                                          QString::fromLatin1(method));
}

} // namespace

SleepInhibitor::SleepInhibitor(QString program, QObject* parent)
    : QObject(parent), program_(std::move(program)) {}

SleepInhibitor::~SleepInhibitor() {
    wanted_ = false;
    release();
}

void SleepInhibitor::hold(bool on) {
    if (on == wanted_)
        return;
    wanted_ = on;
    if (!on) {
        release();
        return;
    }
    if (asked_)
        return; // the answer to an earlier ask is still on its way
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    QDBusMessage call = screenSaverCall("Inhibit");
    call << program_ << QStringLiteral("录音中");
    asked_ = true;
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        const QDBusPendingReply<quint32> reply = *w;
        if (reply.isError()) { // no such service: nothing to hold
            asked_ = false;
            return;
        }
        cookie_ = reply.value();
        if (!wanted_) // the take ended before the answer came
            release();
    });
}

void SleepInhibitor::release() {
    if (!asked_ || cookie_ == 0)
        return; // nothing held yet; an answer still coming is let go on arrival
    QDBusMessage call = screenSaverCall("UnInhibit");
    call << cookie_;
    QDBusConnection::sessionBus().send(call);
    cookie_ = 0;
    asked_ = false;
}

} // namespace platform

#include "DesktopZoom.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>

#include <cmath>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace magnifier {
namespace {

const QString kApplications = QStringLiteral("org.gnome.desktop.a11y.applications");
const QString kMagnifier = QStringLiteral("org.gnome.desktop.a11y.magnifier");
const QString kEnabled = QStringLiteral("screen-magnifier-enabled");
const QString kFactor = QStringLiteral("mag-factor");
const QString kLens = QStringLiteral("lens-mode");

QString factorText(int factor) {
    return QString::number(factor) + QStringLiteral(".0");
}

class GSettingsTool final : public DesktopSettings {
public:
    explicit GSettingsTool(QString tool) : tool_(std::move(tool)) {}
    std::optional<QString> get(const QString& schema, const QString& key) override {
        QString out;
        if (!run({QStringLiteral("get"), schema, key}, &out))
            return std::nullopt;
        return out.trimmed();
    }
    bool set(const QString& schema, const QString& key, const QString& value) override {
        return run({QStringLiteral("set"), schema, key, value}, nullptr);
    }

private:
    bool run(const QStringList& arguments, QString* out) {
        QProcess p;
        p.start(tool_, arguments);
        // The tool answers in milliseconds; a desktop that hangs must not
        // hang the window with it.
        if (!p.waitForFinished(2000)) {
            p.kill();
            p.waitForFinished(500);
            return false;
        }
        if (out)
            *out = QString::fromUtf8(p.readAllStandardOutput());
        return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    }
    QString tool_;
};

class SessionBus final : public DesktopBus {
public:
    bool call(const QString& service, const QString& path, const QString& interface,
              const QString& method, const QStringList& arguments, bool* answer) override {
        QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
        for (const QString& a : arguments)
            message << a;
        // As with the settings tool: a desktop that hangs must not hang
        // the window.
        const QDBusMessage reply = QDBusConnection::sessionBus().call(message, QDBus::Block, 2000);
        if (reply.type() != QDBusMessage::ReplyMessage)
            return false;
        if (answer) {
            if (reply.arguments().isEmpty())
                return false;
            *answer = reply.arguments().front().toBool();
        }
        return true;
    }
};

class GnomeZoom final : public DesktopZoom {
public:
    static std::unique_ptr<DesktopZoom> start(std::unique_ptr<DesktopSettings> settings,
                                              int factor) {
        if (!settings)
            return nullptr;
        std::unique_ptr<GnomeZoom> zoom(new GnomeZoom(std::move(settings)));
        // Everything is read before anything is changed: a store that
        // cannot be read is left as it was.
        const std::vector<std::pair<QString, QString>> keys = {
            {kMagnifier, kFactor}, {kMagnifier, kLens}, {kApplications, kEnabled}};
        std::vector<Kept> before;
        for (const auto& [schema, key] : keys) {
            const std::optional<QString> value = zoom->settings_->get(schema, key);
            if (!value || value->isEmpty())
                return nullptr;
            before.push_back({schema, key, *value});
        }
        const QString wanted[] = {factorText(factor), QStringLiteral("true"),
                                  QStringLiteral("true")};
        for (std::size_t i = 0; i < before.size(); ++i) {
            if (!zoom->settings_->set(before[i].schema, before[i].key, wanted[i]))
                return nullptr; // what was changed so far is put back
            zoom->kept_.push_back(before[i]);
        }
        zoom->factor_ = factor;
        return zoom;
    }

    ~GnomeZoom() override {
        // The zoom is switched off first, then its look is put back.
        for (auto it = kept_.rbegin(); it != kept_.rend(); ++it)
            settings_->set(it->schema, it->key, it->value);
    }

    // Each change is a run of the settings tool: a factor already set is
    // not set again.
    bool setFactor(int factor) override {
        if (factor != factor_ && settings_->set(kMagnifier, kFactor, factorText(factor)))
            factor_ = factor;
        return factor_ == factor;
    }

private:
    struct Kept {
        QString schema, key, value;
    };
    explicit GnomeZoom(std::unique_ptr<DesktopSettings> settings)
        : settings_(std::move(settings)) {}
    std::unique_ptr<DesktopSettings> settings_;
    std::vector<Kept> kept_; // the user's values, in the order they were changed
    int factor_ = 0;         // the factor last set (a drag reports each step twice)
};

// KWin's zoom effect has no call that sets a factor: it zooms in and out by
// steps of 1.2 (its default) on its global shortcuts, which the shortcut
// service invokes by name. The window's factor is the nearest number of
// steps from no zoom (2 -> 2.07, 5 -> 5.16, 9 -> 8.92); the effect is loaded
// for the window if it was not, and unloaded after.
class KWinZoom final : public DesktopZoom {
public:
    static std::unique_ptr<DesktopZoom> start(std::unique_ptr<DesktopBus> bus, int factor) {
        if (!bus)
            return nullptr;
        std::unique_ptr<KWinZoom> zoom(new KWinZoom(std::move(bus)));
        bool loaded = false;
        if (!zoom->effects(QStringLiteral("isEffectLoaded"), &loaded))
            return nullptr; // no KWin on this bus
        if (!loaded) {
            if (!zoom->effects(QStringLiteral("loadEffect"), &loaded) || !loaded)
                return nullptr;
            zoom->unloadAfter_ = true;
        }
        if (!zoom->setFactor(factor))
            return nullptr; // the shortcuts are not there: the effect is unloaded
        return zoom;
    }

    ~KWinZoom() override {
        shortcut(QStringLiteral("view_actual_size"));
        if (unloadAfter_)
            effects(QStringLiteral("unloadEffect"));
    }

    bool setFactor(int factor) override {
        const int wanted = int(std::lround(std::log(double(factor)) / std::log(1.2)));
        if (steps_ < 0) {
            // Where the zoom stands is not known (the user's own zoom before
            // the window opened, a call that failed): it starts from none.
            if (!shortcut(QStringLiteral("view_actual_size")))
                return false;
            steps_ = 0;
        }
        // From one factor to the next through the steps between them: the
        // screen does not fall back to no zoom on every move of the slider.
        while (steps_ != wanted) {
            const bool in = steps_ < wanted;
            if (!shortcut(in ? QStringLiteral("view_zoom_in") : QStringLiteral("view_zoom_out"))) {
                steps_ = -1;
                return false;
            }
            steps_ += in ? 1 : -1;
        }
        return true;
    }

private:
    explicit KWinZoom(std::unique_ptr<DesktopBus> bus) : bus_(std::move(bus)) {}
    bool effects(const QString& method, bool* answer = nullptr) {
        return bus_->call(QStringLiteral("org.kde.KWin"), QStringLiteral("/Effects"),
                          QStringLiteral("org.kde.kwin.Effects"), method, {QStringLiteral("zoom")},
                          answer);
    }
    bool shortcut(const QString& name) {
        return bus_->call(QStringLiteral("org.kde.kglobalaccel"), QStringLiteral("/component/kwin"),
                          QStringLiteral("org.kde.kglobalaccel.Component"),
                          QStringLiteral("invokeShortcut"), {name});
    }
    std::unique_ptr<DesktopBus> bus_;
    bool unloadAfter_ = false;
    int steps_ = -1; // the zoom's steps from none; -1: not known
};

// A starter owns what it starts with until it is used: a magnifier window
// starts the zoom once.
template <typename Zoom, typename Means> ZoomStarter starter(std::unique_ptr<Means> means) {
    auto held = std::make_shared<std::unique_ptr<Means>>(std::move(means));
    return [held](int factor) { return Zoom::start(std::move(*held), factor); };
}

} // namespace

ZoomStarter gnomeZoom(std::unique_ptr<DesktopSettings> settings) {
    return starter<GnomeZoom>(std::move(settings));
}

ZoomStarter kwinZoom(std::unique_ptr<DesktopBus> bus) {
    return starter<KWinZoom>(std::move(bus));
}

ZoomStarter sessionZoom() {
    const QStringList desktops =
        qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(QLatin1Char(':'));
    if (desktops.contains(QStringLiteral("GNOME"), Qt::CaseInsensitive)) {
        const QString tool = QStandardPaths::findExecutable(QStringLiteral("gsettings"));
        return tool.isEmpty() ? ZoomStarter{} : gnomeZoom(std::make_unique<GSettingsTool>(tool));
    }
    if (desktops.contains(QStringLiteral("KDE"), Qt::CaseInsensitive))
        return kwinZoom(std::make_unique<SessionBus>());
    return {};
}

namespace {

// The one thread the zoom calls run on, in the order they were asked.
class ZoomThread {
public:
    static ZoomThread& instance() {
        static ZoomThread thread;
        return thread;
    }
    ~ZoomThread() {
        {
            std::lock_guard lock(mutex_);
            ending_ = true;
        }
        wake_.notify_all();
        if (thread_.joinable())
            thread_.join();
    }

    void post(std::function<void()> job) {
        {
            std::lock_guard lock(mutex_);
            jobs_.push_back(std::move(job));
            if (!thread_.joinable())
                thread_ = std::thread([this] { run(); });
        }
        wake_.notify_all();
    }

    void finish() {
        std::unique_lock lock(mutex_);
        idle_.wait(lock, [this] { return jobs_.empty() && !busy_; });
    }

private:
    ZoomThread() = default;

    void run() {
        std::unique_lock lock(mutex_);
        for (;;) {
            wake_.wait(lock, [this] { return ending_ || !jobs_.empty(); });
            if (jobs_.empty())
                return; // ending, with nothing left to do
            std::function<void()> job = std::move(jobs_.front());
            jobs_.pop_front();
            busy_ = true;
            lock.unlock();
            job();
            lock.lock();
            busy_ = false;
            if (jobs_.empty())
                idle_.notify_all();
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_, idle_;
    std::deque<std::function<void()>> jobs_;
    bool busy_ = false;
    bool ending_ = false;
    std::thread thread_;
};

} // namespace

struct ZoomLine::Shared {
    std::unique_ptr<DesktopZoom> zoom; // touched on the zoom thread only
    int sent = 0;                      // the factor last set (zoom thread)
    bool taken = true;                 // whether the desktop took it (zoom thread)

    std::mutex mutex;
    int wanted = 0;
    QPointer<QObject> context; // null once the line is gone
    std::function<void(Answer)> answered;

    void answer(Answer a) {
        std::lock_guard lock(mutex);
        if (!context)
            return;
        QMetaObject::invokeMethod(
            context.data(),
            [context = context, answered = answered, a] {
                if (context)
                    answered(a);
            },
            Qt::QueuedConnection);
    }
};

ZoomLine::ZoomLine(ZoomStarter starter, int factor, QObject* context,
                   std::function<void(Answer)> answered)
    : shared_(std::make_shared<Shared>()) {
    shared_->wanted = factor;
    shared_->context = context;
    shared_->answered = std::move(answered);
    ZoomThread::instance().post([shared = shared_, starter = std::move(starter), factor] {
        shared->zoom = starter ? starter(factor) : nullptr;
        shared->sent = factor;
        shared->answer({shared->zoom != nullptr, factor, shared->zoom != nullptr});
    });
}

ZoomLine::~ZoomLine() {
    {
        std::lock_guard lock(shared_->mutex);
        shared_->context = nullptr;
    }
    ZoomThread::instance().post([shared = shared_] { shared->zoom.reset(); });
}

void ZoomLine::setFactor(int factor) {
    {
        std::lock_guard lock(shared_->mutex);
        shared_->wanted = factor;
    }
    ZoomThread::instance().post([shared = shared_] {
        if (!shared->zoom)
            return;
        int wanted = 0;
        {
            std::lock_guard lock(shared->mutex);
            wanted = shared->wanted;
        }
        // A factor set already (a later step of the same drag came first)
        // is said again: the window shows the answer for where it stands.
        if (wanted != shared->sent) {
            shared->sent = wanted;
            shared->taken = shared->zoom->setFactor(wanted);
        }
        shared->answer({true, wanted, shared->taken});
    });
}

void ZoomLine::finishAll() {
    ZoomThread::instance().finish();
}

} // namespace magnifier

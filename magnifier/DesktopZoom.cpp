#include "DesktopZoom.h"

#include <QProcess>
#include <QStandardPaths>

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

} // namespace

std::unique_ptr<DesktopSettings> gnomeSettings() {
    const QStringList desktops =
        qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(QLatin1Char(':'));
    if (!desktops.contains(QStringLiteral("GNOME"), Qt::CaseInsensitive))
        return nullptr;
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("gsettings"));
    if (tool.isEmpty())
        return nullptr;
    return std::make_unique<GSettingsTool>(tool);
}

std::unique_ptr<DesktopZoom> DesktopZoom::start(std::unique_ptr<DesktopSettings> settings,
                                                int factor) {
    if (!settings)
        return nullptr;
    std::unique_ptr<DesktopZoom> zoom(new DesktopZoom(std::move(settings)));
    // Everything is read before anything is changed: a store that cannot
    // be read is left as it was.
    const std::vector<std::pair<QString, QString>> keys = {
        {kMagnifier, kFactor}, {kMagnifier, kLens}, {kApplications, kEnabled}};
    std::vector<Kept> before;
    for (const auto& [schema, key] : keys) {
        const std::optional<QString> value = zoom->settings_->get(schema, key);
        if (!value || value->isEmpty())
            return nullptr;
        before.push_back({schema, key, *value});
    }
    const QString wanted[] = {factorText(factor), QStringLiteral("true"), QStringLiteral("true")};
    for (std::size_t i = 0; i < before.size(); ++i) {
        if (!zoom->settings_->set(before[i].schema, before[i].key, wanted[i]))
            return nullptr; // what was changed so far is put back
        zoom->kept_.push_back(before[i]);
    }
    zoom->factor_ = factor;
    return zoom;
}

DesktopZoom::~DesktopZoom() {
    // The zoom is switched off first, then its look is put back.
    for (auto it = kept_.rbegin(); it != kept_.rend(); ++it)
        settings_->set(it->schema, it->key, it->value);
}

// Each change is a run of the settings tool on the window thread: a factor
// already set is not set again.
void DesktopZoom::setFactor(int factor) {
    if (factor != factor_ && settings_->set(kMagnifier, kFactor, factorText(factor)))
        factor_ = factor;
}

} // namespace magnifier

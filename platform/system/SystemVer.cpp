#include "SystemVer.h"

#include "OsVersion.h"

namespace platform {

QString SystemVer(int platformId, int major, int minor) {
    switch (platformId) {
    case 0:
        return QStringLiteral("Windows 32s");
    case 1: // only the minor number tells these apart
        switch (minor) {
        case 0:
            return QStringLiteral("Windows 95");
        case 10:
            return QStringLiteral("Windows 98");
        case 90:
            return QStringLiteral("Windows Mellinnium");
        default:
            return {};
        }
    case 2:
        switch (major) {
        case 3:
            return QStringLiteral("WindowsNT 3.51");
        case 4:
            return QStringLiteral("WindowsNT 4.0");
        case 5:
            switch (minor) {
            case 0:
                return QStringLiteral("Windows 2000");
            case 1:
                return QStringLiteral("Windows XP");
            case 2:
                return QStringLiteral("Windows 2003");
            default:
                return {};
            }
        case 6:
            switch (minor) {
            case 0:
                return QString::fromLatin1(kWindowsVista);
            case 1:
                return QString::fromLatin1(kWindows7);
            default:
                return {};
            }
        default:
            return {};
        }
    default:
        return QString::fromUtf8(kUnknownSystem);
    }
}

QString SystemVer() {
    const platform::OsVersion v = platform::queryOsVersion();
    return SystemVer(v.platformId, v.major, v.minor);
}

namespace {

// Vista and later, and any system the table does not know.
bool newerSystem(const QString& systemName) {
    return systemName == QLatin1String(kWindowsVista) || systemName == QLatin1String(kWindows7) ||
           systemName == QString::fromUtf8(kUnknownSystem);
}

} // namespace

QString standardRecorderFor(const QString& systemName) {
    return newerSystem(systemName) ? QStringLiteral("Brevon") : QStringLiteral("Kestrum");
}

QString volumeToolFor(const QString& systemName, bool recording) {
    if (newerSystem(systemName))
        return QStringLiteral("SndVol.exe");
    return recording ? QStringLiteral("sndvol32.exe -r") : QStringLiteral("sndvol32.exe");
}

} // namespace platform

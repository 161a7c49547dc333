#pragma once
// The plain name of the running system, used to choose the volume tools
// (and by the launcher to choose a recorder).

#include <QString>

namespace platform {

QString SystemVer(int platformId, int major, int minor);
QString SystemVer(); // asks the platform

// Names the tools compare with.
inline constexpr const char* kWindows7 = "Windows 7";
inline constexpr const char* kWindowsVista = "Windows Vista";
inline constexpr const char* kUnknownSystem = "未知";

// The recorder the launcher's standard mode starts on the named system.
QString standardRecorderFor(const QString& systemName);
// The volume tool a recorder's button starts there: the master mixer, or
// its recording control (`recording`).
QString volumeToolFor(const QString& systemName, bool recording);

} // namespace platform

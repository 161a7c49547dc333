#pragma once
// The running system's version as the version query reports it: platform
// identifier, major and minor number. Where there is no such query, the
// platform identifier is one that no version table knows.

namespace platform {

struct OsVersion {
    int platformId = 0;
    int major = 0;
    int minor = 0;
};

inline constexpr int kUnknownPlatformId = 99;

OsVersion queryOsVersion();

} // namespace platform

#include "OsVersion.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace platform {

OsVersion queryOsVersion() {
#ifdef _WIN32
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof(info);
    // A failure leaves the record zero-filled, which names platform 0.
#pragma warning(suppress : 4996)
    GetVersionExA(&info);
    return {int(info.dwPlatformId), int(info.dwMajorVersion), int(info.dwMinorVersion)};
#else
    return {kUnknownPlatformId, 0, 0};
#endif
}

} // namespace platform

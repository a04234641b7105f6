#include "support/windows_version_detect.h"

#include <windows.h>

namespace tonvale {

// Without a Windows 10 entry in the manifest the system reports at most 6.2,
// which is what the version predicates were made for.
uint32_t detectWindowsVersion() {
    OSVERSIONINFOW info = {};
    info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExW(&info))
        return 0;
#pragma GCC diagnostic pop
    return (info.dwMajorVersion << 16) + (info.dwMinorVersion & 0xFFFF);
}

} // namespace tonvale

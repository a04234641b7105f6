#include "support/windows_version_detect.h"

namespace tonvale {

uint32_t detectWindowsVersion() {
    return 0x000A0000;
}

} // namespace tonvale

// The version value as the platform reports it; one definition per platform.
#pragma once

#include <cstdint>

namespace tonvale {

uint32_t detectWindowsVersion();

} // namespace tonvale

// The engine's start parameters as the settings give them.
#pragma once

#include "engine/engine_params.h"

#include <cstdint>

namespace tonvale {

struct MainSettings;

// deviceId: the wave-in index of the stored device (-1 for the default);
// deviceDefaultRate: that device's own rate, used when the settings leave
// the rate to the device.
EngineParams engineParamsFromSettings(const MainSettings& settings, int32_t deviceId,
                                      uint32_t deviceDefaultRate);

} // namespace tonvale

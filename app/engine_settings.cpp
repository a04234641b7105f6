#include "app/engine_settings.h"

#include "support/settings/tuner_settings.h"

namespace tonvale {

EngineParams engineParamsFromSettings(const MainSettings& settings, int32_t deviceId,
                                      uint32_t deviceDefaultRate) {
    EngineParams params;
    params.deviceId = deviceId;
    params.sampleRate = settings.deviceSampleRate ? settings.deviceSampleRate : deviceDefaultRate;
    params.clockAdjust = settings.inClockAdjust;
    params.inputThreshold = settings.dBInputThreshold;
    params.findFundamental = settings.findFundamental ? 1 : 0;
    params.humFrequency = static_cast<float>(settings.humSupress / 100.0);
    params.useLongFFT = settings.useLongFFT ? 1 : 0;
    params.microphoneOnly = settings.microphoneOnly ? 1 : 0;
    return params;
}

} // namespace tonvale

#include "devices/measurement/rate_measurement_thread_win.h"

#include "devices/measurement/endpoint_rate_measurement_win.h"
#include "devices/measurement/measurement_scheduling_win.h"
#include "devices/measurement/rate_measurement_notices_win.h"
#include "devices/measurement/wave_rate_measurement_win.h"
#include "support/exception_border.h"
#include "support/windows_version.h"

namespace tonvale {

namespace {

MeasurementEnd measure(RateMeasurementJob& job, DeviceDirection direction) {
    // The class is back to normal before the dialog hears of the end.
    MeasurementScheduling scheduling;
    if (isWindowsVistaOrLater())
        return measureEndpoint(job, direction);
    return direction == DeviceDirection::capture ? measureWaveInput(job) : measureWaveOutput(job);
}

uint32_t measurementThread(void* argument, DeviceDirection direction) {
    auto& job = *static_cast<RateMeasurementJob*>(argument);
    const MeasurementCodes& codes =
        direction == DeviceDirection::capture ? kCaptureCodes : kPlaybackCodes;
    const MeasurementEnd end = guardBorder(
        "measurement thread", [&] { return measure(job, direction); },
        [&]() noexcept {
            return MeasurementEnd{codes.outOfMemory, 0};
        });
    PostMessageW(job.dialogWindow, kMeasurementEnded, end.code, static_cast<LPARAM>(end.detail));
    return 0;
}

} // namespace

uint32_t captureMeasurementThread(void* job) {
    return measurementThread(job, DeviceDirection::capture);
}

uint32_t playbackMeasurementThread(void* job) {
    return measurementThread(job, DeviceDirection::playback);
}

} // namespace tonvale

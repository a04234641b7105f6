// Measurement streams of Core Audio (endpoint mode): an exclusive-mode
// stream whose clock positions are compared with the clock's own time stamps.
#pragma once

#include <windows.h>

#include "devices/measurement/rate_measurement_job_win.h"
#include "devices/names/device_direction.h"

#include <mmdeviceapi.h>

namespace tonvale {

// The job's endpoint of the direction (the default one for index -1),
// measured with measureEndpointStream; the caller posts the end. The thread
// must have COM initialised.
MeasurementEnd measureEndpoint(RateMeasurementJob& job, DeviceDirection direction);

// One measurement on `endpoint`: capture drains and discards what arrives,
// playback plays silence. Event-driven when the job prefers it and the
// endpoint says it supports it, else polling. Sets the job's result (in Hz
// at the job's nominal rate) when all 31 stamps were taken; posts
// kMeasurementCounting when P0 is taken.
MeasurementEnd measureEndpointStream(RateMeasurementJob& job, DeviceDirection direction,
                                     IMMDevice* endpoint);

} // namespace tonvale

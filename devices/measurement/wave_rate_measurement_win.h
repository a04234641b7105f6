// Measurement streams of the wave API (legacy mode): samples counted by the
// device against the performance counter.
#pragma once

#include "devices/measurement/rate_measurement_job_win.h"

namespace tonvale {

// Each runs one measurement on the job's device at its nominal rate, 16 bits
// (capture: the job's channel count; playback: one channel of silence),
// sets the job's result when all 31 stamps were taken, and returns how it
// ended. Posts kMeasurementCounting when P0 is taken; the caller posts the
// end.
MeasurementEnd measureWaveInput(RateMeasurementJob& job);
MeasurementEnd measureWaveOutput(RateMeasurementJob& job);

} // namespace tonvale

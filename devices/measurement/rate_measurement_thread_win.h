// The thread procedures of the sampling-rate measurement: started suspended
// by the measurement dialog with its RateMeasurementJob as the argument.
#pragma once

#include <cstdint>

namespace tonvale {

// Each raises the thread's scheduling class, measures the job's capture or
// playback device (wave API in legacy mode, Core Audio in endpoint mode),
// restores the class and posts kMeasurementEnded as its last act. Return 0.
uint32_t captureMeasurementThread(void* job);
uint32_t playbackMeasurementThread(void* job);

} // namespace tonvale

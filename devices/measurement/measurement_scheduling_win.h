// The scheduling class a measurement thread runs in, so that each time
// stamp is taken right after the device position moved.
//
// Endpoint mode: COM (multithreaded) and the "Pro Audio" multimedia class
// when bindMmcss succeeded (without it the thread runs in its normal class).
// Legacy mode: a real-time process, a time-critical thread pinned to the
// lowest processor of the process; the process returns to the normal class
// when the scope ends, whatever the run did.
#pragma once

#include <windows.h>

#include "support/scoped_win.h"

#include <optional>

namespace tonvale {

// Binds AvSetMmThreadCharacteristicsW, AvRevertMmThreadCharacteristics and
// AvSetMmThreadPriority of "avrt.dll". True only when all three exist (the
// library is freed otherwise); once bound, later calls return true at once.
// Called once at start-up, before any measurement thread runs.
bool bindMmcss();

// Raises the calling thread's class for its lifetime.
class MeasurementScheduling {
  public:
    MeasurementScheduling();
    ~MeasurementScheduling();
    MeasurementScheduling(const MeasurementScheduling&) = delete;
    MeasurementScheduling& operator=(const MeasurementScheduling&) = delete;

    // Whether the thread joined the "Pro Audio" class.
    bool proAudio() const { return mmcssTask_ != nullptr; }

  private:
    std::optional<ComInitialization> com_;
    HANDLE mmcssTask_ = nullptr;
    bool realTime_ = false;
};

} // namespace tonvale

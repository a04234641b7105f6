// What the measurement dialog shows: the count-down, the counter bias of a
// measured rate, and the message for each way a measurement thread fails.
#pragma once

#include <cstdint>

namespace tonvale {

// Seconds of counting.
constexpr uint32_t kCountingSeconds = 30;

// The count-down shown startTick..nowTick (GetTickCount values, which wrap)
// after counting began: 30 minus the whole seconds gone, at least 1.
uint32_t secondsRemaining(uint32_t startTick, uint32_t nowTick);

// The counter bias in cents of a device that runs at measuredHz when it
// should run at nominalHz (positive: the clock runs fast).
double counterBiasCents(double measuredHz, double nominalHz);

// Whose explanation follows a failure's message.
enum class FailureDetail : uint8_t {
    none,
    captureDevice,  // the wave-in text of the MMRESULT, or the HRESULT's reason
    playbackDevice, // the wave-out text of the MMRESULT, or the HRESULT's reason
};

struct MeasurementFailure {
    int text = 0; // UI text number; 0 = no message box
    FailureDetail detail = FailureDetail::none;
};

// The message for a thread's end code (0 is not a failure).
MeasurementFailure measurementFailure(uint32_t code);

// The UI text number of the reason for a Core Audio HRESULT, 0 when it has
// none.
int endpointFailureReason(uint32_t hresult);

} // namespace tonvale

#include "devices/calibration/measurement_outcome.h"

#include <cmath>

namespace tonvale {

namespace {

constexpr int kNoMemoryText = 103;
constexpr int kAnErrorText = 111;
constexpr int kNoResponseText = 112;
constexpr int kDiscontinuityText = 113;
constexpr int kOpenRecordingText = 114;
constexpr int kRecordingErrorText = 115;
constexpr int kOpenPlaybackText = 117;
constexpr int kPlaybackErrorText = 118;

} // namespace

uint32_t secondsRemaining(uint32_t startTick, uint32_t nowTick) {
    const uint32_t gone = (nowTick - startTick) / 1000;
    return gone >= kCountingSeconds ? 1 : kCountingSeconds - gone;
}

double counterBiasCents(double measuredHz, double nominalHz) {
    return 1200.0 * std::log2(measuredHz / nominalHz);
}

MeasurementFailure measurementFailure(uint32_t code) {
    switch (code) {
    case 1:
    case 101:
        return {kNoMemoryText, FailureDetail::none};
    case 2:
        return {kOpenRecordingText, FailureDetail::captureDevice};
    case 3:
        return {kRecordingErrorText, FailureDetail::captureDevice};
    case 5:
    case 104:
        return {kNoResponseText, FailureDetail::none};
    case 6:
        return {kDiscontinuityText, FailureDetail::none};
    case 7:
    case 105:
        return {kAnErrorText, FailureDetail::none};
    case 102:
        return {kOpenPlaybackText, FailureDetail::playbackDevice};
    case 103:
        return {kPlaybackErrorText, FailureDetail::playbackDevice};
    default:
        return {};
    }
}

int endpointFailureReason(uint32_t hresult) {
    switch (hresult) {
    case 0x88890004u: // AUDCLNT_E_DEVICE_INVALIDATED
        return 119;
    case 0x88890008u: // AUDCLNT_E_UNSUPPORTED_FORMAT
        return 120;
    case 0x8889000Au: // AUDCLNT_E_DEVICE_IN_USE
        return 121;
    case 0x8889000Eu: // AUDCLNT_E_EXCLUSIVE_MODE_NOT_ALLOWED
        return 122;
    case 0x88890010u: // AUDCLNT_E_SERVICE_NOT_RUNNING
        return 124;
    case 0x88890012u: // AUDCLNT_E_EXCLUSIVE_MODE_ONLY
        return 123;
    default:
        return 0;
    }
}

} // namespace tonvale

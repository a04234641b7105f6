#include "devices/calibration/rate_measurement_dialog_win.h"
#include "devices/calibration/reference_capture_dialog_win.h"
#include "dialogs/settings/settings_pages_win.h"

namespace tonvale {

CalibrationDialogs programCalibrationDialogs() {
    return CalibrationDialogs{measureCaptureRate, measurePlaybackRate, captureReferenceSignal};
}

} // namespace tonvale

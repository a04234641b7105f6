// The calibration dialogs the Device page offers. They do not exist yet, so
// "Measure..." and "Capture..." stay disabled; fill in the three entries
// (and link their library into tonvale_settings_dialog) to enable them.
#include "dialogs/settings/settings_pages_win.h"

namespace tonvale {

CalibrationDialogs programCalibrationDialogs() {
    return CalibrationDialogs{};
}

} // namespace tonvale

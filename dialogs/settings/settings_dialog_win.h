// The tabbed settings dialog: "Tuning", "Display" and "Device" over a copy
// of the settings. The caller (the main window) stops what depends on the
// settings first and restarts it afterwards.
#pragma once

#include "dialogs/settings/settings_pages_win.h"

#include <windows.h>

namespace tonvale {

// Runs the dialog modally over owner (restored first when minimised), on the
// page that was current when it last closed. On OK the copy goes back into gTunerSettings and the
// temperament and the note naming are rebuilt (nothing is saved to disk);
// returns true. Cancel, closing it, or a dialog that could not be made
// changes nothing and returns false. UI thread only.
bool runSettingsDialog(HWND owner);

// The same with the calibration dialogs and the device lists given (tests).
bool runSettingsDialog(HWND owner, const CalibrationDialogs& calibration,
                       DeviceListSource deviceLists);

} // namespace tonvale

// Private message of the power lamp control (".PowLED"). Sent by the main
// window on the UI thread; returns 0.
#pragma once

#include <windows.h>

namespace tonvale {

enum PowerLampMessage : UINT {
    // wParam: 1 lit, 0 dark. Repaints without erasing.
    PLM_SETPOWER = WM_APP + 0,
};

} // namespace tonvale

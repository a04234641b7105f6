// The about box: the program's icon, name and version, what it is, and the
// build date.
#pragma once

#include <windows.h>

namespace tonvale {

// Restores the main window when it is minimised, then shows the box modally,
// owned by it. Returns when the box is closed (OK, Enter or Esc); false when
// it could not be shown.
bool showAboutBox(HWND mainWindow);

} // namespace tonvale

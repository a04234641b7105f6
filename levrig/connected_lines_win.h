// The "Connected Lines" dialog of a playback endpoint: a panel per source
// line, over the main window, which stays disabled while it is open.
#pragma once

#include <windows.h>

namespace tonvale {
namespace levrig {

class CEndPoint;

// Opens the dialog owned by mainWindow; false when it cannot be shown.
bool openConnectedLines(HWND mainWindow, CEndPoint& endpoint);

} // namespace levrig
} // namespace tonvale

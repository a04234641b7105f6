// Commands that hand work to programs outside the tuner: the volume control,
// the read-me and the settings folder. Failures are shown in the program's
// message box, owned by the given window. UI thread only.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace tonvale {

// The volume control for the wave-in device (-1: none chosen): through
// levrig.dll beside the program on Windows 6.0 or later (loaded on first use
// and kept; its window belongs to gProcess.mainWindow), the Sound control
// panel's recording page when the library is missing, the system's
// volume-control program before 6.0. A library without the entry point is
// reported and never called.
void launchVolumeControl(HWND owner, int32_t deviceIndex);

// Closes the library's windows and unloads it; nothing when it was never
// loaded. At the main window's close.
void releaseVolumeControl();

// readme.txt beside the program, in the user's viewer.
void openReadMe(HWND mainWindow);

// The settings folder (created if missing) with the sample files copied in,
// in the shell.
void openSettingsFolder(HWND mainWindow);

// Copies note.ini and scale.ini from `from` into `to` (both ending in a
// separator) unless a file of that name is already there. Failures are
// ignored: the samples are a convenience.
void copySampleFiles(const std::wstring& from, const std::wstring& to);

} // namespace tonvale

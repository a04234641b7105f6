// Texts of wave-device failures: the program's message, a blank line, and
// the system's explanation of the result code; and the error box that shows
// them.
#pragma once

#include <windows.h>

#include <mmsystem.h>

#include <string>

namespace tonvale {

// "<message>\n\n", followed for a non-zero code by the system's text for it,
// or "Error code <code>" when the system has none.
std::wstring waveInErrorText(const wchar_t* message, MMRESULT code);
std::wstring waveOutErrorText(const wchar_t* message, MMRESULT code);

// Shows that text in the program's error box, titled "Tonvale" and owned by
// `owner`, and returns when it is closed. UI thread only.
void showWaveInError(HWND owner, const wchar_t* message, MMRESULT code);
void showWaveOutError(HWND owner, const wchar_t* message, MMRESULT code);

} // namespace tonvale

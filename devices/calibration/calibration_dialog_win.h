// What both clock calibration dialogs share: the empty template they start
// from, their font, texts and buttons.
#pragma once

#include <windows.h>

#include "devices/names/device_direction.h"

#include <string>

namespace tonvale {

// "Device: %s" with the name, or with the default device's name when it is
// null or empty.
std::wstring calibrationTitle(int titleText, DeviceDirection direction, const wchar_t* name);

// Runs the modal dialog of `procedure` on an empty template titled `title`;
// the dialog's result, or 0 when it could not be made.
INT_PTR runCalibrationDialog(HINSTANCE instance, HWND owner, const std::wstring& title,
                             DLGPROC procedure, LPARAM parameter);

HFONT calibrationFont();

void setItemText(HWND dialog, int id, const wchar_t* text);

// Button 1 loses its default look and is disabled; Cancel becomes the
// default button and takes the focus.
void handDefaultToCancel(HWND dialog);
// Button 1 shows `text`, is enabled, the default button and has the focus.
void makeFirstButtonDefault(HWND dialog, const wchar_t* text);

} // namespace tonvale

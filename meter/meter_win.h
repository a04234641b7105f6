// The needle meter (".Hari") and the power lamp (".PowLED"): child controls
// of the main window, driven by the messages of meter_messages_win.h and
// power_lamp_messages_win.h.
//
// The meter composes its picture from the bitmaps 600-603 of the program's
// module in an off-screen buffer, region by region, and keeps the reading in
// words as its window text ("A4 +3 cents 440.8 Hz", "-" without a note) for
// screen readers. It reads the UI font and instance from the process context
// and the display size, reference pitch, temperament and note naming from
// the tuner's settings.
#pragma once

#include <windows.h>

namespace tonvale {

constexpr wchar_t kMeterClassName[] = L".Hari";
constexpr int kMeterExtraBytes = 8; // slot 0: the control's state
constexpr wchar_t kPowerLampClassName[] = L".PowLED";
constexpr int kPowerLampExtraBytes = 4; // slot 0: 0 or 1

constexpr int kBackgroundSmallBitmap = 600;
constexpr int kBackgroundLargeBitmap = 601;
constexpr int kLampFramesBitmap = 602;
constexpr int kGlyphStripBitmap = 603;

LRESULT CALLBACK meterProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK powerLampProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Registers both classes (CS_PARENTDC, arrow cursor, no background) with
// instance; false when either fails. The program entry registers them itself
// in its own order; tests use this.
bool registerMeterClasses(HINSTANCE instance);

} // namespace tonvale

// The spectrum view (".Spect"): a child control of the spectrum window that
// draws the frames it is sent (spectrum_messages_win.h) into an off-screen
// buffer of its client size and paints from it. The curve is drawn with GDI,
// or anti-aliased with Direct2D while the process uses it; the axis along
// the bottom is drawn only when the band changes or the buffer is new.
#pragma once

#include <windows.h>

namespace tonvale {

constexpr wchar_t kSpectrumViewClassName[] = L".Spect";
constexpr int kSpectrumViewExtraBytes = 8; // slot 0: the view's state

constexpr COLORREF kSpectrumCurveColour = RGB(0, 240, 240);
constexpr COLORREF kSpectrumMarkerColour = RGB(144, 144, 144);

LRESULT CALLBACK spectrumViewProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace tonvale

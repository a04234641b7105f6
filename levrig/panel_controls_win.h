// Small helpers the endpoint and line panels share.
#pragma once

#include "levrig/volume_arithmetic.h"

#include <windows.h>

#include <commctrl.h>

namespace tonvale {
namespace levrig {

inline int sliderPosition(HWND panel, int id) {
    return static_cast<int>(SendDlgItemMessageW(panel, id, TBM_GETPOS, 0, 0));
}

inline void setSlider(HWND panel, int id, int position) {
    SendDlgItemMessageW(panel, id, TBM_SETPOS, TRUE, position);
}

inline void setNumber(HWND panel, int id, int value) {
    SetDlgItemInt(panel, id, static_cast<UINT>(value), FALSE);
}

inline void enableControl(HWND panel, int id, bool enabled) {
    if (HWND control = GetDlgItem(panel, id))
        EnableWindow(control, enabled ? TRUE : FALSE);
}

// The dialog id of a WM_HSCROLL's slider.
inline int sliderId(LPARAM lParam) {
    return lParam ? GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) : 0;
}

// Shows volume, balance and mute as far as they differ from what is shown.
struct ShownValues {
    int& volume;
    int& balance;
    int& muted;
};
void showValues(HWND panel, int volumeId, int volumeValueId, int balanceId, int balanceValueId,
                int muteId, int volumePercent, ChannelPercents channels, bool muted,
                ShownValues shown, bool onlyChanges);

} // namespace levrig
} // namespace tonvale

// Private messages of the needle meter control (".Hari"). Sent by the main
// window on the UI thread; all return 0. Nothing is allocated or freed.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstring>

namespace tonvale {

enum MeterMessage : UINT {
    // wParam: the bit pattern of a float, cents already clamped to +-50.
    // The needle's target becomes cents * 1.12 degrees.
    MM_SETNEEDLE = WM_APP + 0,
    // wParam: non-zero switches on (the needle timer runs), 0 off (the needle
    // returns to rest, then the timer stops).
    MM_POWER = WM_APP + 1,
    // wParam & 3: lamps, bit 1 flat, bit 0 sharp, 3 in tune.
    MM_SETLAMPS = WM_APP + 2,
    // No parameters: the needle's target becomes the rest position.
    MM_NEEDLEREST = WM_APP + 3,
    // LOWORD(wParam): note number (signed, -13 none); HIWORD(wParam): cents
    // + 99, 0xFFFF none; lParam: frequency in tenths of a hertz, 0 none.
    MM_SETDIGITS = WM_APP + 4,
    // wParam: level bar 0 ... 32768.
    MM_SETLEVEL = WM_APP + 5,
    // No parameters: reference pitch, temperament and note naming changed.
    MM_REFRESHINFO = WM_APP + 6,
    // wParam: non-zero for the large display.
    MM_SETLARGE = WM_APP + 7,
    // No parameters: drop the composition buffer (rebuilt at the next paint).
    MM_DROPBUFFER = WM_APP + 8,
};

inline WPARAM needleParam(float cents) {
    uint32_t bits = 0;
    std::memcpy(&bits, &cents, sizeof bits);
    return bits;
}

inline float needleCents(WPARAM wParam) {
    const auto bits = static_cast<uint32_t>(wParam);
    float cents = 0.0f;
    std::memcpy(&cents, &bits, sizeof cents);
    return cents;
}

inline WPARAM digitsParam(int32_t noteNumber, uint16_t centsCode) {
    return MAKEWPARAM(static_cast<uint16_t>(noteNumber), centsCode);
}

} // namespace tonvale

// Thread messages of the tone generator thread (posted with
// PostThreadMessageW to the id its starter got). Nothing is allocated for
// any of them: doubles travel split over wParam and lParam (double_message.h).
#pragma once

#include <windows.h>

namespace tonvale {

// wParam/lParam: a frequency in Hz as a split double. The sounding note
// fades out; a frequency above 0 fades in over it. Ignored after a failure
// and once a fade-out stop has begun.
constexpr UINT kToneSetFrequency = WM_APP;

// wParam/lParam: a linear gain 0 ... 1 as a split double. The sounding note
// moves to it over 50 ms. Ignored like kToneSetFrequency.
constexpr UINT kToneSetGain = WM_APP + 1;

// wParam: a ToneStop value; lParam 0. The thread ends; after a failure it
// always ends at once.
constexpr UINT kToneStop = WM_APP + 2;

enum class ToneStop : WPARAM {
    fadeOut = 0, // fade out, play the queued buffers and one of silence, then end
    atOnce = 1,
};

// MM_WOM_DONE (wParam the device, lParam the WAVEHDR) arrives from the
// device itself.

} // namespace tonvale

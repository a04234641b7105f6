// The engine thread's messages: the thread messages it takes, and what it
// posts to the window named in its start record.
#pragma once

#include <windows.h>

#include <cstdint>

namespace tonvale {

// Thread messages the engine thread takes (PostThreadMessageW to its id).
// Every other message, WM_QUIT included, is ignored.
//
//   kEngineStop             wParam 0, lParam 0: release everything and end.
//   kEngineSpectrumRequest  wParam: spectrum length L (above 8192 served as
//                           8192; 0 stops attaching spectra); lParam: the
//                           number of values M (above 512 served as 512).
//                           Takes effect from the next reading.
//   MM_WIM_DATA             from the capture device (lParam: the WAVEHDR).
constexpr UINT kEngineStop = WM_APP + 0;
constexpr UINT kEngineSpectrumRequest = WM_APP + 2;

// Posted to the window of the start record, whoever owns the engine.
//
//   kEngineReading  wParam: the engine's PitchReading*, lParam 0. The record
//                   stays the engine's; the receiver reads it on its own
//                   thread and then clears its busy flag (release). At most
//                   one is ever queued.
//   kEngineError    wParam: an EngineError code, lParam: the wave-in or
//                   mixer result code (MMRESULT). Posted once; the engine
//                   then waits for kEngineStop.
constexpr UINT kEngineReading = WM_APP + 0;
constexpr UINT kEngineError = WM_APP + 1;

enum class EngineError : uint16_t {
    none = 0,
    outOfMemory = 1,  // "There is not enough memory available."
    openFailed = 2,   // "Failed to open the recording device."
    deviceFailed = 3, // "An error occurred on the recording device."
    mixerFailed = 4,  // "Failed to change the mute setting of the mic-in."
};

// The UI text shown for an error code, 0 for none.
constexpr int engineErrorText(EngineError error) {
    switch (error) {
    case EngineError::outOfMemory:
        return 103;
    case EngineError::openFailed:
        return 114;
    case EngineError::deviceFailed:
        return 115;
    case EngineError::mixerFailed:
        return 116;
    default:
        return 0;
    }
}

} // namespace tonvale

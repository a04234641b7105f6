// The record one sampling-rate measurement dialog shares with its
// measurement thread, and the codes the thread ends with.
//
// The dialog fills everything before it resumes the thread. While the thread
// runs, the dialog writes only the stop request and the thread writes only
// the result; the dialog reads the result after waiting for the thread.
#pragma once

#include <windows.h>

#include "support/worker_thread_win.h"

#include <atomic>
#include <cstdint>

namespace tonvale {

struct RateMeasurementJob {
    HWND ownerWindow = nullptr;
    HWND dialogWindow = nullptr; // receives the notices of rate_measurement_notices_win.h
    std::atomic<uint8_t> stopRequest{0};
    uint8_t finished = 0;
    uint8_t eventDrivenPreference = 0; // the setting, taken when the dialog opened
    ThreadFunction threadProcedure = nullptr;
    HANDLE threadHandle = nullptr; // owned by the dialog
    uint32_t threadId = 0;
    double result = 0.0; // Hz; 0 until a measurement completes
    uint32_t startTick = 0;
    uint32_t shownSeconds = 0;
    int32_t nominalRate = 0; // Hz: the wave API opens the device at it
    uint16_t bitsPerSample = 16;
    uint16_t captureChannels = 1; // 1 or 2, the wave-in format's
    int32_t deviceIndex = -1;     // wave index; -1 = the default device
    const wchar_t* deviceName = nullptr;

    bool stopRequested() const { return stopRequest.load(std::memory_order_relaxed) != 0; }
};

// How a run ended: a code of the direction's set and the failing MMRESULT or
// HRESULT (0 when there is none).
struct MeasurementEnd {
    uint32_t code = 0;
    uint32_t detail = 0;
};

// The end codes of one direction. 0 is a completed run or a stop on request
// (the result tells which).
struct MeasurementCodes {
    uint32_t outOfMemory;
    uint32_t openFailed;      // the device could not be opened or set up
    uint32_t waveFailed;      // a wave-API call failed while running
    uint32_t clockSilent;     // the device clock did not answer
    uint32_t discontinuity;   // captured data with a gap (capture only)
    uint32_t coreAudioFailed; // a Core Audio call failed or timed out while running
};

constexpr MeasurementCodes kCaptureCodes = {1, 2, 3, 5, 6, 7};
constexpr MeasurementCodes kPlaybackCodes = {101, 102, 103, 104, 0, 105};

} // namespace tonvale

// The engine thread: captures from a wave-in device and posts one reading
// per block (a tenth of a second) to a window, until it is told to stop.
//
// Starting (what startEngine does, for starters that do it themselves):
//   1. fill an EngineStart; create a manual-reset event, not signalled,
//      into startedEvent;
//   2. WorkerThread::start(nullptr, 0, engineThread, &start, 0, &threadId);
//   3. wait without limit for startedEvent (or the thread's end): the
//      thread has then copied the record, which may go, and either runs or
//      has posted kEngineError;
//   4. close the event. The thread handle is the engine: non-null = running,
//      also after an error, until it is stopped.
// Stopping: stopEngine, on the thread of the window the readings go to.
//
// Messages in both directions: engine/engine_messages_win.h.
#pragma once

#include <windows.h>

#include "engine/capture_system_win.h"
#include "engine/engine_params.h"

#include <cstdint>

namespace tonvale {

struct EngineStart {
    EngineParams params;
    // Manual-reset; signalled when the start-up is over, successful or not.
    HANDLE startedEvent = nullptr;
    // Receives kEngineReading and kEngineError (the main window, whoever
    // owns the engine).
    HWND window = nullptr;
    int16_t channels = 2; // of the capture format: 1 or 2
    // The devices: null for the real ones. Tests put a fake here; it must
    // outlive the thread.
    CaptureSystem* system = nullptr;
};

// The thread function. `argument` is an EngineStart*, read only until
// startedEvent is signalled. Initialises COM (multithreaded) and its message
// queue first, opens the device, and reports every failure once with
// kEngineError; returns 0 after kEngineStop.
uint32_t engineThread(void* argument);

// Steps 1 to 4 above: sets start.startedEvent for the time of the start.
// Returns the thread handle (the caller closes it through stopEngine) or
// null with the last-error value when the event or the thread could not be
// created.
HANDLE startEngine(EngineStart& start, unsigned* threadId);

// Posts kEngineStop, waits for the thread without limit and closes its
// handle, then removes one kEngineReading still queued for `window` (at
// most one can be), so that no reading is read after the engine is gone.
// Call on the thread that owns `window`. A null thread is ignored.
void stopEngine(HANDLE thread, unsigned threadId, HWND window);

} // namespace tonvale

#include "support/worker_thread_win.h"

#include "support/exception_border.h"
#include "support/scoped_win.h"

#include <process.h>

namespace tonvale {
namespace {

// Allocated by the starting thread, freed by the new one before it calls the
// function.
struct StartRecord {
    ThreadFunction function;
    void* argument;
};

// Lives on the starting thread's stack until the new thread signals copied.
struct Handover {
    const void* record;
    HANDLE copied; // manual-reset event
};

// Returning through _endthreadex ends the thread with ExitThread, which runs
// the runtime's thread-detach callbacks on this thread first: the hooks
// registered for thread-local slots that hold a value (__mingwthr_key_dtor)
// and the destructors of thread_local objects (__cxa_thread_atexit).
unsigned __stdcall threadEntry(void* argument) {
    auto* start = static_cast<StartRecord*>(argument);
    ThreadFunction function = start->function;
    void* functionArgument = start->argument;
    HeapFree(GetProcessHeap(), 0, start);
    uint32_t exitCode = guardBorder(
        "thread entry", [&] { return function(functionArgument); },
        []() noexcept { return WorkerThread::kEndedByException; });
    _endthreadex(exitCode);
    return exitCode;
}

} // namespace

HANDLE WorkerThread::start(SECURITY_ATTRIBUTES* security, unsigned stackSize,
                           ThreadFunction function, void* argument, unsigned creationFlags,
                           unsigned* threadId) {
    auto* record = static_cast<StartRecord*>(HeapAlloc(GetProcessHeap(), 0, sizeof(StartRecord)));
    if (!record) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    record->function = function;
    record->argument = argument;
    uintptr_t thread =
        _beginthreadex(security, stackSize, threadEntry, record, creationFlags, threadId);
    if (thread == 0) {
        DWORD error = GetLastError();
        HeapFree(GetProcessHeap(), 0, record);
        SetLastError(error);
        return nullptr;
    }
    return reinterpret_cast<HANDLE>(thread);
}

HANDLE WorkerThread::startHandover(ThreadFunction function, const void* record,
                                   unsigned* threadId) {
    UniqueHandle copied(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!copied)
        return nullptr;
    Handover handover = {record, copied.get()};
    HANDLE thread = start(nullptr, 0, function, &handover, 0, threadId);
    if (thread) {
        // Without limit: the thread copies the record first thing. Its end
        // also releases the wait, so a thread that never takes the record
        // cannot hang the starter.
        HANDLE waitFor[2] = {handover.copied, thread};
        WaitForMultipleObjects(2, waitFor, FALSE, INFINITE);
    }
    DWORD error = GetLastError();
    copied.reset();
    SetLastError(error);
    return thread;
}

const void* WorkerThread::handoverRecord(void* argument) {
    return static_cast<Handover*>(argument)->record;
}

void WorkerThread::handoverDone(void* argument) {
    MSG message;
    PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE); // creates the message queue
    SetEvent(static_cast<Handover*>(argument)->copied);
}

} // namespace tonvale

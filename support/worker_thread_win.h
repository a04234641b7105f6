// The only way threads are started: through the runtime library, so that
// its per-thread state exists on the new thread and its thread-local cleanup
// runs when the thread function returns, before the thread ends.
#pragma once

#include <windows.h>

#include <cstdint>

namespace tonvale {

// A thread function: one pointer-sized argument, a 32-bit exit code.
using ThreadFunction = uint32_t (*)(void* argument);

class WorkerThread {
  public:
    // Exit code of a thread whose function let an exception escape; the
    // exception stops at the thread's entry.
    static constexpr uint32_t kEndedByException = 0xE0EE0001;

    // security, stackSize, creationFlags and threadId go unchanged to the
    // runtime's thread creation. Returns the thread handle (the caller closes
    // it; the thread ends on its own), or null with the last-error value
    // explaining the failure.
    static HANDLE start(SECURITY_ATTRIBUTES* security, unsigned stackSize, ThreadFunction function,
                        void* argument, unsigned creationFlags, unsigned* threadId);

    // Starts function with a copy of record handed over: returns only once
    // the new thread has taken its copy (takeRecord) or has ended, so the
    // record may live on the caller's stack. By then the thread also has a
    // message queue, so thread messages posted right away are not lost.
    // Null, with the last-error value set, when the thread cannot start.
    template <typename Record>
    static HANDLE startWithRecord(ThreadFunction function, const Record& record,
                                  unsigned* threadId) {
        return startHandover(function, &record, threadId);
    }

    // First thing the thread function of startWithRecord does: copies the
    // record out of its argument and releases the waiting starter.
    template <typename Record> static Record takeRecord(void* argument) {
        Record copy = *static_cast<const Record*>(handoverRecord(argument));
        handoverDone(argument);
        return copy;
    }

  private:
    static HANDLE startHandover(ThreadFunction function, const void* record, unsigned* threadId);
    static const void* handoverRecord(void* argument);
    static void handoverDone(void* argument);
};

} // namespace tonvale

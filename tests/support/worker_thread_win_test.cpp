#include "support/worker_thread_win.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>

// Registers a cleanup hook for a thread-local slot with the runtime.
extern "C" int __mingwthr_key_dtor(DWORD key, void (*hook)(void*));

namespace tonvale {
namespace {

uint32_t returnArgumentPlusOne(void* argument) {
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(argument)) + 1;
}

TEST(WorkerThread, ArgumentReachesTheFunctionAndItsResultEndsTheThread) {
    unsigned threadId = 0;
    HANDLE thread = WorkerThread::start(nullptr, 0, returnArgumentPlusOne,
                                        reinterpret_cast<void*>(41), 0, &threadId);
    ASSERT_NE(thread, nullptr);
    EXPECT_NE(threadId, 0u);
    ASSERT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
    DWORD exitCode = 0;
    GetExitCodeThread(thread, &exitCode);
    EXPECT_EQ(exitCode, 42u);
    CloseHandle(thread);
}

TEST(WorkerThread, FailureKeepsTheRuntimesLastError) {
    // A security descriptor of the wrong revision makes thread creation fail.
    unsigned char descriptor[64] = {};
    SECURITY_ATTRIBUTES security = {sizeof security, descriptor, FALSE};
    SetLastError(0);
    HANDLE thread = WorkerThread::start(&security, 0, returnArgumentPlusOne, nullptr, 0, nullptr);
    EXPECT_EQ(thread, nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_UNKNOWN_REVISION));
}

struct Params {
    int values[64];
    HANDLE resultReady;
    int sum;
};

uint32_t copyThenWork(void* argument) {
    Params params = WorkerThread::takeRecord<Params>(argument);
    // The starter has already overwritten its record; the copy must be whole.
    Sleep(20);
    int sum = 0;
    for (int v : params.values)
        sum += v;
    MSG message;
    if (GetMessageW(&message, nullptr, 0, 0) && message.message == WM_APP + 7)
        sum += static_cast<int>(message.wParam);
    return static_cast<uint32_t>(sum);
}

TEST(WorkerThread, StartWithRecordReturnsOnceTheRecordIsCopied) {
    unsigned threadId = 0;
    HANDLE thread = nullptr;
    {
        Params params = {};
        for (int i = 0; i < 64; ++i)
            params.values[i] = i;
        thread = WorkerThread::startWithRecord(copyThenWork, params, &threadId);
        ASSERT_NE(thread, nullptr);
        std::memset(&params, 0xFF, sizeof params);
    }
    // The new thread's message queue exists already.
    EXPECT_TRUE(PostThreadMessageW(threadId, WM_APP + 7, 1000, 0));
    ASSERT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
    DWORD exitCode = 0;
    GetExitCodeThread(thread, &exitCode);
    EXPECT_EQ(exitCode, 63u * 64u / 2u + 1000u);
    CloseHandle(thread);
}

uint32_t neverTakesTheRecord(void*) {
    return 5;
}

TEST(WorkerThread, StarterIsReleasedByAThreadThatNeverTakesTheRecord) {
    int record = 0;
    HANDLE thread = WorkerThread::startWithRecord(neverTakesTheRecord, record, nullptr);
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
    CloseHandle(thread);
}

// Where and when the cleanup ran.
std::atomic<DWORD> gThreadLocalCleanupThread{0};
std::atomic<DWORD> gSlotHookThread{0};
std::atomic<uintptr_t> gSlotHookValue{0};
DWORD gSlot = TLS_OUT_OF_INDEXES;

struct ThreadLocalCleanup {
    bool used = false;
    ~ThreadLocalCleanup() {
        if (used)
            gThreadLocalCleanupThread = GetCurrentThreadId();
    }
};
thread_local ThreadLocalCleanup tThreadLocal;

void slotHook(void* value) {
    gSlotHookThread = GetCurrentThreadId();
    gSlotHookValue = reinterpret_cast<uintptr_t>(value);
}

uint32_t useThreadLocals(void*) {
    tThreadLocal.used = true;
    TlsSetValue(gSlot, reinterpret_cast<void*>(0x1234));
    return 0;
}

TEST(WorkerThread, ThreadLocalCleanupRunsOnTheThreadBeforeItEnds) {
    gSlot = TlsAlloc();
    ASSERT_NE(gSlot, TLS_OUT_OF_INDEXES);
    ASSERT_EQ(__mingwthr_key_dtor(gSlot, slotHook), 0);
    unsigned threadId = 0;
    HANDLE thread = WorkerThread::start(nullptr, 0, useThreadLocals, nullptr, 0, &threadId);
    ASSERT_NE(thread, nullptr);
    ASSERT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
    // The handle is signalled only when the thread has ended, so both ran
    // before that, and on the thread itself.
    EXPECT_EQ(gThreadLocalCleanupThread.load(), threadId);
    EXPECT_EQ(gSlotHookThread.load(), threadId);
    EXPECT_EQ(gSlotHookValue.load(), 0x1234u);
    CloseHandle(thread);
}

} // namespace
} // namespace tonvale

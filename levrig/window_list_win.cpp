#include "levrig/window_list_win.h"

#include "levrig/error_box_win.h"
#include "levrig/levrig_messages_win.h"
#include "levrig/levrig_texts.h"
#include "levrig/library_win.h"
#include "levrig/private_heap.h"
#include "levrig/window_body_win.h"
#include "support/exception_border.h"
#include "support/scoped_win.h"
#include "support/worker_thread_win.h"

namespace tonvale {
namespace levrig {
namespace {

struct WindowNode {
    WindowNode* next = nullptr;
    HANDLE thread = nullptr;
    DWORD threadId = 0;
};

WindowNode* gWindows = nullptr;

// Waits for one of the handles. Messages sent to this thread are let
// through meanwhile: a window being created or closed on another thread may
// send to its owner, which is often this thread's window.
void waitLettingSentMessagesThrough(const HANDLE* handles, DWORD count) {
    for (;;) {
        const DWORD woken =
            MsgWaitForMultipleObjects(count, handles, FALSE, INFINITE, QS_SENDMESSAGE);
        if (woken != WAIT_OBJECT_0 + count)
            return; // a handle, or a failed wait
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE | PM_QS_SENDMESSAGE);
    }
}

bool threadEnded(HANDLE thread) {
    return !thread || WaitForSingleObject(thread, 0) != WAIT_TIMEOUT;
}

uint32_t windowThread(void* argument) {
    auto* request = static_cast<WindowRequest*>(argument);
    return static_cast<uint32_t>(runWindowBody(request->owner, request->commandLine, request));
}

} // namespace

int32_t closeAllWindows() {
    LockScope lock(windowListLock());
    while (WindowNode* node = gWindows) {
        gWindows = node->next;
        if (node->thread) {
            PostThreadMessageW(node->threadId, kCloseWindowThread, 0, 0);
            waitLettingSentMessagesThrough(&node->thread, 1);
            CloseHandle(node->thread);
        }
        privateDelete(node);
    }
    return 1;
}

namespace {

// Offers the command line to the open windows; true when one took it.
bool offeredToOpenWindow(const wchar_t* commandLine, HANDLE event) {
    for (WindowNode* node = gWindows; node; node = node->next) {
        if (threadEnded(node->thread))
            continue;
        WindowRequest request;
        request.commandLine = commandLine;
        request.event = event;
        ResetEvent(event);
        if (!PostThreadMessageW(node->threadId, kOfferRequest, 0,
                                reinterpret_cast<LPARAM>(&request)))
            continue;
        const HANDLE handles[2] = {event, node->thread};
        waitLettingSentMessagesThrough(handles, 2);
        if (request.result == 0)
            return true;
    }
    return false;
}

// The first node whose thread has ended, else a new one at the head.
WindowNode* freeNode() {
    for (WindowNode* node = gWindows; node; node = node->next) {
        if (threadEnded(node->thread)) {
            if (node->thread)
                CloseHandle(node->thread);
            node->thread = nullptr;
            node->threadId = 0;
            return node;
        }
    }
    WindowNode* node = privateNew<WindowNode>();
    if (node) {
        node->next = gWindows;
        gWindows = node;
    }
    return node;
}

} // namespace

int32_t openWindow(HWND owner, const wchar_t* commandLine) {
    LockScope lock(windowListLock());
    UniqueHandle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!event)
        return 0;
    if (offeredToOpenWindow(commandLine, event.get()))
        return 0;
    WindowNode* node = freeNode();
    if (!node) {
        showErrorBox(kOutOfMemory);
        return 1;
    }
    ResetEvent(event.get());
    WindowRequest request;
    request.owner = owner;
    request.commandLine = commandLine;
    request.event = event.get();
    unsigned threadId = 0;
    HANDLE thread = WorkerThread::start(nullptr, 0, windowThread, &request, 0, &threadId);
    if (!thread) {
        showErrorBox(GetLastError() == ERROR_NOT_ENOUGH_MEMORY ? kOutOfMemory
                                                               : kInitializationFailed);
        return 1;
    }
    const HANDLE handles[2] = {event.get(), thread};
    waitLettingSentMessagesThrough(handles, 2);
    node->thread = thread;
    node->threadId = threadId;
    return request.result;
}

void freeWindowList() {
    while (WindowNode* node = gWindows) {
        gWindows = node->next;
        if (node->thread)
            CloseHandle(node->thread);
        privateDelete(node);
    }
}

} // namespace levrig
} // namespace tonvale

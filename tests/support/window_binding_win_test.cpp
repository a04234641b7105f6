// Objects bound to windows and dialogs through the procedure trampolines, and
// exceptions stopped at every border: the window, dialog and thread stay
// usable after a handler throws.
#include "support/exception_border.h"
#include "support/scoped_win.h"
#include "support/window_binding_win.h"
#include "support/worker_thread_win.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

namespace tonvale {
namespace {

constexpr UINT kThrowLogic = WM_APP;
constexpr UINT kThrowNoMemory = WM_APP + 1;
constexpr UINT kAnswer = WM_APP + 2;

int gDetached = 0;

class ProbeWindow {
  public:
    static constexpr int kSlot = kFirstWindowExtraSlot;
    static ProbeWindow* attach(HWND, const CREATESTRUCTW& create) {
        return heapNew<ProbeWindow>(reinterpret_cast<intptr_t>(create.lpCreateParams));
    }
    static void detach(ProbeWindow* window) noexcept {
        ++gDetached;
        heapDelete(window);
    }
    static LRESULT defaultProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        return DefWindowProcW(window, message, wParam, lParam);
    }

    explicit ProbeWindow(intptr_t answer) : answer_(answer) {}

    LRESULT handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        switch (message) {
        case kThrowLogic:
            throw std::runtime_error("handler failed");
        case kThrowNoMemory:
            throw std::bad_alloc();
        case kAnswer:
            return answer_;
        default:
            return defaultProcedure(window, message, wParam, lParam);
        }
    }

  private:
    intptr_t answer_;
};

class ProbeDialog {
  public:
    static ProbeDialog* attach(HWND, LPARAM initParam) {
        return reinterpret_cast<ProbeDialog*>(initParam);
    }
    static void detach(ProbeDialog* dialog) noexcept { dialog->detached = true; }

    INT_PTR handleMessage(HWND dialog, UINT message, WPARAM, LPARAM) {
        switch (message) {
        case WM_INITDIALOG:
            initialised = true;
            return TRUE;
        case kThrowLogic:
            throw std::runtime_error("handler failed");
        case kAnswer:
            return dialogResult(dialog, 42);
        default:
            return FALSE;
        }
    }

    bool initialised = false;
    bool detached = false;
};

const wchar_t kClassName[] = L"TonvaleBindingProbe";

void registerProbeClass() {
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = windowProcedure<ProbeWindow>;
    windowClass.cbWndExtra = sizeof(void*);
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kClassName;
    RegisterClassExW(&windowClass);
}

TEST(WindowBinding, ObjectLivesFromCreationToDestructionAndSurvivesThrowingHandlers) {
    registerProbeClass();
    gDetached = 0;
    HWND window = CreateWindowExW(0, kClassName, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), reinterpret_cast<void*>(intptr_t{7}));
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(SendMessageW(window, kAnswer, 0, 0), 7);

    const uint32_t before = borderExceptionCount();
    EXPECT_EQ(SendMessageW(window, kThrowLogic, 0, 0), 0); // default handling
    EXPECT_EQ(SendMessageW(window, kThrowNoMemory, 0, 0), 0);
    EXPECT_EQ(borderExceptionCount(), before + 2);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(SendMessageW(window, kAnswer, 0, 0), 7);

    DestroyWindow(window);
    EXPECT_EQ(gDetached, 1);
}

// An in-memory template of an empty, invisible dialog.
struct EmptyDialogTemplate {
    DLGTEMPLATE header;
    WORD menu = 0;
    WORD windowClass = 0;
    WORD title = 0;
};

TEST(WindowBinding, DialogObjectComesFromTheInitParameter) {
    EmptyDialogTemplate dialogTemplate = {};
    dialogTemplate.header.style = WS_POPUP;
    ProbeDialog probe;
    HWND dialog =
        CreateDialogIndirectParamW(GetModuleHandleW(nullptr), &dialogTemplate.header, nullptr,
                                   dialogProcedure<ProbeDialog>, reinterpret_cast<LPARAM>(&probe));
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(probe.initialised);
    EXPECT_EQ(SendMessageW(dialog, kAnswer, 0, 0), 42);

    const uint32_t before = borderExceptionCount();
    SendMessageW(dialog, kThrowLogic, 0, 0);
    EXPECT_EQ(borderExceptionCount(), before + 1);
    EXPECT_TRUE(IsWindow(dialog));

    DestroyWindow(dialog);
    EXPECT_TRUE(probe.detached);
}

TEST(WindowBinding, ModalDialogWithoutItsObjectEndsAtOnce) {
    EmptyDialogTemplate dialogTemplate = {};
    dialogTemplate.header.style = WS_POPUP;
    // A null init parameter is an object that could not be made.
    EXPECT_EQ(DialogBoxIndirectParamW(GetModuleHandleW(nullptr), &dialogTemplate.header, nullptr,
                                      dialogProcedure<ProbeDialog>, 0),
              -1);
}

TEST(WindowBinding, ThreadThatThrowsEndsWithItsOwnExitCode) {
    UniqueHandle thread(WorkerThread::start(
        nullptr, 0, [](void*) -> uint32_t { throw std::runtime_error("thread failed"); }, nullptr,
        0, nullptr));
    ASSERT_TRUE(thread);
    ASSERT_EQ(WaitForSingleObject(thread.get(), 10000), WAIT_OBJECT_0);
    DWORD exitCode = 0;
    GetExitCodeThread(thread.get(), &exitCode);
    EXPECT_EQ(exitCode, WorkerThread::kEndedByException);
}

TEST(ScopedOwners, ReleaseOnceAndMoveOwnership) {
    HANDLE raw = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    UniqueHandle first(raw);
    UniqueHandle second(std::move(first));
    EXPECT_FALSE(first);
    EXPECT_EQ(second.get(), raw);
    second.reset();
    EXPECT_EQ(WaitForSingleObject(raw, 0), WAIT_FAILED); // closed exactly once

    UniqueFileHandle none;
    EXPECT_EQ(none.get(), INVALID_HANDLE_VALUE);
    EXPECT_FALSE(none);

    MemoryDC dc(CreateCompatibleDC(nullptr));
    UniqueBrush brush(CreateSolidBrush(RGB(1, 2, 3)));
    HGDIOBJ original = GetCurrentObject(dc.get(), OBJ_BRUSH);
    {
        SelectionOf selection(dc.get(), brush.get());
        EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_BRUSH), brush.get());
    }
    EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_BRUSH), original);
}

} // namespace
} // namespace tonvale

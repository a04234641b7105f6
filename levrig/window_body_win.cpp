#include "levrig/window_body_win.h"

#include "levrig/command_line_win.h"
#include "levrig/endpoint_list_win.h"
#include "levrig/error_box_win.h"
#include "levrig/levrig_messages_win.h"
#include "levrig/levrig_texts.h"
#include "levrig/library_win.h"
#include "levrig/panels_window_win.h"
#include "levrig/saved_place.h"
#include "support/exception_border.h"
#include "support/scoped_win.h"

namespace tonvale {
namespace levrig {
namespace {

class WindowBody {
  public:
    WindowBody(HWND owner, WindowRequest* request) : owner_(owner), request_(request) {}
    WindowBody(const WindowBody&) = delete;
    WindowBody& operator=(const WindowBody&) = delete;

    int run(const wchar_t* commandLine);
    // An error box, result 1, and the caller released (if still waiting).
    int fail(int code) noexcept;

  private:
    struct WindowDestroyer {
        HWND window = nullptr;
        ~WindowDestroyer() {
            if (window && IsWindow(window))
                DestroyWindow(window);
        }
    };

    void signal(LONG result) noexcept;
    void runMessageLoop();
    void offer(WindowRequest& request) noexcept;
    void keepPlace();

    HWND owner_;
    WindowRequest* request_;
    bool signalled_ = false;
    VolumeOptions options_;
    HWND window_ = nullptr;
    WindowOutcome outcome_;
};

int WindowBody::run(const wchar_t* commandLine) {
    prepareFirstUse();
    {
        LockScope lock(optionsLock());
        SystemEndpointResolver resolver;
        parseCommandLine(commandLine, resolver, options_);
        readSavedPlace(options_);
    }
    PrivatePtr<CEndPointList> list(privateNew<CEndPointList>());
    if (!list)
        return fail(kOutOfMemory);
    if (int code = list->build(options_))
        return fail(code);
    WindowDestroyer destroyer;
    window_ = destroyer.window = createPanelsWindow(*list, owner_, options_, outcome_);
    if (!window_)
        return fail(kWindowCreationFailed);
    signal(0);
    runMessageLoop();
    keepPlace();
    return kShown;
}

int WindowBody::fail(int code) noexcept {
    showErrorBox(code);
    if (!signalled_)
        signal(1);
    return 1;
}

void WindowBody::signal(LONG result) noexcept {
    signalled_ = true;
    if (request_) {
        request_->result = result;
        SetEvent(request_->event);
        // The caller may return now; its request is gone.
        request_ = nullptr;
    }
}

void WindowBody::runMessageLoop() {
    MSG message = {};
    for (;;) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0)
            return;
        if (got == -1) {
            showErrorBox(kDialogFailed);
            return;
        }
        if (!message.hwnd && message.message == kCloseWindowThread) {
            SendMessageW(window_, WM_CLOSE, 0, 0);
            return;
        }
        if (!message.hwnd && message.message == kOfferRequest) {
            offer(*reinterpret_cast<WindowRequest*>(message.lParam));
            continue;
        }
        if (!IsDialogMessageW(dialogKeyTarget(window_), &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

// Another LevRigAsync call: this window takes it when it shows the same
// direction, and comes to the front.
void WindowBody::offer(WindowRequest& request) noexcept {
    request.result = 1;
    const bool sameDirection = guardBorder(
        "window request",
        [&] {
            VolumeOptions asked;
            LockScope lock(optionsLock());
            NoEndpointResolver resolver;
            parseCommandLine(request.commandLine, resolver, asked);
            return asked.recording == options_.recording;
        },
        []() noexcept { return false; });
    if (sameDirection) {
        if (IsIconic(window_))
            ShowWindow(window_, SW_RESTORE);
        SetForegroundWindow(dialogKeyTarget(window_));
        request.result = 0;
    }
    SetEvent(request.event);
}

void WindowBody::keepPlace() {
    if (!outcome_.closed)
        return;
    LockScope lock(optionsLock());
    options_.left = outcome_.place.left;
    options_.top = outcome_.place.top;
    options_.height = outcome_.place.height;
    if (options_.store != PlaceStore::none)
        writeSavedPlace(options_);
}

} // namespace

int runWindowBody(HWND owner, const wchar_t* commandLine, WindowRequest* request) noexcept {
    ActivationScope activation;
    ComInitialization com(COINIT_APARTMENTTHREADED);
    WindowBody body(owner, request);
    return guardBorder(
        "volume window", [&] { return body.run(commandLine); },
        [&](BorderFailure failure) noexcept {
            return body.fail(failure == BorderFailure::outOfMemory ? kOutOfMemory
                                                                   : kUnexpectedError);
        });
}

} // namespace levrig
} // namespace tonvale

// A volume window run in this process, on a thread of its own as LevRigAsync
// runs it, over whatever device enumerator the library is given.
#pragma once

#include "levrig/levrig_messages_win.h"
#include "levrig/window_body_win.h"
#include "levrig_test_kit_win.h"

#include <windows.h>

#include <string>
#include <thread>

namespace tonvale::levrig::testkit {

class WindowRun {
  public:
    // Starts the window body and waits until the window is shown or failed
    // (a failure's error box must be taken by an ErrorBoxWatcher).
    explicit WindowRun(std::wstring commandLine, HWND owner = nullptr)
        : commandLine_(std::move(commandLine)) {
        request_.owner = owner;
        request_.commandLine = commandLine_.c_str();
        request_.event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        thread_ = std::thread([this] {
            threadId_ = GetCurrentThreadId();
            bodyResult_ = runWindowBody(request_.owner, request_.commandLine, &request_);
        });
        WaitForSingleObject(request_.event, 30000);
        shown_ = request_.result == 0;
        if (shown_) {
            for (HWND window : threadWindows(threadId_)) {
                if (IsWindowVisible(window))
                    window_ = window;
            }
        }
    }
    ~WindowRun() { close(); }
    WindowRun(const WindowRun&) = delete;
    WindowRun& operator=(const WindowRun&) = delete;

    bool shown() const { return shown_; }
    HWND window() const { return window_; }
    DWORD threadId() const { return threadId_; }
    // Ends the thread as LevRigAsync(null, null) does; the body's result.
    int close() {
        if (thread_.joinable()) {
            PostThreadMessageW(threadId_, kCloseWindowThread, 0, 0);
            thread_.join();
            CloseHandle(request_.event);
        }
        return bodyResult_;
    }
    // Waits for the thread to end on its own (the window was closed).
    int join() {
        if (thread_.joinable()) {
            thread_.join();
            CloseHandle(request_.event);
        }
        return bodyResult_;
    }

  private:
    std::wstring commandLine_;
    WindowRequest request_;
    std::thread thread_;
    DWORD threadId_ = 0;
    int bodyResult_ = -1;
    bool shown_ = false;
    HWND window_ = nullptr;
};

} // namespace tonvale::levrig::testkit

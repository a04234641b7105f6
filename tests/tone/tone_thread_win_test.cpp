// The generator thread's life on the rig's real wave-out devices: failures
// are reported once and leave it waiting to be stopped; every way of
// stopping ends it.
#include <windows.h>

#include "support/scoped_win.h"
#include "tone/tone_thread_win.h"
#include "tone/tone_window_messages_win.h"

#include <gtest/gtest.h>

#include <vector>

namespace tonvale {
namespace {

struct Notice {
    WPARAM code = 0;
    LPARAM detail = 0;
};

// A message-only window standing in for the tone window.
class NoticeWindow {
  public:
    NoticeWindow()
        : window_(CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr,
                                  nullptr)) {}
    ~NoticeWindow() { DestroyWindow(window_); }
    HWND get() const { return window_; }

    // Collects notices until the thread ends or limitMs pass; true if it ended.
    // A thread that posts and ends between two looks signals its end first:
    // what it posted is collected after.
    bool pumpUntilEnded(HANDLE thread, DWORD limitMs) {
        const DWORD start = GetTickCount();
        for (;;) {
            collect();
            const DWORD elapsed = GetTickCount() - start;
            if (elapsed >= limitMs) {
                return false;
            }
            if (MsgWaitForMultipleObjects(1, &thread, FALSE, limitMs - elapsed, QS_POSTMESSAGE) ==
                WAIT_OBJECT_0) {
                collect();
                return true;
            }
        }
    }

    std::vector<Notice> notices;

    // Collects notices until one has come or limitMs pass.
    bool pumpUntilNotice(DWORD limitMs) {
        const DWORD start = GetTickCount();
        for (collect(); notices.empty(); collect()) {
            const DWORD elapsed = GetTickCount() - start;
            if (elapsed >= limitMs) {
                return false;
            }
            MsgWaitForMultipleObjects(0, nullptr, FALSE, limitMs - elapsed, QS_POSTMESSAGE);
        }
        return true;
    }

  private:
    void collect() {
        MSG message;
        while (PeekMessageW(&message, window_, 0, 0, PM_REMOVE)) {
            if (message.message == kToneWindowGeneratorFailed) {
                notices.push_back({message.wParam, message.lParam});
            }
        }
    }

    HWND window_;
};

ToneParams paramsFor(const NoticeWindow& window) {
    ToneParams params;
    params.sampleRate = 44100;
    params.frequency = 440.0;
    params.gain = 0.3;
    params.noticeWindow = window.get();
    return params;
}

TEST(ToneThread, DeviceThatCannotBeOpenedIsReportedOnceThenTheThreadWaits) {
    NoticeWindow window;
    ToneParams params = paramsFor(window);
    params.deviceIndex = 4000;
    ToneRun run;
    ASSERT_TRUE(startToneRun(params, run));
    EXPECT_TRUE(window.pumpUntilNotice(5000));
    EXPECT_FALSE(window.pumpUntilEnded(run.thread.get(), 300)) << "ended before it was stopped";
    ASSERT_EQ(window.notices.size(), 1u);
    EXPECT_EQ(window.notices[0].code, static_cast<WPARAM>(ToneFailure::cannotOpen));
    EXPECT_EQ(window.notices[0].detail, static_cast<LPARAM>(MMSYSERR_BADDEVICEID));

    postToneFrequency(run, 660.0); // ignored after a failure
    postToneGain(run, 1.0);
    postToneStop(run, ToneStop::fadeOut); // after a failure: at once
    EXPECT_TRUE(window.pumpUntilEnded(run.thread.get(), 2000));
    EXPECT_EQ(window.notices.size(), 1u);
}

TEST(ToneThread, FormatTheDeviceRefusesIsReportedAsAnOpenFailure) {
    NoticeWindow window;
    ToneParams params = paramsFor(window);
    params.sampleRate = 0;
    ToneRun run;
    ASSERT_TRUE(startToneRun(params, run));
    postToneStop(run, ToneStop::atOnce);
    EXPECT_TRUE(window.pumpUntilEnded(run.thread.get(), 2000));
    ASSERT_EQ(window.notices.size(), 1u);
    EXPECT_EQ(window.notices[0].code, static_cast<WPARAM>(ToneFailure::cannotOpen));
    EXPECT_NE(window.notices[0].detail, 0);
}

// Changes of every kind while sounding, then each way of stopping; a silent
// start too. None reports a failure.
TEST(ToneThread, PlaysChangesAndEndsOnEitherStop) {
    for (ToneStop how : {ToneStop::fadeOut, ToneStop::atOnce}) {
        for (double first : {440.0, 0.0}) {
            NoticeWindow window;
            ToneParams params = paramsFor(window);
            params.frequency = first;
            ToneRun run;
            ASSERT_TRUE(startToneRun(params, run));
            postToneFrequency(run, 523.25);
            postToneGain(run, 0.1);
            EXPECT_FALSE(window.pumpUntilEnded(run.thread.get(), 150));
            postToneFrequency(run, 0.0);
            postToneGain(run, 0.5);
            postToneFrequency(run, 30000.0);
            EXPECT_FALSE(window.pumpUntilEnded(run.thread.get(), 150));
            postToneStop(run, how);
            postToneFrequency(run, 440.0); // ignored once a fade-out has begun
            EXPECT_TRUE(window.pumpUntilEnded(run.thread.get(), 5000));
            EXPECT_TRUE(window.notices.empty());
            DWORD exitCode = 1;
            GetExitCodeThread(run.thread.get(), &exitCode);
            EXPECT_EQ(exitCode, 0u);
        }
    }
}

} // namespace
} // namespace tonvale

// Real measurements on the rig's null sink and its monitor, which run on the
// system clock: in legacy mode (a prefix reporting XP) through the wave API,
// in endpoint mode through Core Audio in exclusive mode where the prefix's
// sound driver offers it (TONVALE_EXCLUSIVE_MODE=allowed: Wine's ALSA
// driver) and its refusal where it does not (Wine's PulseAudio driver).
#include <windows.h>

#include "devices/measurement/measurement_scheduling_win.h"
#include "devices/measurement/rate_measurement_job_win.h"
#include "devices/measurement/rate_measurement_notices_win.h"
#include "devices/measurement/rate_measurement_thread_win.h"
#include "support/scoped_win.h"
#include "support/windows_version.h"

#include <audioclient.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace tonvale {
namespace {

constexpr int32_t kNominalRate = 44100;
// The sink runs on the system clock, so a run must come within a few
// hundredths of a per cent. On a loaded machine Wine's streams may still
// underrun, and every underrun shifts the stream for good: each run must
// come within a per cent, and one of two within the close tolerance.
constexpr double kTolerance = 5e-4;
constexpr double kEndpointTolerance = 3e-3;
constexpr double kCoarseTolerance = 1e-2;
constexpr int kAttempts = 2;

// One measurement thread with a message-only window that collects its notices.
class Measurement {
  public:
    Measurement(ThreadFunction procedure, int32_t deviceIndex) {
        window_ = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr,
                                  nullptr);
        job_.dialogWindow = window_;
        job_.threadProcedure = procedure;
        job_.nominalRate = kNominalRate;
        job_.captureChannels = 2;
        job_.deviceIndex = deviceIndex;
    }
    ~Measurement() {
        job_.stopRequest = 1;
        if (thread_)
            WaitForSingleObject(thread_.get(), INFINITE);
        DestroyWindow(window_);
    }

    RateMeasurementJob& job() { return job_; }

    bool start() {
        unsigned id = 0;
        thread_.reset(
            WorkerThread::start(nullptr, 0, job_.threadProcedure, &job_, CREATE_SUSPENDED, &id));
        if (!thread_)
            return false;
        ResumeThread(thread_.get());
        return true;
    }

    // Takes the notices posted so far; true once the end has come, and the
    // thread has ended.
    bool poll() {
        MSG message;
        while (
            PeekMessageW(&message, window_, kMeasurementCounting, kMeasurementEnded, PM_REMOVE)) {
            if (message.message == kMeasurementCounting) {
                ++countingNotices;
                countingBeforeEnd = !ended;
            } else {
                ++endNotices;
                ended = true;
                code = static_cast<uint32_t>(message.wParam);
                detail = static_cast<uint32_t>(message.lParam);
            }
        }
        if (ended && thread_) {
            WaitForSingleObject(thread_.get(), INFINITE);
            thread_.reset();
        }
        return ended;
    }

    int countingNotices = 0;
    bool countingBeforeEnd = true;
    int endNotices = 0;
    bool ended = false;
    uint32_t code = ~0u;
    uint32_t detail = 0;

  private:
    HWND window_ = nullptr;
    RateMeasurementJob job_;
    UniqueHandle thread_;
};

bool waitForEnds(std::initializer_list<Measurement*> runs, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        bool all = true;
        for (Measurement* run : runs)
            all = run->poll() && all;
        if (all)
            return true;
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(20);
    }
}

bool legacyMode() {
    return !isWindowsVistaOrLater();
}

bool exclusiveModeRefused() {
    const char* value = std::getenv("TONVALE_EXCLUSIVE_MODE");
    return !legacyMode() && value && std::string(value) == "refused";
}

// The wave API's positions come straight from the sound server's clock; in
// endpoint mode they pass through Wine's ALSA driver and ALSA's PulseAudio
// plugin, whose periods are stamped when Wine's threads get to run, so a
// loaded machine moves a 30-second run by up to about a tenth of a per cent.
double fineTolerance() {
    return legacyMode() ? kTolerance : kEndpointTolerance;
}

// Checks one completed run; true when it came within the fine tolerance.
bool checkMeasured(Measurement& run, const char* name) {
    const double result = run.job().result;
    std::printf("%s mode, %s: code %u, detail 0x%08X, %.3f Hz (%+.4f %%)\n",
                legacyMode() ? "legacy" : "endpoint", name, run.code, run.detail, result,
                (result / kNominalRate - 1.0) * 100.0);
    EXPECT_EQ(run.code, 0u) << name << std::hex << " detail 0x" << run.detail;
    EXPECT_EQ(run.countingNotices, 1) << name;
    EXPECT_TRUE(run.countingBeforeEnd) << name;
    EXPECT_EQ(run.endNotices, 1) << name;
    EXPECT_NEAR(result, kNominalRate, kNominalRate * kCoarseTolerance) << name;
    return std::abs(result - kNominalRate) <= kNominalRate * fineTolerance();
}

TEST(RateMeasurement, RunsInTheExpectedMode) {
    const char* expected = std::getenv("TONVALE_EXPECT_MODE");
    ASSERT_NE(expected, nullptr);
    EXPECT_EQ(legacyMode(), std::string(expected) == "legacy");
}

TEST(RateMeasurement, TheSinkClockIsMeasured) {
    if (exclusiveModeRefused())
        GTEST_SKIP() << "this prefix's sound driver refuses exclusive mode";
    // TONVALE_MEASURE_ONLY names the one direction to measure. Core Audio
    // playback through ALSA's PulseAudio plugin stalls for seconds under
    // load, so endpoint mode measures capture only.
    const char* only = std::getenv("TONVALE_MEASURE_ONLY");
    bool captureDone = only && std::string(only) == "playback";
    bool playbackDone = !legacyMode() || (only && std::string(only) == "capture");
    for (int attempt = 0; attempt < kAttempts && !(captureDone && playbackDone); ++attempt) {
        Measurement capture(captureMeasurementThread, -1);
        Measurement playback(playbackMeasurementThread, -1);
        ASSERT_TRUE(captureDone || capture.start());
        ASSERT_TRUE(playbackDone || playback.start());
        if (!captureDone) {
            ASSERT_TRUE(waitForEnds({&capture}, 60000));
            captureDone = checkMeasured(capture, "capture");
        }
        if (!playbackDone) {
            ASSERT_TRUE(waitForEnds({&playback}, 60000));
            playbackDone = checkMeasured(playback, "playback");
        }
        EXPECT_EQ(GetPriorityClass(GetCurrentProcess()), static_cast<DWORD>(NORMAL_PRIORITY_CLASS));
    }
    EXPECT_TRUE(captureDone) << "no capture run came within " << fineTolerance() * 100 << " %";
    EXPECT_TRUE(playbackDone) << "no playback run came within " << fineTolerance() * 100 << " %";
}

TEST(RateMeasurement, ExclusiveModeRefusedIsAnOpenFailureWithItsReason) {
    if (!exclusiveModeRefused())
        GTEST_SKIP() << "exclusive mode is offered here";
    Measurement capture(captureMeasurementThread, -1);
    Measurement playback(playbackMeasurementThread, -1);
    ASSERT_TRUE(capture.start());
    ASSERT_TRUE(playback.start());
    ASSERT_TRUE(waitForEnds({&capture, &playback}, 5000));
    EXPECT_EQ(capture.code, 2u);
    EXPECT_EQ(playback.code, 102u);
    EXPECT_EQ(capture.detail, static_cast<uint32_t>(AUDCLNT_E_EXCLUSIVE_MODE_NOT_ALLOWED));
    EXPECT_EQ(playback.detail, static_cast<uint32_t>(AUDCLNT_E_EXCLUSIVE_MODE_NOT_ALLOWED));
}

TEST(RateMeasurement, EndpointThreadsJoinTheProAudioClass) {
    if (legacyMode())
        GTEST_SKIP() << "legacy mode raises priorities instead";
    ASSERT_TRUE(bindMmcss());
    EXPECT_TRUE(bindMmcss());
    EXPECT_TRUE(MeasurementScheduling().proAudio());
}
TEST(RateMeasurement, StopDuringTheWarmUpEndsQuietlyWithoutResult) {
    if (exclusiveModeRefused())
        GTEST_SKIP() << "this prefix's sound driver refuses exclusive mode";
    Measurement capture(captureMeasurementThread, -1);
    Measurement playback(playbackMeasurementThread, -1);
    ASSERT_TRUE(capture.start());
    ASSERT_TRUE(playback.start());
    Sleep(300);
    capture.job().stopRequest = 1;
    playback.job().stopRequest = 1;
    ASSERT_TRUE(waitForEnds({&capture, &playback}, 5000));
    for (Measurement* run : {&capture, &playback}) {
        EXPECT_EQ(run->code, 0u);
        EXPECT_EQ(run->job().result, 0.0);
        EXPECT_EQ(run->countingNotices, 0);
    }
    EXPECT_EQ(GetPriorityClass(GetCurrentProcess()), static_cast<DWORD>(NORMAL_PRIORITY_CLASS));
}

TEST(RateMeasurement, AMissingDeviceFailsToOpen) {
    Measurement capture(captureMeasurementThread, 99);
    Measurement playback(playbackMeasurementThread, 99);
    ASSERT_TRUE(capture.start());
    ASSERT_TRUE(playback.start());
    ASSERT_TRUE(waitForEnds({&capture, &playback}, 5000));
    EXPECT_EQ(capture.code, 2u);
    EXPECT_EQ(playback.code, 102u);
    if (legacyMode()) {
        EXPECT_EQ(capture.detail, static_cast<uint32_t>(MMSYSERR_BADDEVICEID));
        EXPECT_EQ(playback.detail, static_cast<uint32_t>(MMSYSERR_BADDEVICEID));
    } else {
        EXPECT_EQ(capture.detail, static_cast<uint32_t>(HRESULT_FROM_WIN32(ERROR_NOT_FOUND)));
        EXPECT_EQ(playback.detail, static_cast<uint32_t>(HRESULT_FROM_WIN32(ERROR_NOT_FOUND)));
    }
    EXPECT_EQ(capture.countingNotices + playback.countingNotices, 0);
    EXPECT_EQ(GetPriorityClass(GetCurrentProcess()), static_cast<DWORD>(NORMAL_PRIORITY_CLASS));
}

} // namespace
} // namespace tonvale

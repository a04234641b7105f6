// The clock calibration dialogs on the rig, as a user meets them: the
// reference capture fed a tone the test plays into the sink (whose monitor
// is the default recording device), and the measurement dialog's
// count-down, cancel and failure messages. Endpoint mode (Windows 7) runs
// the capture and the failure of exclusive mode under Wine's PulseAudio
// driver; legacy mode (XP) the wave-API count-down and a missing device.
#include <windows.h>

#include <mmsystem.h>
#include <objbase.h>

#include "app/main_layout_win.h"
#include "app/main_window_win.h"
#include "app/message_box_win.h"
#include "app/process_context_win.h"
#include "app/program_entry_win.h"
#include "devices/calibration/rate_measurement_dialog_win.h"
#include "devices/calibration/reference_capture.h"
#include "devices/calibration/reference_capture_dialog_win.h"
#include "engine/sine_table.h"
#include "support/settings/tuner_settings.h"
#include "support/ui_text.h"
#include "support/windows_version.h"
#include "tests/ui_kit/ui_test_kit_win.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cwchar>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace tonvale {
namespace {

using uikit::Pump;

constexpr int kRate = 44100;
constexpr double kTwoPi = 6.283185307179586;

// A tone on the default wave-out device for `seconds`, its frequency a
// function of time, with continuous phase.
class TonePlayer {
  public:
    TonePlayer(const std::function<double(double)>& frequencyAt, int seconds)
        : samples_(static_cast<size_t>(kRate) * seconds) {
        double phase = 0.0;
        for (size_t i = 0; i < samples_.size(); ++i) {
            samples_[i] = static_cast<int16_t>(8000.0 * std::sin(phase));
            phase = std::fmod(phase + kTwoPi * frequencyAt(static_cast<double>(i) / kRate) / kRate,
                              kTwoPi);
        }
        WAVEFORMATEX format = {WAVE_FORMAT_PCM, 1, kRate, kRate * 2, 2, 16, 0};
        if (waveOutOpen(&device_, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR)
            return;
        header_.lpData = reinterpret_cast<LPSTR>(samples_.data());
        header_.dwBufferLength = static_cast<DWORD>(samples_.size() * 2);
        waveOutPrepareHeader(device_, &header_, sizeof header_);
        playing_ = waveOutWrite(device_, &header_, sizeof header_) == MMSYSERR_NOERROR;
    }
    ~TonePlayer() {
        if (!device_)
            return;
        waveOutReset(device_);
        waveOutUnprepareHeader(device_, &header_, sizeof header_);
        waveOutClose(device_);
    }
    bool playing() const { return playing_; }

  private:
    std::vector<int16_t> samples_;
    HWAVEOUT device_ = nullptr;
    WAVEHDR header_ = {};
    bool playing_ = false;
};

// The calibration dialog ("Device: ...") once it is up.
HWND waitForCalibrationDialog(DWORD timeoutMs = 10000) {
    HWND found = nullptr;
    uikit::waitUntil(
        [&] {
            for (HWND window : uikit::findWindows(uikit::kDialogClass, nullptr))
                if (uikit::windowText(window).rfind(L"Device: ", 0) == 0)
                    found = window;
            return found != nullptr;
        },
        timeoutMs, Pump::no);
    return found;
}

std::wstring line(HWND dialog, int id) {
    return uikit::windowText(GetDlgItem(dialog, id));
}

bool startsWith(const std::wstring& text, const std::wstring& prefix) {
    return text.rfind(prefix, 0) == 0;
}

std::string narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

// Runs open() (a modal dialog) here while drive(dialog) runs on a second
// thread; a dialog the driver leaves open is cancelled.
template <typename Result>
Result whileDriven(const std::function<Result()>& open, const std::function<void(HWND)>& drive) {
    std::thread driver([&] {
        HWND dialog = waitForCalibrationDialog();
        if (!dialog)
            return;
        drive(dialog);
        if (!uikit::waitUntil([&] { return !IsWindow(dialog); }, 3000, Pump::no))
            PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    Result result = open();
    driver.join();
    return result;
}

// The text of the program's next message box, which is then closed.
std::wstring takeMessageBox(DWORD timeoutMs) {
    HWND box = uikit::waitForWindow(uikit::kDialogClass, L"Tonvale", timeoutMs, Pump::no);
    if (!box)
        return L"(no box)";
    const std::wstring text = uikit::windowText(GetDlgItem(box, kMessageBoxTextId));
    PostMessageW(box, WM_COMMAND, kMessageBoxFirstButtonId, 0);
    uikit::waitUntil([&] { return !IsWindow(box); }, 3000, Pump::no);
    return text;
}

class CalibrationDialogs : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        initProcessContext(GetModuleHandleW(nullptr));
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        loadTable(kEnglishTable);
        fillSineTable();
        gProcess.uiFont = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
        registerWindowClasses();
    }

    void SetUp() override {
        gTunerSettings = TunerSettings();
        gTunerSettings.debug.useDirect2D = false;
        MainLayout layout;
        ASSERT_TRUE(buildMainLayout(false, gProcess.uiFont, layout));
        const SIZE size = mainWindowSize(layout);
        main_ = createMainWindow(layout, 40, 40, size.cx, size.cy, buildMainMenu());
        ASSERT_NE(main_, nullptr);
        ShowWindow(main_, SW_SHOWNORMAL);
    }

    void TearDown() override {
        if (IsWindow(main_))
            DestroyWindow(main_);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        }
    }

    // Captures with the dialog while `player` plays; returns the result and
    // the dialog's two lines at the end.
    double capture(std::wstring& headline, std::wstring& detail, DWORD timeoutMs) {
        return whileDriven<double>(
            [&] { return captureReferenceSignal(main_, -1, nullptr, kRate); },
            [&](HWND dialog) {
                PostMessageW(dialog, WM_COMMAND, IDOK, 0);
                // Running while capturing, stopped at every way out.
                uikit::waitUntil([&] { return engineRunning(); }, 5000, Pump::no);
                engineRan_ = engineRunning();
                uikit::waitUntil(
                    [&] {
                        return IsWindowEnabled(GetDlgItem(dialog, IDOK)) ||
                               line(dialog, 101) == L"Finished";
                    },
                    timeoutMs, Pump::no);
                headline = line(dialog, 100);
                detail = line(dialog, 101);
                engineAfter_ = engineRunning();
                uikit::captureWindow(
                    dialog,
                    uikit::artefactPath(L"devices_calibration_dialogs_test", L"capture.png"));
                PostMessageW(dialog, WM_COMMAND, IDOK, 0);
            });
    }

    bool engineRunning() const { return SendMessageW(main_, WM_APP + 5, 0, 0) == 1; }

    HWND main_ = nullptr;
    bool engineRan_ = false;
    bool engineAfter_ = true;
};

TEST_F(CalibrationDialogs, SharpReferenceToneReadsAsASlowClock) {
    if (!isWindowsVistaOrLater())
        GTEST_SKIP() << "endpoint mode";
    // 440 Hz played 1.2 cents sharp looks like a clock 1.2 cents slow.
    const double sharp = 440.0 * std::pow(2.0, 1.2 / 1200.0);
    TonePlayer tone([&](double) { return sharp; }, 30);
    ASSERT_TRUE(tone.playing());
    std::wstring headline;
    std::wstring detail;
    const double result = capture(headline, detail, 25000);
    EXPECT_TRUE(engineRan_);
    EXPECT_FALSE(engineAfter_) << "the engine stops when the capture completes";
    ASSERT_NE(result, 0.0) << narrow(headline) << " / " << narrow(detail);
    std::printf("captured ratio %.9f: counter bias %+.3f cents\n", result, centsOfRatio(result));
    EXPECT_NEAR(centsOfRatio(result), -1.20, 0.05);
    EXPECT_TRUE(startsWith(headline, L"Frequency observed: 440.")) << narrow(headline);
    EXPECT_TRUE(startsWith(detail, L"Counter bias: -1.")) << narrow(detail);
}

TEST_F(CalibrationDialogs, WanderingToneEndsWithoutAResult) {
    if (!isWindowsVistaOrLater())
        GTEST_SKIP() << "endpoint mode";
    // 0.5 Hz per second around 440: each reading moves 0.05 Hz.
    TonePlayer tone([](double t) { return 436.0 + 0.5 * t; }, 30);
    ASSERT_TRUE(tone.playing());
    std::wstring headline;
    std::wstring detail;
    const double result = capture(headline, detail, 25000);
    EXPECT_EQ(result, 0.0);
    EXPECT_EQ(headline, L"Could not capture a stable signal.");
    EXPECT_EQ(detail, L"Finished");
    EXPECT_FALSE(engineAfter_);
}

TEST_F(CalibrationDialogs, ClosingTheCaptureStopsTheEngine) {
    const double result =
        whileDriven<double>([&] { return captureReferenceSignal(main_, -1, L"Monitor", kRate); },
                            [&](HWND dialog) {
                                EXPECT_EQ(uikit::windowText(dialog), L"Device: Monitor");
                                PostMessageW(dialog, WM_COMMAND, IDOK, 0);
                                uikit::waitUntil([&] { return engineRunning(); }, 5000, Pump::no);
                                EXPECT_TRUE(engineRunning());
                                EXPECT_TRUE(startsWith(line(dialog, 100), L"Capturing"))
                                    << narrow(line(dialog, 100));
                                PostMessageW(dialog, WM_CLOSE, 0, 0);
                            });
    EXPECT_EQ(result, 0.0);
    EXPECT_FALSE(engineRunning());
}

TEST_F(CalibrationDialogs, CancelDuringTheCountDownReturnsNothing) {
    if (isWindowsVistaOrLater())
        GTEST_SKIP() << "legacy mode";
    std::wstring countdown;
    const double rate = whileDriven<double>(
        [&] { return measureCaptureRate(main_, kRate, 16, -1, nullptr); },
        [&](HWND dialog) {
            EXPECT_EQ(line(dialog, 100), L"This will measure the real sampling rate.");
            PostMessageW(dialog, WM_COMMAND, IDOK, 0);
            uikit::waitUntil(
                [&] { return line(dialog, 101).find(L"seconds remaining") != std::wstring::npos; },
                10000, Pump::no);
            countdown = line(dialog, 101);
            EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDOK)));
            PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        });
    // The seconds depend on when this thread got to look; their arithmetic
    // is checked natively.
    int seconds = 0;
    EXPECT_EQ(swscanf(countdown.c_str(), L"%d seconds remaining", &seconds), 1)
        << narrow(countdown);
    EXPECT_TRUE(seconds >= 1 && seconds <= 30) << seconds;
    EXPECT_EQ(rate, 0.0);
    EXPECT_EQ(GetPriorityClass(GetCurrentProcess()), static_cast<DWORD>(NORMAL_PRIORITY_CLASS));
}

TEST_F(CalibrationDialogs, FailureShowsItsMessageAndLeavesOnlyCancel) {
    // Legacy: a wave-in index no device has. Endpoint: Wine's PulseAudio
    // driver refuses exclusive mode, with a reason.
    const bool endpoint = isWindowsVistaOrLater();
    std::wstring box;
    std::wstring headline;
    bool startEnabled = true;
    const double rate = whileDriven<double>(
        [&] { return measureCaptureRate(main_, kRate, 16, endpoint ? -1 : 99, nullptr); },
        [&](HWND dialog) {
            PostMessageW(dialog, WM_COMMAND, IDOK, 0);
            box = takeMessageBox(15000);
            uikit::waitUntil([&] { return line(dialog, 100) == L"The task resulted in failure."; },
                             3000, Pump::no);
            headline = line(dialog, 100);
            startEnabled = IsWindowEnabled(GetDlgItem(dialog, IDOK)) != FALSE;
            PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        });
    EXPECT_EQ(rate, 0.0);
    EXPECT_TRUE(startsWith(box, L"Failed to open the recording device.")) << narrow(box);
    if (endpoint)
        EXPECT_EQ(box, L"Failed to open the recording device.\n\n"
                       L"This sound device does not allow exclusive mode.");
    else
        EXPECT_GT(box.size(), std::wstring(L"Failed to open the recording device.").size())
            << "the device's explanation follows";
    EXPECT_EQ(headline, L"The task resulted in failure.");
    EXPECT_FALSE(startEnabled);
}

} // namespace
} // namespace tonvale

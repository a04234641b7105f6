// The main window in this process, on the rig's display and sound server:
// its layout in both sizes, power with the real engine, engine errors and
// the box they show, lending the engine to another window, the settings
// restart, the spectrum window it feeds, and what it records when it closes.
#include <windows.h>

#include <objbase.h>

#include "app/main_commands.h"
#include "app/main_layout_win.h"
#include "app/main_window_messages_win.h"
#include "app/main_window_win.h"
#include "app/message_box_win.h"
#include "app/process_context_win.h"
#include "app/program_entry_win.h"
#include "engine/engine_params.h"
#include "engine/pitch_reading.h"
#include "engine/sine_table.h"
#include "spectrum/spectrum_window_win.h"
#include "support/settings/tuner_settings.h"
#include "support/ui_text.h"
#include "tests/engine/live_engine_helpers_win.h"
#include "tests/engine/signal_helpers.h"
#include "tests/spectrum/spectrum_picture_win.h"
#include "tests/ui_kit/ui_test_kit_win.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

namespace tonvale {
namespace {

using uikit::Pump;

constexpr wchar_t kClientClass[] = L"EngineBorrower";

// A window that borrows the engine, as the reference-signal capture dialog
// does: it fills the parameters, counts the readings and failures.
struct Borrower {
    HWND window = nullptr;
    uint32_t sampleRate = 44100;
    std::atomic<int> readings{0};
    std::atomic<int> failures{0};
};
Borrower* gBorrower = nullptr;

LRESULT CALLBACK borrowerProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case kBorrowerFillParams: {
        auto* params = reinterpret_cast<EngineParams*>(wParam);
        params->deviceId = -1;
        params->sampleRate = gBorrower->sampleRate;
        return 0;
    }
    case kBorrowerReading:
        ++gBorrower->readings;
        reinterpret_cast<PitchReading*>(wParam)->busy.store(0, std::memory_order_release);
        return 0;
    case kBorrowerEngineFailed:
        ++gBorrower->failures;
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

// Runs act() on this thread (which pumps) while a second thread waits for
// the program's message box, returns its text and closes it.
std::wstring boxShownWhile(const std::function<void()>& act, DWORD timeoutMs = 10000) {
    std::wstring text = L"(no box)";
    std::atomic<bool> done{false};
    std::thread driver([&] {
        HWND box = uikit::waitForWindow(uikit::kDialogClass, L"Tonvale", timeoutMs, Pump::no);
        if (box) {
            text = uikit::windowText(GetDlgItem(box, kMessageBoxTextId));
            PostMessageW(box, WM_COMMAND, kMessageBoxFirstButtonId, 0);
            uikit::waitUntil([&] { return !IsWindow(box); }, 3000, Pump::no);
        }
        done = true;
    });
    act();
    uikit::waitUntil([&] { return done.load(); }, timeoutMs + 5000, Pump::yes);
    driver.join();
    return text;
}

class MainWindowTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        initProcessContext(GetModuleHandleW(nullptr));
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        loadTable(kEnglishTable);
        fillSineTable();
        gProcess.uiFont = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
        registerWindowClasses();
        WNDCLASSEXW client = {};
        client.cbSize = sizeof client;
        client.lpfnWndProc = borrowerProcedure;
        client.hInstance = gProcess.instance;
        client.lpszClassName = kClientClass;
        RegisterClassExW(&client);
    }

    void SetUp() override {
        gTunerSettings = TunerSettings();
        gTunerSettings.debug.useDirect2D = false;
        gMainWindowHooks = MainWindowHooks();
    }

    void TearDown() override {
        if (IsWindow(main_))
            DestroyWindow(main_);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        }
        gProcess.spectrumWindow = nullptr;
        gProcess.toneWindow = nullptr;
    }

    void open(int x = 60, int y = 40) {
        MainLayout layout;
        ASSERT_TRUE(buildMainLayout(gTunerSettings.main.largeSize, gProcess.uiFont, layout));
        const SIZE size = mainWindowSize(layout);
        main_ = createMainWindow(layout, x, y, size.cx, size.cy, buildMainMenu());
        ASSERT_NE(main_, nullptr);
        ASSERT_EQ(gProcess.mainWindow, main_);
        ShowWindow(main_, SW_SHOWNORMAL);
        UpdateWindow(main_);
    }

    HWND control(int id) const { return GetDlgItem(main_, id); }
    bool running() const { return SendMessageW(main_, kMainEngineRunning, 0, 0) == 1; }
    bool lampLit() const { return GetWindowLongW(control(kPowerLampId), 0) != 0; }
    void click(int id) const { SendMessageW(control(id), BM_CLICK, 0, 0); }
    RECT rectOf(HWND window) const {
        RECT r = {};
        GetWindowRect(window, &r);
        return r;
    }

    HWND main_ = nullptr;
};

TEST_F(MainWindowTest, LayoutInBothSizesWithEqualButtonsAndTextsThatFit) {
    for (bool large : {true, false}) {
        gTunerSettings.main.largeSize = large;
        open();
        RECT client = {};
        GetClientRect(control(kMeterId), &client);
        EXPECT_EQ(client.right, large ? 386 : 232);
        EXPECT_EQ(client.bottom, large ? 214 : 82);
        const RECT power = rectOf(control(kPowerButtonId));
        const RECT settings = rectOf(control(kSettingsButtonId));
        EXPECT_EQ(power.right - power.left, settings.right - settings.left);
        EXPECT_EQ(power.top, settings.top);
        const RECT meter = rectOf(control(kMeterId));
        EXPECT_GE(power.top, meter.bottom);
        EXPECT_EQ(settings.right, meter.right) << "Settings... ends where the meter ends";
        EXPECT_TRUE(uikit::clippedTexts(main_).empty()) << large;
        EXPECT_FALSE(IsWindowEnabled(control(kSettingsButtonId))) << "no settings dialog here";
        uikit::captureWindow(main_, uikit::artefactPath(L"app_main_window_win_test",
                                                        large ? L"large.png" : L"small.png"));
        DestroyWindow(main_);
    }
}

TEST_F(MainWindowTest, LargeDisplayTwiceReturnsToTheFormerSizeAndPlace) {
    open(100, 80);
    const RECT before = rectOf(main_);
    SendMessageW(main_, WM_COMMAND, kCommandLargeDisplay, 0);
    EXPECT_FALSE(gTunerSettings.main.largeSize);
    const RECT small = rectOf(main_);
    EXPECT_LT(small.right - small.left, before.right - before.left);
    RECT meter = {};
    GetClientRect(control(kMeterId), &meter);
    EXPECT_EQ(meter.right, 232);
    SendMessageW(main_, WM_COMMAND, kCommandLargeDisplay, 0);
    EXPECT_TRUE(gTunerSettings.main.largeSize);
    const RECT after = rectOf(main_);
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
    EXPECT_EQ(after.right, before.right);
    EXPECT_EQ(after.bottom, before.bottom);
}

TEST_F(MainWindowTest, PowerRunsTheEngineLightsTheLampAndRefusesTheScreenSaver) {
    open();
    EXPECT_EQ(uikit::windowText(control(kMeterId)), L"-");
    click(kPowerButtonId);
    ASSERT_TRUE(running());
    EXPECT_TRUE(lampLit());
    EXPECT_EQ(SendMessageW(main_, WM_SYSCOMMAND, SC_SCREENSAVE, 0), 1);
    // Readings of the silent sink arrive and are handed back.
    uikit::waitUntil([] { return false; }, 600, Pump::yes);
    click(kPowerButtonId);
    EXPECT_FALSE(running());
    EXPECT_FALSE(lampLit());
    EXPECT_EQ(uikit::windowText(control(kMeterId)), L"-");
    EXPECT_EQ(SendMessageW(main_, WM_SYSCOMMAND, SC_SCREENSAVE, 0), 0);
}

TEST_F(MainWindowTest, AnEngineErrorPowersOffShowsTheMessageAndPowerWorksAgain) {
    open();
    gTunerSettings.main.deviceSampleRate = 32000; // no rate the engine takes
    const std::wstring text = boxShownWhile([&] {
        click(kPowerButtonId);
        uikit::waitUntil([&] { return !running(); }, 8000, Pump::yes);
    });
    EXPECT_EQ(text.rfind(L"Failed to open the recording device.\n\n", 0), 0u);
    EXPECT_GT(text.size(), 40u) << "the device's explanation follows";
    EXPECT_FALSE(running());
    EXPECT_FALSE(lampLit());

    gTunerSettings.main.deviceSampleRate = 0;
    click(kPowerButtonId);
    EXPECT_TRUE(running());
    click(kPowerButtonId);
    EXPECT_FALSE(running());
}

TEST_F(MainWindowTest, LentEngineSendsReadingsToTheBorrowerAndPowerCannotStartASecond) {
    open();
    Borrower borrower;
    gBorrower = &borrower;
    borrower.window = CreateWindowExW(0, kClientClass, L"", WS_POPUP, 0, 0, 10, 10, nullptr,
                                      nullptr, gProcess.instance, nullptr);
    ASSERT_NE(borrower.window, nullptr);
    EXPECT_EQ(SendMessageW(main_, kMainEngineControl, reinterpret_cast<WPARAM>(borrower.window), 0),
              1);
    EXPECT_TRUE(running());
    EXPECT_TRUE(uikit::waitUntil([&] { return borrower.readings >= 3; }, 5000, Pump::yes));

    const std::wstring refused = boxShownWhile([&] { click(kPowerButtonId); });
    EXPECT_EQ(refused, L"Failed to create the recording thread.");
    EXPECT_FALSE(lampLit());
    LRESULT second = 1;
    const std::wstring again = boxShownWhile([&] {
        second =
            SendMessageW(main_, kMainEngineControl, reinterpret_cast<WPARAM>(borrower.window), 0);
    });
    EXPECT_EQ(second, 0);
    EXPECT_EQ(again, L"Failed to create the recording thread.");

    EXPECT_EQ(SendMessageW(main_, kMainEngineControl, 0, 0), 1);
    EXPECT_FALSE(running());

    // A failing borrowed engine tells the borrower, whose the box is.
    borrower.sampleRate = 32000;
    const std::wstring failed = boxShownWhile([&] {
        SendMessageW(main_, kMainEngineControl, reinterpret_cast<WPARAM>(borrower.window), 0);
        uikit::waitUntil([&] { return borrower.failures > 0; }, 8000, Pump::yes);
    });
    EXPECT_EQ(borrower.failures, 1);
    EXPECT_EQ(failed.rfind(L"Failed to open the recording device.", 0), 0u);
    EXPECT_TRUE(running()) << "the borrower stops it";
    SendMessageW(main_, kMainEngineControl, 0, 0);
    DestroyWindow(borrower.window);
    gBorrower = nullptr;
}

std::atomic<int> gRunningDuringSettings{-1};

TEST_F(MainWindowTest, SettingsStopTheEngineAndRestartItAfterwards) {
    gMainWindowHooks.runSettingsDialog = [](HWND owner) {
        gRunningDuringSettings = static_cast<int>(SendMessageW(owner, kMainEngineRunning, 0, 0));
        gTunerSettings.main.frequencyOfA4 = 442;
        return true;
    };
    open();
    EXPECT_TRUE(IsWindowEnabled(control(kSettingsButtonId)));
    click(kPowerButtonId);
    ASSERT_TRUE(running());
    click(kSettingsButtonId);
    EXPECT_EQ(gRunningDuringSettings, 0);
    EXPECT_TRUE(running());
    EXPECT_TRUE(lampLit());
    click(kPowerButtonId);

    // Not running before: still not running after.
    gRunningDuringSettings = -1;
    click(kSettingsButtonId);
    EXPECT_EQ(gRunningDuringSettings, 0);
    EXPECT_FALSE(running());
}

TEST_F(MainWindowTest, CloseRecordsThePlaceAndThePopupsAndPassesEnablingOn) {
    gTunerSettings.rememberMainWindowPosition = true;
    open(120, 90);
    // Stand-ins for the two popups; only their handles matter here.
    HWND spectrum = CreateWindowExW(0, L"Static", L"spectrum", WS_POPUP, 0, 0, 10, 10, main_,
                                    nullptr, gProcess.instance, nullptr);
    HWND tone = CreateWindowExW(0, L"Static", L"tone", WS_POPUP, 0, 0, 10, 10, main_, nullptr,
                                gProcess.instance, nullptr);
    gProcess.spectrumWindow = spectrum;
    gProcess.toneWindow = tone;
    EnableWindow(main_, FALSE);
    EXPECT_FALSE(IsWindowEnabled(spectrum));
    EXPECT_FALSE(IsWindowEnabled(tone));
    EnableWindow(main_, TRUE);
    EXPECT_TRUE(IsWindowEnabled(spectrum));

    const RECT frame = rectOf(main_);
    click(kPowerButtonId);
    SendMessageW(main_, WM_COMMAND, kCommandExit, 0);
    EXPECT_FALSE(IsWindow(main_));
    EXPECT_EQ(gProcess.mainWindow, nullptr);
    EXPECT_EQ(gTunerSettings.main.popupFlags, 3);
    EXPECT_EQ(gTunerSettings.main.windowPosition.x, frame.left);
    EXPECT_EQ(gTunerSettings.main.windowPosition.y, frame.top);
    MSG quit = {};
    EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

// "Spectrum..." with a tone in the sink: the window opens connected to the
// running engine and draws the tone where its bin is; power off leaves it
// black, power on connects it again; closing the tuner records it.
TEST_F(MainWindowTest, SpectrumWindowFollowsPowerAndIsRecordedAtClose) {
    gTunerSettings.rememberMainWindowPosition = true;
    gTunerSettings.main.deviceSampleRate = 44100; // an engine rate of 11025 Hz
    open();
    EXPECT_FALSE(GetMenuState(GetMenu(main_), kCommandSpectrum, MF_BYCOMMAND) & MF_GRAYED);
    test::TonePlayer player;
    ASSERT_TRUE(player.play(
        test::toPcm16(test::makeTone({{440.0, 9000.0}}, test::TonePlayer::kRateHz, 20 * 44100))));
    click(kPowerButtonId);
    ASSERT_TRUE(running());
    SendMessageW(main_, WM_COMMAND, kCommandSpectrum, 0);
    HWND spectrum = gProcess.spectrumWindow;
    ASSERT_NE(spectrum, nullptr);
    EXPECT_TRUE(IsWindowVisible(spectrum));
    HWND view = GetDlgItem(spectrum, kSpectrumViewId);
    // 440 Hz in the 512-point spectrum of band 1/1: bin 440 * 512 / 11025 = 20.4.
    test::Picture seen;
    auto showsA4 = [&] {
        seen = test::viewPicture(view);
        return seen.markerColumns(10) == std::vector<int>{20} && seen.peakColumn() == 20;
    };
    EXPECT_TRUE(uikit::waitUntil(showsA4, 8000, Pump::yes)) << seen.peakColumn();

    SendMessageW(main_, WM_COMMAND, kCommandSpectrum, 0);
    EXPECT_EQ(gProcess.spectrumWindow, spectrum);
    EXPECT_EQ(uikit::findWindows(kSpectrumWindowClassName, nullptr).size(), 1u);

    click(kPowerButtonId);
    EXPECT_TRUE(test::viewPicture(view).allBlack());
    uikit::waitUntil([] { return false; }, 300, Pump::yes);
    EXPECT_TRUE(test::viewPicture(view).allBlack());
    click(kPowerButtonId);
    EXPECT_TRUE(uikit::waitUntil(showsA4, 8000, Pump::yes)) << seen.peakColumn();

    SendMessageW(main_, WM_COMMAND, kCommandExit, 0);
    EXPECT_EQ(gProcess.spectrumWindow, nullptr);
    EXPECT_EQ(gTunerSettings.main.popupFlags, 1);
}

} // namespace
} // namespace tonvale

// The spectrum window on a real engine: tones played into the rig's sink
// come back through its monitor to the engine's wave-in, and the stand-in
// main window passes each reading on as the main window does. Where the peak
// and the marker are drawn is checked against the bins of the tone.
#include "app/process_context_win.h"
#include "engine/sine_table.h"
#include "spectrum/spectrum_messages_win.h"
#include "spectrum/spectrum_window_win.h"
#include "support/settings/tuner_settings.h"
#include "support/ui_text.h"
#include "tests/engine/live_engine_helpers_win.h"
#include "tests/engine/signal_helpers.h"
#include "tests/spectrum/spectrum_test_support_win.h"
#include "tests/ui_kit/ui_test_kit_win.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <string>

namespace tonvale {
namespace {

using test::gMain;
using test::Picture;
using test::pumpUntil;
using test::RunningEngine;
using test::TonePlayer;
using test::viewPicture;

constexpr double kBaseRate = 11025.0; // of a 44100 Hz capture

std::vector<int16_t> tone(double hz, double seconds) {
    return test::toPcm16(test::makeTone({{hz, 9000.0}}, TonePlayer::kRateHz,
                                        static_cast<size_t>(seconds * TonePlayer::kRateHz)));
}

// The column of hz at a band, worked out as the axis does: 256 columns span
// (base rate / 2) / 2^band hertz, and the column is rounded to the nearest.
int columnOf(double hz, int band) {
    const double hertzPer256 = kBaseRate / 2.0 / (1 << band);
    return static_cast<int>(hz / hertzPer256 * 256.0 + 0.5);
}

EngineStart captureStart() {
    EngineStart start;
    start.params.deviceId = -1;
    start.params.sampleRate = 44100;
    start.params.inputThreshold = -60;
    start.channels = 2;
    return start;
}

// The process heap's blocks in use: the window and view records live there,
// and so do the system's GDI objects and window data.
size_t busyHeapBlocks() {
    HANDLE heap = GetProcessHeap();
    size_t busy = 0;
    HeapLock(heap);
    PROCESS_HEAP_ENTRY entry = {};
    while (HeapWalk(heap, &entry))
        busy += (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) != 0;
    HeapUnlock(heap);
    return busy;
}

// How many blocks `cycles` runs of body leave on the heap, after one run
// that fills whatever caches it touches.
size_t blocksLeftBy(int cycles, const std::function<void()>& body) {
    body();
    const size_t before = busyHeapBlocks();
    for (int i = 0; i < cycles; ++i)
        body();
    const size_t after = busyHeapBlocks();
    return after > before ? after - before : 0;
}

// Wine keeps a block for each static text control that was given a font
// (whatever its owner does); the window has one such label.
size_t blocksLeftByLabels(int cycles) {
    return blocksLeftBy(cycles, [] {
        HWND owner = CreateWindowExW(0, L"Static", L"", WS_POPUP | WS_VISIBLE, 0, 0, 60, 30,
                                     gMain.window, nullptr, nullptr, nullptr);
        HWND label = CreateWindowExW(0, L"Static", UiText(86), WS_CHILD | WS_VISIBLE | SS_SIMPLE, 0,
                                     0, 50, 20, owner, nullptr, nullptr, nullptr);
        SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(gProcess.uiFont), 0);
        test::pump(30);
        DestroyWindow(owner);
    });
}

class SpectrumLiveTest : public test::SpectrumWindowTest {
  protected:
    static void SetUpTestSuite() {
        SpectrumWindowTest::SetUpTestSuite();
        fillSineTable();
    }

    void startEngine() {
        engine_ = std::make_unique<RunningEngine>(captureStart(), gMain.window);
        ASSERT_TRUE(engine_->started());
        gMain.engineRuns = true;
    }
    void connectEngine() { connect(engine_->thread(), engine_->threadId()); }
    void powerOff() {
        if (gProcess.spectrumWindow)
            SendMessageW(gProcess.spectrumWindow, kSpectrumEngineStopped, 0, 0);
        engine_->stop();
        gMain.engineRuns = false;
    }
    void TearDown() override {
        if (engine_ && gMain.engineRuns)
            powerOff();
        engine_.reset();
        SpectrumWindowTest::TearDown();
    }

    // Waits until the view shows both the marker and the curve's peak on
    // `column`; the last picture seen is left in picture_. A loaded sound
    // server may leave gaps in the stream: only the deadline fails it.
    bool showsTone(int column, DWORD timeoutMs = 12000) {
        return pumpUntil(
            [&] {
                picture_ = viewPicture(view());
                return picture_.markerColumns(10) == std::vector<int>{column} &&
                       picture_.peakColumn() == column;
            },
            timeoutMs);
    }
    std::string seen() const {
        std::string text = "peak column " + std::to_string(picture_.peakColumn()) + ", markers";
        for (int column : picture_.markerColumns(10))
            text += " " + std::to_string(column);
        return text;
    }

    std::unique_ptr<RunningEngine> engine_;
    Picture picture_;
};

TEST_F(SpectrumLiveTest, PlayedToneDrawsPeakAndMarkerOnItsBinInEveryBand) {
    TonePlayer player;
    ASSERT_TRUE(player.play(tone(440.0, 40.0)));
    startEngine();
    // Opened while the engine runs, as the menu command does: it starts at once.
    spectrumCommand(engine_->thread(), engine_->threadId());
    ASSERT_NE(gProcess.spectrumWindow, nullptr);
    for (int band = 0; band < 4; ++band) {
        chooseBand(band);
        EXPECT_TRUE(showsTone(columnOf(440.0, band))) << "band " << band << ": " << seen();
        if (band == 1) {
            const std::wstring language = GetUserDefaultUILanguage() == 0x0411 ? L"ja" : L"en";
            EXPECT_TRUE(uikit::captureWindow(
                gProcess.spectrumWindow,
                uikit::artefactPath(L"spectrum_window_test", L"a4_" + language + L".png")));
        }
    }
    // The marker follows the tone.
    ASSERT_TRUE(player.play(tone(660.0, 30.0)));
    EXPECT_TRUE(showsTone(columnOf(660.0, 3))) << seen();
    chooseBand(0);
    EXPECT_TRUE(showsTone(columnOf(660.0, 0))) << seen();

    // Power off: no curve stays behind, and none comes back.
    powerOff();
    EXPECT_TRUE(viewPicture(view()).allBlack());
    test::pump(300);
    EXPECT_TRUE(viewPicture(view()).allBlack());
}

// The window goes while the engine attaches spectra for it: the engine runs
// on without them, the main window still gets every reading, nothing of the
// window stays on the heap, and a new window gets spectra again.
TEST_F(SpectrumLiveTest, ClosingDuringSpectrumRequestsLeavesEngineAndWindowsWell) {
    TonePlayer player;
    ASSERT_TRUE(player.play(tone(440.0, 40.0)));
    startEngine();
    auto openAndClose = [&] {
        open();
        connectEngine();
        pumpUntil([] { return gMain.lastSpectrumCount > 0; }, 2000);
        chooseBand(3);
        SendMessageW(gProcess.spectrumWindow, WM_CLOSE, 0, 0);
    };
    constexpr int kCycles = 6;
    const size_t left = blocksLeftBy(kCycles, openAndClose);
    const size_t leftByLabels = blocksLeftByLabels(kCycles);
    // A record of the window or the view, a pen, a bitmap, a font or a DC
    // left per run would be at least one block a run.
    EXPECT_LE(left, leftByLabels + 2) << left << " blocks left, " << leftByLabels << " by labels";
    EXPECT_EQ(gProcess.spectrumWindow, nullptr);

    const size_t readings = gMain.readings;
    EXPECT_TRUE(pumpUntil([&] { return gMain.readings >= readings + 5; }, 10000));
    EXPECT_EQ(gMain.lastSpectrumCount, 0);
    EXPECT_EQ(WaitForSingleObject(engine_->thread(), 0), static_cast<DWORD>(WAIT_TIMEOUT));

    open();
    connectEngine();
    EXPECT_TRUE(showsTone(columnOf(440.0, 3))) << seen();
}

} // namespace
} // namespace tonvale

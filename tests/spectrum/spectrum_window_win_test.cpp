// The spectrum window on the rig's display, owned by a stand-in for the main
// window and driven by the messages the main window sends it, with readings
// made up here: what the view shows is read back from the screen and
// checked against the bin arithmetic worked out in the tests themselves.
#include "app/process_context_win.h"
#include "meter/direct2d_win.h"
#include "spectrum/spectrum_messages_win.h"
#include "spectrum/spectrum_window_win.h"
#include "support/settings/tuner_settings.h"
#include "support/ui_text.h"
#include "tests/spectrum/spectrum_test_support_win.h"
#include "tests/ui_kit/ui_test_kit_win.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <cmath>

namespace tonvale {
namespace {

using test::clientSize;
using test::fillReading;
using test::gMain;
using test::kAxisRows;
using test::Picture;
using test::pump;
using test::RequestCollector;
using test::rowOf;
using test::scrollInfo;
using test::SpectrumRequest;
using test::SpectrumWindowTest;
using test::viewPicture;

constexpr int32_t kRate = test::kTestRate;

TEST_F(SpectrumWindowTest, OpensWithTheDefaultsCentredOnTheMainWindow) {
    HWND window = open();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(gProcess.spectrumWindow, window);
    EXPECT_EQ(GetWindow(window, GW_OWNER), gMain.window);
    EXPECT_EQ(uikit::windowText(window), UiText(85));
    const SIZE view = clientSize(GetDlgItem(window, kSpectrumViewId));
    EXPECT_EQ(view.cx, 256);
    EXPECT_EQ(view.cy, 160);
    EXPECT_EQ(IsDlgButtonChecked(window, kFirstBandButtonId), BST_CHECKED);
    const SCROLLINFO scroll = scrollInfo(window);
    EXPECT_EQ(scroll.nMin, 0);
    EXPECT_EQ(scroll.nMax, 120);
    EXPECT_EQ(scroll.nPage, 51u);
    EXPECT_EQ(scroll.nPos, 10);
    RECT main = {};
    RECT frame = {};
    GetWindowRect(gMain.window, &main);
    GetWindowRect(window, &frame);
    EXPECT_EQ(frame.left - main.left, ((main.right - main.left) - (frame.right - frame.left)) / 2);
    EXPECT_EQ(frame.top - main.top, ((main.bottom - main.top) - (frame.bottom - frame.top)) / 2);
    EXPECT_TRUE(uikit::clippedTexts(window).empty());
    EXPECT_TRUE(viewPicture(GetDlgItem(window, kSpectrumViewId)).allBlack());
    // Opening it again leaves the one window.
    EXPECT_EQ(openSpectrumWindow(true), window);
    EXPECT_EQ(uikit::findWindows(kSpectrumWindowClassName, nullptr).size(), 1u);
}

// Each band: the peak, the marker and the axis where the bin arithmetic puts
// them, and a request for the band's transform length.
TEST_F(SpectrumWindowTest, DrawsCurveMarkerAndAxisOfEachBand) {
    RequestCollector engine;
    open();
    connect(engine);
    EXPECT_EQ(engine.take(1), (std::vector<SpectrumRequest>{{512, 256}}));
    PitchReading reading;
    const int peaks[] = {37, 120, 201, 250};
    for (int band = 0; band < 4; ++band) {
        chooseBand(band);
        EXPECT_EQ(engine.take(1), (std::vector<SpectrumRequest>{{512u << band, 256}}));
        fillReading(reading, peaks[band]);
        send(reading);
        const Picture picture = viewPicture(view());
        ASSERT_EQ(picture.plotHeight(), 139);
        EXPECT_EQ(picture.peakColumn(), peaks[band]) << "band " << band;
        EXPECT_EQ(picture.topmostIn(peaks[band], test::isCurve), rowOf(-15, -10, -60, 139));
        EXPECT_EQ(picture.topmostIn(3, test::isCurve), 138); // the floor on the bottom row
        EXPECT_EQ(picture.markerColumns(), std::vector<int>{peaks[band]});

        // The axis line, and ticks: the major ones (labelled) 7 rows long,
        // the minor ones 4.
        const int axis = picture.height - kAxisRows;
        for (int x = 0; x < picture.width; x += 17)
            EXPECT_EQ(picture.at(x, axis), test::kWhite) << x;
        EXPECT_EQ(picture.at(0, axis + 6), test::kWhite);
        const int step = 1 << band;
        auto column = [&](double hz) {
            return static_cast<int>(std::floor(hz * (512 << band) / kRate + 0.5));
        };
        // Major and minor steps of each band (30 and 8 columns at least).
        const int majorHz[] = {1000, 500, 200, 100};
        const int minorHz[] = {200, 100, 50, 50};
        EXPECT_EQ(picture.at(column(majorHz[band]), axis + 6), test::kWhite) << step;
        EXPECT_EQ(picture.at(column(minorHz[band]), axis + 3), test::kWhite) << step;
        EXPECT_EQ(picture.at(column(minorHz[band]), axis + 5), 0u) << step;
        int labelPixels = 0;
        for (int y = axis + 7; y < picture.height; ++y)
            for (int x = 0; x < picture.width; ++x)
                labelPixels += picture.at(x, y) != 0;
        EXPECT_GT(labelPixels, 40) << step;
    }
}

TEST_F(SpectrumWindowTest, SmoothCurvePeaksAtTheSameColumn) {
    if (!loadDirect2D())
        GTEST_SKIP() << "no Direct2D in this prefix";
    RequestCollector engine;
    open();
    connect(engine);
    PitchReading reading;
    fillReading(reading, 90);
    send(reading);
    const Picture picture = viewPicture(view());
    releaseDirect2D();
    int peak = -1;
    int peakRow = picture.plotHeight();
    for (int x = 0; x < picture.width; ++x) {
        const int row = picture.topmostIn(x, test::isSmoothCurve);
        if (row >= 0 && row < peakRow) {
            peakRow = row;
            peak = x;
        }
    }
    EXPECT_EQ(peak, 90);
    EXPECT_NEAR(peakRow, rowOf(-15, -10, -60, 139), 1);
    EXPECT_EQ(picture.markerColumns(4), std::vector<int>{90});
}

TEST_F(SpectrumWindowTest, ResizingKeepsTheViewWithinItsLimitsAndThePictureAtTheBottom) {
    RequestCollector engine;
    HWND window = open();
    connect(engine);
    engine.take(1);
    PitchReading reading;
    fillReading(reading, 60);
    send(reading);

    resizeBy(100, 40);
    SIZE view = clientSize(this->view());
    EXPECT_EQ(view.cx, 356);
    EXPECT_EQ(view.cy, 200);
    EXPECT_EQ(engine.take(1), (std::vector<SpectrumRequest>{{512, 356}}));
    // Until the next frame the old picture stays, moved down with the axis.
    Picture picture = viewPicture(this->view());
    EXPECT_EQ(picture.peakColumn(), 60);
    EXPECT_EQ(picture.topmostIn(60, test::isCurve), rowOf(-15, -10, -60, 139) + 40);
    EXPECT_EQ(picture.at(100, 200 - kAxisRows), test::kWhite);
    EXPECT_EQ(picture.at(300, 200 - kAxisRows), 0u);
    // A taller view shows more decibels at the same scale.
    EXPECT_EQ(scrollInfo(window).nPage, 66u);
    send(reading);
    picture = viewPicture(this->view());
    EXPECT_EQ(picture.at(300, 200 - kAxisRows), test::kWhite);
    EXPECT_EQ(picture.topmostIn(60, test::isCurve), rowOf(-15, -10, -10 - 66 + 1, 179));

    resizeBy(4000, 4000);
    view = clientSize(this->view());
    EXPECT_EQ(view.cx, 512);
    EXPECT_EQ(view.cy, 320);
    EXPECT_EQ(scrollInfo(window).nPage, 110u);
    EXPECT_EQ(engine.take(1), (std::vector<SpectrumRequest>{{512, 512}}));
    resizeBy(-4000, -4000);
    view = clientSize(this->view());
    EXPECT_EQ(view.cx, 256);
    EXPECT_EQ(view.cy, 160);
    EXPECT_EQ(scrollInfo(window).nPage, 51u);
}

TEST_F(SpectrumWindowTest, ScrollingMovesTheRangeWithinZeroToMinus120) {
    RequestCollector engine;
    HWND window = open();
    connect(engine);
    auto scroll = [&](WORD code, WORD thumb = 0) {
        SendMessageW(window, WM_VSCROLL, MAKEWPARAM(code, thumb), 0);
        return scrollInfo(window).nPos;
    };
    EXPECT_EQ(scroll(SB_LINEDOWN), 12);
    EXPECT_EQ(scroll(SB_PAGEDOWN), 63);
    EXPECT_EQ(scroll(SB_PAGEDOWN), 70);
    EXPECT_EQ(scroll(SB_LINEUP), 68);
    EXPECT_EQ(scroll(SB_TOP), 0);
    EXPECT_EQ(scroll(SB_THUMBTRACK, 20), 20);
    PitchReading reading;
    fillReading(reading, 30);
    send(reading);
    EXPECT_EQ(viewPicture(view()).topmostIn(30, test::isCurve), rowOf(-15, -20, -70, 139));
    EXPECT_EQ(scroll(SB_BOTTOM), 70);
    // Taller: the page grows and pulls the offset back.
    resizeBy(0, 160);
    EXPECT_EQ(scrollInfo(window).nPage, 110u);
    EXPECT_EQ(scrollInfo(window).nPos, 11);
}

TEST_F(SpectrumWindowTest, ReopensAtItsPlaceAndSizeAndComesBackOnScreen) {
    RequestCollector engine;
    HWND window = open();
    connect(engine);
    engine.take(1);
    RECT main = {};
    GetWindowRect(gMain.window, &main);
    chooseBand(2);
    SendMessageW(window, WM_VSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), 0);
    RECT frame = {};
    GetWindowRect(window, &frame);
    SetWindowPos(window, nullptr, main.left + 50, main.top + 60, frame.right - frame.left + 90,
                 frame.bottom - frame.top + 30, SWP_NOZORDER);
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(gProcess.spectrumWindow, nullptr);
    // Closing cancels the spectra.
    EXPECT_EQ(engine.take(2).back(), (SpectrumRequest{0, 0}));
    const SpectrumSettings& stored = gTunerSettings.spectrum;
    EXPECT_EQ(stored.windowPosition.x, 50);
    EXPECT_EQ(stored.windowPosition.y, 60);
    EXPECT_EQ(stored.viewSize.width, 346);
    EXPECT_EQ(stored.viewSize.height, 190);
    EXPECT_EQ(stored.frequencyZoom, 2);
    EXPECT_EQ(stored.dBOffset, 12);

    window = open();
    GetWindowRect(window, &frame);
    EXPECT_EQ(frame.left, main.left + 50);
    EXPECT_EQ(frame.top, main.top + 60);
    const SIZE view = clientSize(this->view());
    EXPECT_EQ(view.cx, 346);
    EXPECT_EQ(view.cy, 190);
    EXPECT_EQ(IsDlgButtonChecked(window, kFirstBandButtonId + 2), BST_CHECKED);
    EXPECT_EQ(scrollInfo(window).nPos, 12);
    DestroyWindow(window);

    // A place now off every monitor: the window comes back into the work
    // area, its caption within reach.
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    for (const WindowPosition away : {WindowPosition{5000, 4000}, WindowPosition{-6000, -3000}}) {
        gTunerSettings.spectrum.windowPosition = away;
        window = open();
        GetWindowRect(window, &frame);
        EXPECT_GE(frame.left, work.left);
        EXPECT_GE(frame.top, work.top);
        EXPECT_LE(frame.right, work.right);
        EXPECT_LE(frame.bottom, work.bottom);
        DestroyWindow(window);
    }
}

TEST_F(SpectrumWindowTest, PowerOffClearsTheCurveAndLaterReadingsDrawNothing) {
    RequestCollector engine;
    open();
    connect(engine);
    engine.take(1);
    PitchReading reading;
    fillReading(reading, 44);
    send(reading);
    ASSERT_EQ(viewPicture(view()).peakColumn(), 44);
    SendMessageW(gProcess.spectrumWindow, kSpectrumEngineStopped, 0, 0);
    EXPECT_EQ(engine.take(1), (std::vector<SpectrumRequest>{{0, 0}}));
    EXPECT_TRUE(viewPicture(view()).allBlack());
    send(reading);
    EXPECT_TRUE(viewPicture(view()).allBlack());
    // A second stop asks nothing of an engine that is gone.
    SendMessageW(gProcess.spectrumWindow, kSpectrumEngineStopped, 0, 0);
    EXPECT_TRUE(engine.take(1, 200).empty());

    // Reconnected, a reading without spectrum leaves the display alone.
    connect(engine);
    EXPECT_EQ(engine.take(1), (std::vector<SpectrumRequest>{{512, 256}}));
    send(reading);
    PitchReading bare;
    send(bare);
    EXPECT_EQ(viewPicture(view()).peakColumn(), 44);
}

TEST_F(SpectrumWindowTest, ScreenSaverRefusedWhileTheEngineRuns) {
    HWND window = open();
    gMain.engineRuns = true;
    EXPECT_EQ(SendMessageW(window, WM_SYSCOMMAND, SC_SCREENSAVE, 0), 1);
    gMain.engineRuns = false;
    EXPECT_EQ(SendMessageW(window, WM_SYSCOMMAND, SC_SCREENSAVE, 0), 0);
}

TEST_F(SpectrumWindowTest, EscapeClosesTheWindowAndStoresItsSettings) {
    HWND window = open();
    chooseBand(3);
    ASSERT_TRUE(uikit::bringToFront(window));
    uikit::pressKey(VK_ESCAPE);
    test::pumpUntil([&] { return !IsWindow(window); }, 3000);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(gTunerSettings.spectrum.frequencyZoom, 3);
}

} // namespace
} // namespace tonvale

int main(int argc, char** argv) {
    tonvale::uikit::drawOwnFrames();
    tonvale::initProcessContext(GetModuleHandleW(nullptr));
    const INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    tonvale::chooseLanguage();
    // The program's UI font: the system's message font.
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    tonvale::gProcess.uiFont = CreateFontIndirectW(&metrics.lfMessageFont);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

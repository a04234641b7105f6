// The spectrum window's arithmetic apart from its controls: the view's size
// as the window is resized, the decibel range it shows and scrolls, where
// the window opens, and the frame it hands its view for a reading.
#pragma once

#include "spectrum/spectrum_frame.h"
#include "spectrum/spectrum_plot.h"

#include <cstdint>

namespace tonvale {

// The view's client area as first laid out, and how far it may grow.
constexpr int32_t kBaseViewWidth = 256;
constexpr int32_t kBaseViewHeight = 160;
constexpr int32_t kViewGrowthWidth = 256;
constexpr int32_t kViewGrowthHeight = 160;

// Decibels from 0 down to -120: 121 one-dB steps. The offset is the top
// of the plot below 0 dB; the page is the number of steps shown.
constexpr int kDbSteps = 121;
constexpr int kMaxDbOffset = 120;
constexpr int kBasePage = 51; // at the base view height
constexpr int kDbLineStep = 2;

struct PixelSize {
    int32_t width = 0;
    int32_t height = 0;
};

// The view's client size for a window client area of `client`, the window
// having been laid out at `baseClient`: the base view grown by the window's
// growth, never below the base nor above the base plus the growth limits.
PixelSize viewSizeForClient(PixelSize client, PixelSize baseClient);

// How much a window of the minimum size grows to show a stored view size;
// each direction clamped to 0 ... the growth limit.
PixelSize windowGrowthForView(PixelSize storedView);

// Decibel steps shown by a view of that client height, at a constant number
// of pixels per step: 51 at the base height, at most 121, at least 1.
int pageForViewHeight(int32_t viewHeight);

// The offset kept within 0 ... 121 - page.
int clampDbOffset(int offset, int page);

enum class ScrollAction {
    lineUp,
    lineDown,
    pageUp,
    pageDown,
    thumb, // position and track: to `thumb`
    top,
    bottom,
    other,
};

// The offset after a scroll bar action, clamped.
int scrolledDbOffset(int offset, int page, ScrollAction action, int thumb);

// A rectangle in screen coordinates.
struct ScreenArea {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

// The stored place: an offset from the main window's top-left; a
// coordinate holding INT32_MIN is not set and centres the window on the
// main window in that direction.
struct StoredOffset {
    int32_t x = INT32_MIN;
    int32_t y = INT32_MIN;
};

struct ScreenPlace {
    int32_t x = 0;
    int32_t y = 0;
};

// Where the window goes before it is kept on screen.
ScreenPlace wantedPlace(StoredOffset stored, const ScreenArea& mainWindow, PixelSize window);

// The place kept inside the work area: x raised to its left, then lowered
// to its right minus the width; y lowered to its bottom minus the height,
// then raised to its top, so that the caption stays within reach.
ScreenPlace keepInWorkArea(ScreenPlace place, PixelSize window, const ScreenArea& workArea);

// The offset stored at closing.
inline StoredOffset offsetFromMain(const ScreenArea& window, const ScreenArea& mainWindow) {
    return {window.left - mainWindow.left, window.top - mainWindow.top};
}

// The spectrum part of a reading as the view draws it at band, offset and
// page. `values` is borrowed.
SpectrumFrame frameForReading(const float* values, int32_t count, int32_t rate, int32_t peakBin,
                              int band, int offset, int page);

} // namespace tonvale

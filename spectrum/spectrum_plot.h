// Where the spectrum view draws a frame: the curve's rows for the pixel and
// the anti-aliased back ends, the marker, and how the picture moves into a
// buffer of another size. All in view pixels; the plot is the client area
// above the axis strip, with its top-left corner at (0, 0).
#pragma once

#include "meter/dial_geometry.h"
#include "spectrum/spectrum_frame.h"

#include <cstddef>
#include <cstdint>

namespace tonvale {

constexpr int kAxisStripHeight = 21; // the bottom rows of the view

struct PlotPoint {
    int32_t x = 0;
    int32_t y = 0;
};

// The anti-aliased back end takes the dial's point type.
using SmoothPoint = DialPoint;

// Height of value v above the plot's bottom row, 0 ... maxHeight: maxHeight
// at or above topDb, 0 at or below bottomDb (and for a NaN), linear between.
double curveHeight(float v, int topDb, int bottomDb, int maxHeight);

// Number of columns the frame fills in a plot `plotWidth` wide.
int32_t curveColumns(const SpectrumFrame& frame, int32_t plotWidth);

// The pixel curve as a polyline: one point per column, heights rounded,
// then a repeat of the last height one column further so that a line drawn
// without its end pixel still reaches the last column. Writes
// curveColumns + 1 points (none for an empty frame); `points` holds at
// least plotWidth + 1. Returns the number written.
size_t pixelCurve(const SpectrumFrame& frame, int32_t plotWidth, int32_t plotHeight,
                  PlotPoint* points);

// The anti-aliased curve: one unrounded point per column. `points` holds at
// least plotWidth. Returns the number written.
size_t smoothCurve(const SpectrumFrame& frame, int32_t plotWidth, int32_t plotHeight,
                   SmoothPoint* points);

// The dotted marker is drawn only strictly inside the plot: 0 < column < width.
inline bool markerShown(const SpectrumFrame& frame, int32_t plotWidth) {
    return frame.markerColumn > 0 && frame.markerColumn < plotWidth;
}

struct PixelRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    bool empty() const { return right <= left || bottom <= top; }
};

// A new buffer takes the old one's picture aligned at the bottom-left, so
// that the axis strip stays at the bottom; what the copy does not cover is
// filled black.
struct BufferCarry {
    int32_t width = 0; // of the copied block; 0 when nothing is copied
    int32_t height = 0;
    int32_t sourceY = 0; // top of the block in the old buffer
    int32_t destY = 0;   // ... and in the new one (both at x 0)
    PixelRect fillRight; // right of the old width
    PixelRect fillTop;   // above the old height
};
BufferCarry carryBuffer(int32_t oldWidth, int32_t oldHeight, int32_t newWidth, int32_t newHeight);

} // namespace tonvale

#include "spectrum/spectrum_plot.h"

#include <algorithm>

namespace tonvale {

double curveHeight(float v, int topDb, int bottomDb, int maxHeight) {
    if (v >= topDb)
        return maxHeight;
    if (!(v > bottomDb))
        return 0.0;
    return (v - bottomDb) / static_cast<double>(topDb - bottomDb) * maxHeight;
}

int32_t curveColumns(const SpectrumFrame& frame, int32_t plotWidth) {
    if (!frame.values)
        return 0;
    return std::max(0, std::min(frame.count, plotWidth));
}

size_t pixelCurve(const SpectrumFrame& frame, int32_t plotWidth, int32_t plotHeight,
                  PlotPoint* points) {
    const int32_t n = curveColumns(frame, plotWidth);
    if (n == 0 || plotHeight <= 0)
        return 0;
    const int maxHeight = plotHeight - 1;
    const int32_t bottomRow = plotHeight - 1;
    for (int32_t i = 0; i < n; ++i) {
        const double h = curveHeight(frame.values[i], frame.topDb, frame.bottomDb, maxHeight);
        points[i] = {i, bottomRow - static_cast<int32_t>(h + 0.5)};
    }
    points[n] = {n, points[n - 1].y};
    return static_cast<size_t>(n) + 1;
}

size_t smoothCurve(const SpectrumFrame& frame, int32_t plotWidth, int32_t plotHeight,
                   SmoothPoint* points) {
    const int32_t n = curveColumns(frame, plotWidth);
    if (n == 0 || plotHeight <= 0)
        return 0;
    const int maxHeight = plotHeight - 1;
    for (int32_t i = 0; i < n; ++i) {
        const double h = curveHeight(frame.values[i], frame.topDb, frame.bottomDb, maxHeight);
        points[i] = {static_cast<float>(i), static_cast<float>(maxHeight - h)};
    }
    return static_cast<size_t>(n);
}

BufferCarry carryBuffer(int32_t oldWidth, int32_t oldHeight, int32_t newWidth, int32_t newHeight) {
    BufferCarry carry;
    oldWidth = std::max(oldWidth, 0);
    oldHeight = std::max(oldHeight, 0);
    carry.width = std::min(oldWidth, newWidth);
    carry.height = std::min(oldHeight, newHeight);
    if (carry.width <= 0 || carry.height <= 0) {
        carry.width = carry.height = 0;
        carry.fillRight = {0, 0, newWidth, newHeight};
        return carry;
    }
    carry.sourceY = oldHeight - carry.height;
    carry.destY = newHeight - carry.height;
    if (newWidth > oldWidth)
        carry.fillRight = {oldWidth, 0, newWidth, newHeight};
    if (newHeight > oldHeight)
        carry.fillTop = {0, 0, carry.width, newHeight - oldHeight};
    return carry;
}

} // namespace tonvale

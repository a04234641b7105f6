// The spectrum view's picture as the screen shows it, and what the tests
// look for in it: the curve, the dotted marker and the axis.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace tonvale::test {

// 0x00RRGGBB, as the view's pixels read back.
constexpr uint32_t kCurve = 0x00F0F0;
constexpr uint32_t kMarker = 0x909090;
constexpr uint32_t kWhite = 0xFFFFFF;

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;

    uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    bool allBlack() const;
    // Topmost row of the plot (above the axis strip) holding a pixel that
    // matches; -1 for none.
    int topmostIn(int column, bool (*matches)(uint32_t)) const;
    // The column whose curve pixel is the highest (the leftmost of equals).
    int peakColumn() const;
    // The columns holding at least `minimum` marker pixels.
    std::vector<int> markerColumns(int minimum = 20) const;
    int plotHeight() const { return height - 21; }
};

bool isCurve(uint32_t pixel);
// Anti-aliased curve pixels: cyan of any strength.
bool isSmoothCurve(uint32_t pixel);

// The view's client area as painted on the screen (after pending paints).
Picture viewPicture(HWND view);
// The same read from the screen itself, for a view of another process: what
// covers it is read too.
Picture screenPicture(HWND view);

} // namespace tonvale::test

#include "tests/spectrum/spectrum_picture_win.h"

namespace tonvale::test {

bool Picture::allBlack() const {
    for (uint32_t pixel : pixels)
        if (pixel != 0)
            return false;
    return true;
}

int Picture::topmostIn(int column, bool (*matches)(uint32_t)) const {
    for (int y = 0; y < plotHeight(); ++y)
        if (matches(at(column, y)))
            return y;
    return -1;
}

int Picture::peakColumn() const {
    int best = -1;
    int bestRow = plotHeight();
    for (int x = 0; x < width; ++x) {
        const int row = topmostIn(x, isCurve);
        if (row >= 0 && row < bestRow) {
            bestRow = row;
            best = x;
        }
    }
    return best;
}

std::vector<int> Picture::markerColumns(int minimum) const {
    std::vector<int> columns;
    for (int x = 0; x < width; ++x) {
        int count = 0;
        for (int y = 0; y < plotHeight(); ++y)
            count += at(x, y) == kMarker;
        if (count >= minimum)
            columns.push_back(x);
    }
    return columns;
}

bool isCurve(uint32_t pixel) {
    return pixel == kCurve;
}

bool isSmoothCurve(uint32_t pixel) {
    const uint32_t red = pixel >> 16 & 0xFF;
    const uint32_t green = pixel >> 8 & 0xFF;
    const uint32_t blue = pixel & 0xFF;
    return red < 40 && green > 60 && blue > 60 && (green > blue ? green - blue : blue - green) < 24;
}

namespace {

// width x height pixels of source from (x, y).
Picture pictureOf(HDC source, int x, int y, int width, int height) {
    Picture picture{width, height, std::vector<uint32_t>(static_cast<size_t>(width) * height)};
    if (picture.pixels.empty())
        return picture;
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB};
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = CreateCompatibleDC(source);
    HGDIOBJ old = SelectObject(memory, dib);
    BitBlt(memory, 0, 0, width, height, source, x, y, SRCCOPY);
    GdiFlush();
    const auto* data = static_cast<const uint32_t*>(bits);
    for (size_t i = 0; i < picture.pixels.size(); ++i)
        picture.pixels[i] = data[i] & 0xFFFFFF;
    SelectObject(memory, old);
    DeleteObject(dib);
    DeleteDC(memory);
    return picture;
}

} // namespace

Picture viewPicture(HWND view) {
    UpdateWindow(view);
    RECT client = {};
    GetClientRect(view, &client);
    HDC source = GetDC(view);
    Picture picture = pictureOf(source, 0, 0, client.right, client.bottom);
    ReleaseDC(view, source);
    return picture;
}

Picture screenPicture(HWND view) {
    RECT client = {};
    GetClientRect(view, &client);
    POINT origin = {0, 0};
    ClientToScreen(view, &origin);
    HDC screen = GetDC(nullptr);
    Picture picture = pictureOf(screen, origin.x, origin.y, client.right, client.bottom);
    ReleaseDC(nullptr, screen);
    return picture;
}

} // namespace tonvale::test

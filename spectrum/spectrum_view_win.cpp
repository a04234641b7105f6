#include "spectrum/spectrum_view_win.h"

#include "meter/direct2d_win.h"
#include "spectrum/spectrum_messages_win.h"
#include "spectrum/spectrum_plot.h"
#include "spectrum/spectrum_scale.h"
#include "support/scoped_win.h"
#include "support/window_binding_win.h"

#include <algorithm>
#include <array>

namespace tonvale {
namespace {

constexpr int kLabelFontHeight = 13;
constexpr int kMinorTickLength = 4;
constexpr int kMajorTickLength = 7;
constexpr int kLabelTop = 7; // below the axis line
// Wider than any view: the window lets it grow to 512 columns.
constexpr size_t kMaxColumns = 1024;

HBRUSH blackBrush() {
    return static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
}

void fillBlack(HDC dc, const PixelRect& area) {
    if (area.empty())
        return;
    const RECT rect = {area.left, area.top, area.right, area.bottom};
    FillRect(dc, &rect, blackBrush());
}

void verticalLine(HDC dc, int x, int top, int bottom) {
    MoveToEx(dc, x, top, nullptr);
    LineTo(dc, x, bottom);
}

class SpectrumView {
  public:
    static constexpr int kSlot = kFirstWindowExtraSlot;

    static SpectrumView* attach(HWND window, const CREATESTRUCTW&) {
        return heapNew<SpectrumView>(window);
    }
    static void detach(SpectrumView* view) noexcept { heapDelete(view); }
    static LRESULT defaultProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        return DefWindowProcW(window, message, wParam, lParam);
    }

    explicit SpectrumView(HWND window) : window_(window) {}

    LRESULT handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        switch (message) {
        case WM_CREATE:
            return onCreate();
        case WM_DESTROY:
            dropBuffer();
            return 0;
        case WM_SIZE:
            onSize(LOWORD(lParam), HIWORD(lParam));
            return 0;
        case WM_PAINT:
            onPaint();
            return 0;
        case WM_GETDLGCODE:
            return DLGC_STATIC;
        case kViewDrawFrame:
            draw(reinterpret_cast<const SpectrumFrame*>(wParam));
            return 0;
        case kViewAxisHeight:
            return kAxisStripHeight;
        case kViewRebuild:
            if (buffer_)
                rebuild_ = true;
            return 0;
        default:
            return defaultProcedure(window, message, wParam, lParam);
        }
    }

  private:
    LRESULT onCreate() {
        WindowDC screen(window_);
        dc_.reset(CreateCompatibleDC(screen.get()));
        if (!dc_)
            return -1;
        labelFont_.reset(CreateFontW(kLabelFontHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                     DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                     DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"Arial"));
        // The dotted marker's gaps and the labels leave the black showing.
        SetBkMode(dc_.get(), TRANSPARENT);
        SetTextColor(dc_.get(), RGB(255, 255, 255));
        return 0;
    }

    void onSize(int width, int height) {
        if (width != width_ || height != height_)
            createBuffer(width, height);
    }

    void onPaint() {
        PaintDC paint(window_);
        if (!paint.get())
            return;
        const RECT& area = paint.dirty();
        if (!buffer_) {
            FillRect(paint.get(), &area, blackBrush());
            return;
        }
        SelectionOf selection(dc_.get(), buffer_.get());
        BitBlt(paint.get(), area.left, area.top, area.right - area.left, area.bottom - area.top,
               dc_.get(), area.left, area.top, SRCCOPY);
    }

    void dropBuffer() {
        buffer_.reset();
        width_ = height_ = 0;
        axisBinStep_ = 0;
        rebuild_ = false;
    }

    bool createBuffer(int width, int height);
    void draw(const SpectrumFrame* frame);
    void drawAxis(const SpectrumFrame& frame);
    void drawCurve(const SpectrumFrame& frame, int plotWidth, int plotHeight);

    HWND window_;
    MemoryDC dc_;
    UniqueBitmap buffer_;
    UniqueFont labelFont_;
    UniquePen curvePen_;
    UniquePen markerPen_;
    int width_ = 0; // of the buffer
    int height_ = 0;
    int axisBinStep_ = 0; // of the axis in the buffer; 0 for none
    bool rebuild_ = false;
    std::array<PlotPoint, kMaxColumns + 1> plotPoints_;
    std::array<POINT, kMaxColumns + 1> linePoints_;
    std::array<SmoothPoint, kMaxColumns> smoothPoints_;
};

// The old picture moves into the new buffer at the bottom-left, so a resized
// view keeps its axis at the bottom and its curve until the next frame.
bool SpectrumView::createBuffer(int width, int height) {
    UniqueBitmap fresh;
    if (width > 0 && height > 0) {
        WindowDC screen(window_);
        fresh.reset(CreateCompatibleBitmap(screen.get(), width, height));
    }
    MemoryDC target(fresh ? CreateCompatibleDC(dc_.get()) : nullptr);
    if (!fresh || !target) {
        dropBuffer();
        return false;
    }
    {
        SelectionOf into(target.get(), fresh.get());
        const BufferCarry carry =
            carryBuffer(buffer_ ? width_ : 0, buffer_ ? height_ : 0, width, height);
        if (carry.width > 0) {
            SelectionOf from(dc_.get(), buffer_.get());
            BitBlt(target.get(), 0, carry.destY, carry.width, carry.height, dc_.get(), 0,
                   carry.sourceY, SRCCOPY);
        }
        fillBlack(target.get(), carry.fillRight);
        fillBlack(target.get(), carry.fillTop);
    }
    buffer_ = std::move(fresh);
    width_ = width;
    height_ = height;
    axisBinStep_ = 0;
    rebuild_ = false;
    return true;
}

void SpectrumView::draw(const SpectrumFrame* frame) {
    if (!frame) {
        curvePen_.reset();
        markerPen_.reset();
        dropBuffer();
        InvalidateRect(window_, nullptr, FALSE);
        return;
    }
    if (rebuild_)
        dropBuffer();
    if (!buffer_) {
        RECT client = {};
        GetClientRect(window_, &client);
        if (!createBuffer(client.right, client.bottom)) {
            InvalidateRect(window_, nullptr, FALSE);
            return;
        }
    }
    if (!curvePen_)
        curvePen_.reset(CreatePen(PS_SOLID, 1, kSpectrumCurveColour));
    if (!markerPen_)
        markerPen_.reset(CreatePen(PS_DOT, 1, kSpectrumMarkerColour));

    HDC dc = dc_.get();
    SelectionOf selection(dc, buffer_.get());
    if (frame->binStep != axisBinStep_) {
        drawAxis(*frame);
        axisBinStep_ = frame->binStep;
    }
    const int plotWidth = width_;
    const int plotHeight = height_ - kAxisStripHeight;
    if (plotHeight > 0) {
        fillBlack(dc, {0, 0, plotWidth, plotHeight});
        if (markerShown(*frame, plotWidth)) {
            SelectionOf pen(dc, markerPen_.get());
            verticalLine(dc, frame->markerColumn, 0, plotHeight);
        }
        drawCurve(*frame, plotWidth, plotHeight);
    }
    InvalidateRect(window_, nullptr, FALSE);
}

void SpectrumView::drawAxis(const SpectrumFrame& frame) {
    HDC dc = dc_.get();
    const int axisY = height_ - kAxisStripHeight;
    fillBlack(dc, {0, axisY, width_, height_});
    SelectionOf pen(dc, GetStockObject(WHITE_PEN));
    SelectionOf font(dc, labelFont_.get());
    MoveToEx(dc, 0, axisY, nullptr);
    LineTo(dc, width_, axisY);

    const AxisSteps steps = axisSteps(frame.rate, frame.binStep);
    if (steps.minorHz <= 0)
        return;
    for (int32_t hz = 0;; hz += steps.minorHz) {
        const int32_t x = columnOfFrequency(hz, frame.rate, frame.binStep);
        if (x >= width_)
            break;
        verticalLine(dc, x, axisY, axisY + kMinorTickLength);
    }
    for (int32_t hz = 0;; hz += steps.majorHz) {
        const int32_t x = columnOfFrequency(hz, frame.rate, frame.binStep);
        if (x >= width_)
            break;
        verticalLine(dc, x, axisY, axisY + kMajorTickLength);
        wchar_t label[16] = {};
        const int length = static_cast<int>(axisLabel(hz, label, 16));
        SIZE extent = {};
        GetTextExtentPoint32W(dc, label, length, &extent);
        const int left = hz == 0 ? x : x - extent.cx / 2;
        TextOutW(dc, left, axisY + kLabelTop, label, length);
    }
}

void SpectrumView::drawCurve(const SpectrumFrame& frame, int plotWidth, int plotHeight) {
    const int columns = std::min<int>(plotWidth, static_cast<int>(kMaxColumns));
    HDC dc = dc_.get();
    if (gDirect2D) {
        const size_t count = smoothCurve(frame, columns, plotHeight, smoothPoints_.data());
        const RECT plot = {0, 0, plotWidth, plotHeight};
        // A failed binding leaves the plot without its curve for this frame.
        if (count > 1)
            drawSmoothCurve(dc, plot, smoothPoints_.data(), count, kSpectrumCurveColour);
        return;
    }
    const size_t count = pixelCurve(frame, columns, plotHeight, plotPoints_.data());
    for (size_t i = 0; i < count; ++i)
        linePoints_[i] = {plotPoints_[i].x, plotPoints_[i].y};
    if (count > 1) {
        SelectionOf pen(dc, curvePen_.get());
        Polyline(dc, linePoints_.data(), static_cast<int>(count));
    }
}

} // namespace

LRESULT CALLBACK spectrumViewProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return windowProcedure<SpectrumView>(window, message, wParam, lParam);
}

} // namespace tonvale

#include "spectrum/spectrum_window_win.h"

#include "app/main_window_messages_win.h"
#include "app/process_context_win.h"
#include "dialogs/builder/dialog_builder_win.h"
#include "engine/engine_messages_win.h"
#include "engine/pitch_reading.h"
#include "spectrum/spectrum_messages_win.h"
#include "spectrum/spectrum_scale.h"
#include "spectrum/spectrum_view_win.h"
#include "spectrum/spectrum_window_rules.h"
#include "support/scoped_win.h"
#include "support/settings/tuner_settings.h"
#include "support/ui_text.h"
#include "support/window_binding_win.h"

#include <algorithm>

namespace tonvale {
namespace {

constexpr DWORD kWindowStyle =
    WS_POPUP | WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_VSCROLL;
constexpr DWORD kViewStyle = WS_CHILD | WS_VISIBLE | WS_GROUP;
constexpr DWORD kViewExStyle = WS_EX_CLIENTEDGE;

constexpr int kTitleText = 85;
constexpr int kBandText = 86;
constexpr int kFirstBandText = 150;

constexpr int kControlCount = 6;
const DialogControl kControls[kControlCount] = {
    {L"Static", kBandText, 0, 0, WS_CHILD | WS_VISIBLE | SS_SIMPLE},
    {L"Button", kFirstBandText, kFirstBandButtonId, 0,
     WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP | BS_AUTORADIOBUTTON},
    {L"Button", kFirstBandText + 1, kFirstBandButtonId + 1, 0,
     WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON},
    {L"Button", kFirstBandText + 2, kFirstBandButtonId + 2, 0,
     WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON},
    {L"Button", kFirstBandText + 3, kFirstBandButtonId + 3, 0,
     WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON},
    {kSpectrumViewClassName, kNoText, kSpectrumViewId, kViewExStyle, kViewStyle},
};

HFONT uiFont() {
    return gProcess.uiFont ? gProcess.uiFont : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

ScreenArea areaOf(const RECT& rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}

PixelSize sizeOf(const RECT& rect) {
    return {rect.right - rect.left, rect.bottom - rect.top};
}

// The outer size of the view for a client area of `client`.
PixelSize viewFrameFor(PixelSize client) {
    RECT frame = {0, 0, client.width, client.height};
    AdjustWindowRectEx(&frame, kViewStyle, FALSE, kViewExStyle);
    return sizeOf(frame);
}

ScrollAction scrollAction(WORD code) {
    switch (code) {
    case SB_LINEUP:
        return ScrollAction::lineUp;
    case SB_LINEDOWN:
        return ScrollAction::lineDown;
    case SB_PAGEUP:
        return ScrollAction::pageUp;
    case SB_PAGEDOWN:
        return ScrollAction::pageDown;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
        return ScrollAction::thumb;
    case SB_TOP:
        return ScrollAction::top;
    case SB_BOTTOM:
        return ScrollAction::bottom;
    default:
        return ScrollAction::other;
    }
}

// The controls' rectangles and the client size they need.
struct SpectrumLayout {
    LayoutRect controls[kControlCount];
    PixelSize client;
};

bool buildLayout(HWND window, SpectrumLayout& layout) {
    LayoutDC dc(window, uiFont());
    if (!dc.valid())
        return false;
    const TextMeasure& measure = dc.measure();
    DialogBuilder builder;
    const int rowGap = DialogBuilder::setMetric(DialogBuilder::kRowGap, 8);
    const int columnGap = DialogBuilder::setMetric(DialogBuilder::kColumnGap, 8);
    LayoutNode* leaves[kControlCount] = {};
    leaves[0] = builder.text(measure, 0, UiText(kBandText));
    for (int i = 1; i <= kBandCount; ++i)
        leaves[i] =
            builder.text(measure, DialogBuilder::checkBox(), UiText(kFirstBandText + i - 1));
    const PixelSize viewFrame = viewFrameFor({kBaseViewWidth, kBaseViewHeight});
    leaves[5] = builder.pixels(0, viewFrame.width, viewFrame.height);
    LayoutNode* row = builder.row(measure, kLayoutCentre, nullptr, leaves, kBandCount + 1);
    LayoutNode* body = builder.column(measure, kLayoutTitled, nullptr, {row, leaves[5]});
    DialogBuilder::setMetric(DialogBuilder::kRowGap, rowGap);
    DialogBuilder::setMetric(DialogBuilder::kColumnGap, columnGap);
    DialogBuilder::finish(body, 0, 0, 0);
    for (int i = 0; i < kControlCount; ++i)
        layout.controls[i] = leaves[i]->rect();
    // The window is as wide as the view needs; a wider row of buttons runs
    // on under the scroll bar.
    layout.client = {body->width - std::max(row->width - leaves[5]->width, 0), body->height};
    return true;
}

class SpectrumWindow {
  public:
    static constexpr int kSlot = DWLP_USER;

    static SpectrumWindow* attach(HWND window, const CREATESTRUCTW&) {
        return heapNew<SpectrumWindow>(window);
    }
    static void detach(SpectrumWindow* object) noexcept { heapDelete(object); }
    static LRESULT defaultProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        return DefDlgProcW(window, message, wParam, lParam);
    }

    explicit SpectrumWindow(HWND window) : window_(window) {}

    LRESULT handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        switch (message) {
        case WM_CREATE:
            return onCreate();
        case WM_DESTROY:
            onDestroy();
            return 0;
        case WM_CLOSE:
            onClose();
            return 0;
        case WM_MOVE:
            if (IsWindowVisible(window_))
                rebuildView();
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_ACTIVE || LOWORD(wParam) == WA_CLICKACTIVE)
                rebuildView();
            return defaultProcedure(window, message, wParam, lParam);
        case WM_SIZE:
            if (wParam == SIZE_RESTORED)
                onSize({LOWORD(lParam), HIWORD(lParam)});
            return 0;
        case WM_GETMINMAXINFO:
            onGetMinMaxInfo(*reinterpret_cast<MINMAXINFO*>(lParam));
            return 0;
        case WM_VSCROLL:
            onScroll(scrollAction(LOWORD(wParam)), HIWORD(wParam));
            return 0;
        case WM_COMMAND:
            onCommand(LOWORD(wParam));
            return 0;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == SC_SCREENSAVE && engineRuns())
                return 1;
            return defaultProcedure(window, message, wParam, lParam);
        case kSpectrumEngineStarted:
            onEngineStarted(reinterpret_cast<HANDLE>(wParam), static_cast<DWORD>(lParam));
            return 0;
        case kSpectrumEngineStopped:
            onEngineStopped();
            return 0;
        case kSpectrumReading:
            onReading(reinterpret_cast<const PitchReading*>(wParam));
            return 0;
        default:
            return defaultProcedure(window, message, wParam, lParam);
        }
    }

  private:
    HWND view() const { return GetDlgItem(window_, kSpectrumViewId); }
    bool connected() const { return engineThread_ != nullptr; }
    void rebuildView() const { SendMessageW(view(), kViewRebuild, 0, 0); }

    bool engineRuns() const {
        return gProcess.mainWindow &&
               SendMessageW(gProcess.mainWindow, kMainEngineRunning, 0, 0) != 0;
    }

    // Asks the engine for spectra of the band's length, as many values as
    // the view has columns; zeros cancel.
    void requestSpectra(bool cancel = false) const {
        WPARAM length = 0;
        LPARAM count = 0;
        if (!cancel) {
            RECT client = {};
            GetClientRect(view(), &client);
            length = static_cast<WPARAM>(spectrumSizeOfBand(band_));
            count = client.right;
        }
        PostThreadMessageW(engineThreadId_, kEngineSpectrumRequest, length, count);
    }

    LRESULT onCreate();
    void placeWindow(const SpectrumLayout& layout);
    void onDestroy();
    void onClose();
    void onSize(PixelSize client);
    void onGetMinMaxInfo(MINMAXINFO& info) const;
    void onScroll(ScrollAction action, int thumb);
    void onCommand(UINT id);
    void updateScrollBar() const;
    void onEngineStarted(HANDLE thread, DWORD threadId);
    void onEngineStopped();
    void onReading(const PitchReading* reading) const;

    HWND window_;
    HANDLE engineThread_ = nullptr; // borrowed from the main window while connected
    DWORD engineThreadId_ = 0;
    int band_ = 0;
    int dbOffset_ = 0;
    int page_ = kBasePage;
    PixelSize minimumSize_;
    PixelSize baseClient_;
    PixelSize lastClient_;
};

LRESULT SpectrumWindow::onCreate() {
    SpectrumLayout layout;
    if (!buildLayout(window_, layout) ||
        !createControls(window_, kControls, layout.controls, kControlCount, uiFont()))
        return -1;
    const SpectrumSettings& settings = gTunerSettings.spectrum;
    band_ = std::clamp<int>(settings.frequencyZoom, 0, kBandCount - 1);
    CheckRadioButton(window_, kFirstBandButtonId, kFirstBandButtonId + kBandCount - 1,
                     kFirstBandButtonId + band_);
    dbOffset_ = std::clamp<int>(settings.dBOffset, 0, kMaxDbOffset);
    page_ = kBasePage;
    baseClient_ = layout.client;
    placeWindow(layout);
    // The move has sized the view unless the size came out unchanged.
    RECT client = {};
    GetClientRect(window_, &client);
    lastClient_ = {};
    onSize(sizeOf(client));
    return 0;
}

// At the stored offset from the main window (centred on it where none is
// stored), grown by the stored view size, kept on the nearest monitor.
void SpectrumWindow::placeWindow(const SpectrumLayout& layout) {
    RECT frame = {0, 0, layout.client.width, layout.client.height};
    AdjustWindowRectEx(&frame, kWindowStyle, FALSE, 0);
    minimumSize_ = {frame.right - frame.left + GetSystemMetrics(SM_CXVSCROLL),
                    frame.bottom - frame.top};
    const SpectrumSettings& settings = gTunerSettings.spectrum;
    const PixelSize growth =
        windowGrowthForView({settings.viewSize.width, settings.viewSize.height});
    const PixelSize size = {minimumSize_.width + growth.width, minimumSize_.height + growth.height};

    RECT main = {};
    if (!gProcess.mainWindow || !GetWindowRect(gProcess.mainWindow, &main))
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &main, 0);
    const ScreenPlace wanted =
        wantedPlace({settings.windowPosition.x, settings.windowPosition.y}, areaOf(main), size);
    // The monitor nearest to where the window would go, not to where it was
    // created: a main window on another monitor keeps its popup there.
    const RECT wantedRect = {wanted.x, wanted.y, wanted.x + size.width, wanted.y + size.height};
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    RECT work = main;
    if (GetMonitorInfoW(MonitorFromRect(&wantedRect, MONITOR_DEFAULTTONEAREST), &monitor))
        work = monitor.rcWork;
    const ScreenPlace place = keepInWorkArea(wanted, size, areaOf(work));
    SetWindowPos(window_, nullptr, place.x, place.y, size.width, size.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void SpectrumWindow::onDestroy() {
    if (connected())
        requestSpectra(true);
    engineThread_ = nullptr;
    if (gProcess.spectrumWindow == window_)
        gProcess.spectrumWindow = nullptr;
}

void SpectrumWindow::onClose() {
    SpectrumSettings& settings = gTunerSettings.spectrum;
    HWND main = gProcess.mainWindow;
    RECT mainFrame = {};
    RECT frame = {};
    if (main && !IsIconic(main) && GetWindowRect(main, &mainFrame) &&
        GetWindowRect(window_, &frame)) {
        const StoredOffset offset = offsetFromMain(areaOf(frame), areaOf(mainFrame));
        settings.windowPosition = {offset.x, offset.y};
    }
    RECT viewClient = {};
    GetClientRect(view(), &viewClient);
    settings.viewSize = {viewClient.right, viewClient.bottom};
    settings.frequencyZoom = static_cast<int16_t>(band_);
    settings.dBOffset = static_cast<int16_t>(dbOffset_);
    DestroyWindow(window_);
}

// The view follows the window within its limits; a taller view shows more
// decibels at the same scale.
void SpectrumWindow::onSize(PixelSize client) {
    if (client.width == lastClient_.width && client.height == lastClient_.height)
        return;
    lastClient_ = client;
    const PixelSize viewClient = viewSizeForClient(client, baseClient_);
    const PixelSize viewFrame = viewFrameFor(viewClient);
    SetWindowPos(view(), nullptr, 0, 0, viewFrame.width, viewFrame.height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    page_ = pageForViewHeight(viewClient.height);
    dbOffset_ = clampDbOffset(dbOffset_, page_);
    updateScrollBar();
    if (connected())
        requestSpectra();
}

void SpectrumWindow::onGetMinMaxInfo(MINMAXINFO& info) const {
    if (minimumSize_.width <= 0)
        return; // not laid out yet
    info.ptMinTrackSize = {minimumSize_.width, minimumSize_.height};
    info.ptMaxTrackSize = {minimumSize_.width + kViewGrowthWidth,
                           minimumSize_.height + kViewGrowthHeight};
}

void SpectrumWindow::onScroll(ScrollAction action, int thumb) {
    const int offset = scrolledDbOffset(dbOffset_, page_, action, thumb);
    if (offset == dbOffset_)
        return;
    dbOffset_ = offset;
    updateScrollBar();
}

void SpectrumWindow::updateScrollBar() const {
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMin = 0;
    info.nMax = kMaxDbOffset;
    info.nPage = static_cast<UINT>(page_);
    info.nPos = dbOffset_;
    SetScrollInfo(window_, SB_VERT, &info, TRUE);
}

void SpectrumWindow::onCommand(UINT id) {
    if (id == IDCANCEL) {
        SendMessageW(window_, WM_CLOSE, 0, 0);
        return;
    }
    if (id < kFirstBandButtonId || id >= kFirstBandButtonId + kBandCount)
        return;
    band_ = static_cast<int>(id) - kFirstBandButtonId;
    if (connected())
        requestSpectra();
}

void SpectrumWindow::onEngineStarted(HANDLE thread, DWORD threadId) {
    engineThread_ = thread;
    engineThreadId_ = threadId;
    if (connected())
        requestSpectra();
}

void SpectrumWindow::onEngineStopped() {
    if (!connected())
        return;
    requestSpectra(true);
    engineThread_ = nullptr;
    engineThreadId_ = 0;
    SendMessageW(view(), kViewDrawFrame, 0, 0);
}

// Only while connected: a reading that outlived its engine's stop must not
// bring a curve back.
void SpectrumWindow::onReading(const PitchReading* reading) const {
    if (!reading || reading->spectrumCount <= 0 || !connected())
        return;
    const int32_t count = std::min(reading->spectrumCount, PitchReading::kMaxSpectrum);
    const SpectrumFrame frame = frameForReading(reading->spectrum, count, reading->baseRate,
                                                reading->peakBin, band_, dbOffset_, page_);
    SendMessageW(view(), kViewDrawFrame, reinterpret_cast<WPARAM>(&frame), 0);
}

} // namespace

LRESULT CALLBACK spectrumWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return windowProcedure<SpectrumWindow>(window, message, wParam, lParam);
}

HWND openSpectrumWindow(bool visible) {
    HWND main = gProcess.mainWindow;
    if (main)
        ShowWindow(main, SW_RESTORE);
    if (gProcess.spectrumWindow)
        return gProcess.spectrumWindow;
    HWND window = CreateWindowExW(0, kSpectrumWindowClassName, UiText(kTitleText),
                                  kWindowStyle | (visible ? WS_VISIBLE : 0), 0, 0, 0, 0, main,
                                  nullptr, gProcess.instance, nullptr);
    gProcess.spectrumWindow = window;
    return window;
}

void spectrumCommand(HANDLE engineThread, DWORD engineThreadId) {
    if (HWND open = gProcess.spectrumWindow) {
        if (gProcess.mainWindow)
            ShowWindow(gProcess.mainWindow, SW_RESTORE);
        SetActiveWindow(open);
        return;
    }
    HWND window = openSpectrumWindow(true);
    if (window && engineThread)
        SendMessageW(window, kSpectrumEngineStarted, reinterpret_cast<WPARAM>(engineThread),
                     static_cast<LPARAM>(engineThreadId));
}

bool registerSpectrumClasses(HINSTANCE instance, HICON smallIcon) {
    WNDCLASSEXW window = {};
    window.cbSize = sizeof window;
    window.lpfnWndProc = spectrumWindowProcedure;
    window.cbWndExtra = kSpectrumWindowExtraBytes;
    window.hInstance = instance;
    window.hIconSm = smallIcon;
    window.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    window.lpszClassName = kSpectrumWindowClassName;
    WNDCLASSEXW view = window;
    view.style = CS_PARENTDC;
    view.lpfnWndProc = spectrumViewProcedure;
    view.cbWndExtra = kSpectrumViewExtraBytes;
    view.hIconSm = nullptr;
    view.lpszClassName = kSpectrumViewClassName;
    return RegisterClassExW(&window) && RegisterClassExW(&view);
}

} // namespace tonvale

#include "levrig/connected_lines_win.h"

#include "dialogs/builder/dialog_builder_win.h"
#include "levrig/endpoint_win.h"
#include "levrig/levrig_texts.h"
#include "levrig/library_win.h"
#include "levrig/panel_column_win.h"
#include "levrig/source_line_win.h"
#include "levrig/window_geometry.h"
#include "support/ui_text.h"
#include "support/window_binding_win.h"

#include <windows.h>

#include <algorithm>

namespace tonvale {
namespace levrig {
namespace {

constexpr int kNameId = 256;
constexpr int kColumnId = 300;
// The dialog stands this far right of and below the main window's corner.
constexpr int kOffset = 16;

constexpr DWORD kDialogStyle =
    WS_POPUP | WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | DS_MODALFRAME;

class ConnectedLines : public PanelSource {
  public:
    struct Setup {
        HWND mainWindow;
        CEndPoint* endpoint;
    };

    explicit ConnectedLines(const Setup& setup)
        : mainWindow_(setup.mainWindow), endpoint_(*setup.endpoint) {}

    static ConnectedLines* attach(HWND dialog, LPARAM initParam);
    static void detach(ConnectedLines* object) noexcept { privateDelete(object); }
    INT_PTR handleMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

    bool createPanels(HWND column) override;
    // Once shown: the main window waits while this is open (disabling it
    // after the show lets it find this as its enabled popup).
    void holdMainWindow() {
        EnableWindow(mainWindow_, FALSE);
        mainDisabled_ = true;
    }
    void focusFirstLine() {
        CSrcLine* first = lines_.first();
        if (!first || !first->panel())
            return;
        if (HWND control = column_.showPanel(first->panel()))
            SendMessageW(dialog_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    }

  private:
    bool onInitDialog();
    bool layOut(int& clientWidth);
    void sizeAndPlace(int clientWidth);
    void onSize();
    void onClose();

    HWND mainWindow_;
    CEndPoint& endpoint_;
    HWND dialog_ = nullptr;
    CSrcLineList lines_;
    PanelColumn column_;
    int margin_ = 0;
    int columnTop_ = 0;
    int columnWidth_ = 0;
    int width_ = 0;
    HeightLimits heights_;
    bool mainDisabled_ = false;
};

ConnectedLines* ConnectedLines::attach(HWND dialog, LPARAM initParam) {
    ConnectedLines* object = privateNew<ConnectedLines>(*reinterpret_cast<Setup*>(initParam));
    if (object)
        object->dialog_ = dialog;
    return object;
}

INT_PTR ConnectedLines::handleMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        if (!onInitDialog())
            DestroyWindow(dialog);
        return FALSE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL)
            onClose();
        return TRUE;
    case WM_CLOSE:
        onClose();
        return TRUE;
    case WM_SIZE:
        onSize();
        return TRUE;
    case WM_GETMINMAXINFO:
        if (width_) {
            auto& info = *reinterpret_cast<MINMAXINFO*>(lParam);
            info.ptMinTrackSize.x = info.ptMaxTrackSize.x = width_;
            info.ptMinTrackSize.y = heights_.minimum;
            info.ptMaxTrackSize.y = heights_.maximum;
        }
        return TRUE;
    case WM_DESTROY:
        if (mainDisabled_) {
            EnableWindow(mainWindow_, TRUE);
            mainDisabled_ = false;
        }
        lines_.release();
        return FALSE;
    default:
        return FALSE;
    }
}

bool ConnectedLines::onInitDialog() {
    margin_ = DialogBuilder::metric(DialogBuilder::kRowGap);
    {
        LockScope lock(modelLock());
        if (!lines_.build(endpoint_))
            return false;
    }
    if (!column_.create(dialog_, kColumnId, *this))
        return false;
    column_.layout();
    int clientWidth = 0;
    if (!layOut(clientWidth))
        return false;
    SetDlgItemTextW(dialog_, kNameId, lines_.friendlyName().c_str());
    sizeAndPlace(clientWidth);
    return true;
}

bool ConnectedLines::createPanels(HWND column) {
    for (CSrcLine* line = lines_.first(); line; line = line->next) {
        if (!line->createPanel(column))
            return false;
    }
    return true;
}

bool ConnectedLines::layOut(int& clientWidth) {
    LayoutDC dc(dialog_, uiFont());
    if (!dc.valid())
        return false;
    DialogBuilder builder;
    LayoutNode* name = builder.text(dc.measure(), sizeDescriptor(0, 0, 0, kLayoutStretch),
                                    lines_.friendlyName().c_str(), TextPrefix::plain);
    LayoutNode* room = builder.pixels(kLayoutStretch, column_.width(), 0);
    LayoutNode* root = builder.column(dc.measure(), 0, nullptr, {name, room});
    DialogBuilder::finish(root, margin_, margin_, 0);
    clientWidth = root->width + 2 * margin_;
    columnTop_ = room->y;
    columnWidth_ = room->width;
    const DialogControl control = {L"Static", kNoText, kNameId, 0,
                                   WS_CHILD | WS_VISIBLE | WS_GROUP | SS_NOPREFIX |
                                       SS_LEFTNOWORDWRAP};
    const LayoutRect rect = name->rect();
    return createControls(dialog_, &control, &rect, 1, uiFont());
}

void ConnectedLines::sizeAndPlace(int clientWidth) {
    RECT frame = {0, 0, clientWidth, columnTop_ + margin_};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(dialog_, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(dialog_, GWL_EXSTYLE)));
    width_ = frame.right - frame.left;
    const int chrome = frame.bottom - frame.top + column_.borderHeight();
    heights_ = windowHeights(chrome, column_.rowHeight(), column_.contentHeight(),
                             GetSystemMetrics(SM_CYSCREEN));
    const int remembered = endpoint_.linesDialogHeight();
    int height = remembered ? remembered : chrome + column_.contentHeight();
    height = std::min(std::max(height, heights_.minimum), heights_.maximum);

    RECT main = {};
    GetWindowRect(mainWindow_, &main);
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    RECT work = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (GetMonitorInfoW(MonitorFromWindow(mainWindow_, MONITOR_DEFAULTTONEAREST), &info))
        work = info.rcWork;
    const PixelPoint place = keptInside({main.left + kOffset, main.top + kOffset}, width_, height,
                                        PixelRect{work.left, work.top, work.right, work.bottom});
    SetWindowPos(dialog_, nullptr, place.x, place.y, width_, height, SWP_NOZORDER | SWP_NOACTIVATE);
    onSize();
}

void ConnectedLines::onSize() {
    if (!column_.window())
        return;
    RECT client = {};
    GetClientRect(dialog_, &client);
    SetWindowPos(column_.window(), nullptr, margin_, columnTop_, columnWidth_,
                 std::max<int>(0, client.bottom - columnTop_ - margin_),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void ConnectedLines::onClose() {
    RECT rect = {};
    GetWindowRect(dialog_, &rect);
    endpoint_.setLinesDialogHeight(rect.bottom - rect.top);
    // The main window takes its input back before this one goes, so it
    // becomes the active window again.
    EnableWindow(mainWindow_, TRUE);
    mainDisabled_ = false;
    DestroyWindow(dialog_);
}

} // namespace

bool openConnectedLines(HWND mainWindow, CEndPoint& endpoint) {
    alignas(4) BYTE buffer[256];
    const DLGTEMPLATE* dialogTemplate =
        emptyTemplate(buffer, sizeof buffer, UiText(kTextConnectedLines), kDialogStyle);
    ConnectedLines::Setup setup{mainWindow, &endpoint};
    HWND dialog = CreateDialogIndirectParamW(libraryModule(), dialogTemplate, mainWindow,
                                             dialogProcedure<ConnectedLines>,
                                             reinterpret_cast<LPARAM>(&setup));
    if (!dialog || !IsWindow(dialog))
        return false;
    ShowWindow(dialog, SW_SHOW);
    if (auto* object = boundObject<ConnectedLines>(dialog, DWLP_USER)) {
        object->holdMainWindow();
        object->focusFirstLine();
    }
    return true;
}

} // namespace levrig
} // namespace tonvale

#include "dialogs/builder/dialog_builder_win.h"

#include "support/ui_text.h"

#include <algorithm>

namespace tonvale {
namespace {

UINT prefixFlag(TextPrefix prefix) {
    return prefix == TextPrefix::plain ? DT_NOPREFIX : 0;
}

TextExtent calculate(HDC dc, const wchar_t* text, RECT bounds, UINT flags) {
    if (!dc)
        return {};
    // DrawTextW leaves an empty text's rectangle alone; the line still counts.
    const wchar_t* measured = text && *text ? text : L" ";
    DrawTextW(dc, measured, -1, &bounds, flags | DT_CALCRECT);
    TextExtent extent = {bounds.right - bounds.left, bounds.bottom - bounds.top};
    if (measured != text)
        extent.width = 0;
    return extent;
}

} // namespace

TextExtent DcTextMeasure::textExtent(const wchar_t* text, TextPrefix prefix) const {
    return calculate(dc_, text, RECT{0, 0, 0, 0}, DT_LEFT | DT_EXPANDTABS | prefixFlag(prefix));
}

TextExtent DcTextMeasure::wrappedExtent(const wchar_t* text, int maxWidth,
                                        TextPrefix prefix) const {
    return calculate(dc_, text, RECT{0, 0, std::max(maxWidth, 1), 0}, wrappedTextFlags(prefix));
}

int DcTextMeasure::screenWidth() const {
    return GetSystemMetrics(SM_CXSCREEN);
}

UINT wrappedTextFlags(TextPrefix prefix) {
    return DT_LEFT | DT_WORDBREAK | DT_EXPANDTABS | prefixFlag(prefix);
}

int askScreenDpi() {
    WindowDC screen(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen.get(), LOGPIXELSX) : 0;
    return dpi > 0 ? dpi : 96;
}

const DLGTEMPLATE* emptyTemplate(void* buffer, size_t size, const wchar_t* title, DWORD style) {
    if (writeEmptyTemplate(buffer, size, title, style) == 0)
        return nullptr;
    return static_cast<const DLGTEMPLATE*>(buffer);
}

bool createControls(HWND dialog, const DialogControl* table, const LayoutRect* rectangles,
                    int count, HFONT font) {
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(dialog, GWLP_HINSTANCE));
    for (int i = 0; i < count; ++i) {
        const DialogControl& control = table[i];
        const LayoutRect& rect = rectangles[i];
        HWND window = CreateWindowExW(
            control.exStyle, control.className,
            control.text == kNoText ? L"" : UiText(control.text), control.style, rect.x, rect.y,
            rect.width, rect.height, dialog,
            reinterpret_cast<HMENU>(static_cast<UINT_PTR>(control.id)), instance, nullptr);
        if (!window)
            return false;
        SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    return true;
}

void centreOnParent(HWND dialog, int clientWidth, int clientHeight) {
    RECT frame = {0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_STYLE)),
                       GetMenu(dialog) != nullptr,
                       static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_EXSTYLE)));
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;

    HWND parent = GetParent(dialog);
    if (!parent)
        parent = GetWindow(dialog, GW_OWNER);
    HMONITOR monitor = MonitorFromWindow(parent ? parent : dialog, MONITOR_DEFAULTTONEAREST);
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    RECT work = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (monitor && GetMonitorInfoW(monitor, &info))
        work = info.rcWork;
    RECT around = work;
    if (parent && IsWindowVisible(parent) && !IsIconic(parent))
        GetWindowRect(parent, &around);

    int x = around.left + (around.right - around.left - width) / 2;
    int y = around.top + (around.bottom - around.top - height) / 2;
    // Keep the caption reachable: the top left corner wins over the rest.
    x = std::max<int>(std::min<int>(x, work.right - width), work.left);
    y = std::max<int>(std::min<int>(y, work.bottom - height), work.top);
    SetWindowPos(dialog, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace tonvale

#include "app/message_box_win.h"

#include "app/process_context_win.h"
#include "app/standard_icons_win.h"
#include "dialogs/builder/dialog_builder_win.h"
#include "support/scoped_win.h"
#include "support/ui_text.h"
#include "support/window_binding_win.h"
#include "support/windows_version.h"

#include <windowsx.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace tonvale {
namespace {

constexpr int kMaxDisabledWindows = 16;
constexpr UINT kCopyCommand = 1;
constexpr DWORD kButtonStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_CENTER;

// NONCLIENTMETRICSW without the padded border that Windows 6.0 added, so the
// query also works before it.
constexpr UINT kClassicNonClientMetricsSize = offsetof(NONCLIENTMETRICSW, iPaddedBorderWidth);

HFONT boxFont() {
    return gProcess.uiFont ? gProcess.uiFont : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

// What the caption needs: the close box (with its margin when the caption
// buttons are square) and the title in the caption font.
int captionWidth(HDC dc, const wchar_t* caption) {
    if (!caption || !*caption)
        return 0;
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = kClassicNonClientMetricsSize;
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0))
        return 0;
    UniqueFont font(CreateFontIndirectW(&metrics.lfCaptionFont));
    SelectionOf selection(dc, font.get());
    RECT bounds = {};
    DrawTextW(dc, caption, -1, &bounds, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    const int closeBox = GetSystemMetrics(SM_CXSIZE);
    return closeBox + (closeBox == GetSystemMetrics(SM_CYSIZE) ? 8 : 0) + bounds.right;
}

int workAreaHeight(HWND window) {
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    HMONITOR monitor = MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
    if (monitor && GetMonitorInfoW(monitor, &info))
        return info.rcWork.bottom - info.rcWork.top;
    return GetSystemMetrics(SM_CYSCREEN);
}

void copyText(HWND owner, const wchar_t* text) {
    const std::wstring copy = withCrLf(text);
    const size_t bytes = (copy.size() + 1) * sizeof(wchar_t);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!block)
        return;
    if (void* data = GlobalLock(block)) {
        std::memcpy(data, copy.c_str(), bytes);
        GlobalUnlock(block);
        if (OpenClipboard(owner)) {
            EmptyClipboard();
            if (SetClipboardData(CF_UNICODETEXT, block))
                block = nullptr; // the clipboard owns it now
            CloseClipboard();
        }
    }
    if (block)
        GlobalFree(block);
}

class MessageBoxDialog {
  public:
    static MessageBoxDialog* attach(HWND dialog, LPARAM parameter) {
        auto* request = reinterpret_cast<MessageBoxRequest*>(parameter);
        request->dialog = dialog;
        return heapNew<MessageBoxDialog>(*request);
    }
    static void detach(MessageBoxDialog* box) noexcept { heapDelete(box); }

    explicit MessageBoxDialog(MessageBoxRequest& request) : request_(request) {}

    INT_PTR handleMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
        switch (message) {
        case WM_INITDIALOG:
            return onInit(dialog);
        case WM_DRAWITEM:
            return onDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        case WM_PAINT:
            return onPaint(dialog);
        case WM_CTLCOLORSTATIC:
            return onStaticColour();
        case WM_COMMAND:
            return onCommand(dialog, LOWORD(wParam));
        case WM_CONTEXTMENU:
            return onContextMenu(dialog, lParam);
        default:
            return FALSE;
        }
    }

  private:
    bool taskDialogLook() const { return isWindowsVistaOrLater(); }

    INT_PTR onInit(HWND dialog) {
        SetWindowTextW(dialog, request_.caption);
        if (!build(dialog)) {
            request_.result = -1;
            EndDialog(dialog, 0);
            return FALSE;
        }
        const MessageBoxPlan& plan = request_.plan;
        if (plan.icon) {
            SendDlgItemMessageW(dialog, kMessageBoxIconId, STM_SETICON,
                                reinterpret_cast<WPARAM>(loadStandardIcon(plan.icon)), 0);
        }
        if (plan.cancelIndex < 0)
            DeleteMenu(GetSystemMenu(dialog, FALSE), SC_CLOSE, MF_BYCOMMAND);
        const int defaultId = kMessageBoxFirstButtonId + plan.defaultButton;
        SendMessageW(dialog, DM_SETDEFID, defaultId, 0);
        SetFocus(GetDlgItem(dialog, defaultId));
        if (plan.foreground)
            SetForegroundWindow(dialog);
        if (plan.iconClass == mb::kIconHand || plan.iconClass == mb::kIconExclamation)
            MessageBeep(plan.iconClass);
        return FALSE; // the focus is set
    }

    bool build(HWND dialog) {
        LayoutDC dc(dialog, request_.font);
        if (!dc.valid())
            return false;
        const MessageBoxPlan& plan = request_.plan;
        MessageBoxLayoutInput input;
        input.text = request_.text;
        for (int i = 0; i < plan.buttonCount; ++i)
            input.buttonTexts[i] = UiText(plan.buttonTexts[i]);
        input.buttonCount = plan.buttonCount;
        input.cancelText = UiText(kTextCancel);
        input.hasIcon = plan.icon != 0;
        input.iconWidth = request_.iconWidth;
        input.iconHeight = request_.iconHeight;
        input.taskDialogLook = taskDialogLook();
        input.captionWidth = captionWidth(dc.get(), request_.caption);
        // Room for the caption, the buttons and the margins on the screen.
        input.maxTextHeight = workAreaHeight(request_.owner) * 3 / 4;
        const MessageBoxLayout layout = layoutMessageBox(dc.measure(), input);
        request_.bandHeight = layout.bandHeight;

        DialogControl table[2 + kMaxMessageBoxButtons] = {
            {L"Static", kNoText, kMessageBoxIconId, 0,
             WS_CHILD | WS_GROUP | SS_ICON | (plan.icon ? WS_VISIBLE : 0u)},
            {L"Static", kNoText, kMessageBoxTextId, 0, WS_CHILD | WS_VISIBLE | SS_OWNERDRAW},
        };
        LayoutRect rects[2 + kMaxMessageBoxButtons] = {layout.icon, layout.text};
        for (int i = 0; i < plan.buttonCount; ++i) {
            DWORD style = kButtonStyle | (i == 0 ? WS_GROUP : 0u) |
                          (i == plan.defaultButton ? BS_DEFPUSHBUTTON : 0u);
            table[2 + i] = {L"Button", plan.buttonTexts[i],
                            static_cast<uint16_t>(kMessageBoxFirstButtonId + i), 0, style};
            rects[2 + i] = layout.buttons[i];
        }
        centreOnParent(dialog, layout.clientWidth, layout.clientHeight);
        if (!createControls(dialog, table, rects, 2 + plan.buttonCount, request_.font))
            return false;
        // Not drawn by the control; there for screen readers and tests.
        SetDlgItemTextW(dialog, kMessageBoxTextId, request_.text);
        return true;
    }

    INT_PTR onDrawItem(const DRAWITEMSTRUCT& item) {
        if (item.CtlID != kMessageBoxTextId || !(item.itemAction & ODA_DRAWENTIRE))
            return FALSE;
        const bool band = request_.bandHeight > 0;
        FillRect(item.hDC, &item.rcItem, GetSysColorBrush(band ? COLOR_WINDOW : COLOR_BTNFACE));
        SelectionOf font(item.hDC, request_.font);
        SetBkMode(item.hDC, TRANSPARENT);
        SetTextColor(item.hDC, GetSysColor(band ? COLOR_WINDOWTEXT : COLOR_BTNTEXT));
        RECT area = item.rcItem;
        DrawTextW(item.hDC, request_.text, -1, &area, wrappedTextFlags(TextPrefix::plain));
        return TRUE;
    }

    INT_PTR onPaint(HWND dialog) {
        if (request_.bandHeight <= 0)
            return FALSE;
        PaintDC paint(dialog);
        RECT dirty = paint.dirty();
        RECT white = dirty;
        white.bottom = std::min<LONG>(dirty.bottom, request_.bandHeight);
        if (white.bottom > white.top)
            FillRect(paint.get(), &white, GetSysColorBrush(COLOR_WINDOW));
        RECT grey = dirty;
        grey.top = std::max<LONG>(dirty.top, request_.bandHeight);
        if (grey.bottom > grey.top)
            FillRect(paint.get(), &grey, GetSysColorBrush(COLOR_BTNFACE));
        return TRUE;
    }

    INT_PTR onStaticColour() {
        if (request_.bandHeight <= 0)
            return FALSE;
        return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_WINDOW));
    }

    INT_PTR onCommand(HWND dialog, int id) {
        const MessageBoxPlan& plan = request_.plan;
        int index = -1;
        if (id == IDCANCEL)
            index = plan.cancelIndex;
        else if (id >= kMessageBoxFirstButtonId && id < kMessageBoxFirstButtonId + plan.buttonCount)
            index = id - kMessageBoxFirstButtonId;
        if (index < 0)
            return TRUE; // no cancel button: Esc and the close box do nothing
        request_.result = index;
        EndDialog(dialog, index + 1);
        return TRUE;
    }

    INT_PTR onContextMenu(HWND dialog, LPARAM lParam) {
        if (lParam == -1)
            return FALSE; // from the keyboard
        POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        POINT inClient = point;
        ScreenToClient(dialog, &inClient);
        RECT client = {};
        GetClientRect(dialog, &client);
        if (!PtInRect(&client, inClient))
            return FALSE;
        UniqueMenu menu(CreatePopupMenu());
        if (!menu || !AppendMenuW(menu.get(), MF_STRING, kCopyCommand, UiText(kTextCopy)))
            return TRUE;
        const UINT chosen = static_cast<UINT>(
            TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, point.x,
                           point.y, 0, dialog, nullptr));
        if (chosen == kCopyCommand)
            copyText(dialog, request_.text);
        return TRUE;
    }

    MessageBoxRequest& request_;
};

struct DisabledWindows {
    HWND owner;
    HWND windows[kMaxDisabledWindows];
    int count;
};

// The owner itself or one of the windows above it.
bool ownsOrIs(HWND window, HWND owner) {
    // GetParent answers the owner of a top-level window and the parent of a child.
    for (HWND step = owner; step; step = GetParent(step))
        if (step == window)
            return true;
    return false;
}

BOOL CALLBACK collectEnabled(HWND window, LPARAM lParam) {
    auto& disabled = *reinterpret_cast<DisabledWindows*>(lParam);
    if (disabled.count >= kMaxDisabledWindows)
        return FALSE;
    if (IsWindowVisible(window) && IsWindowEnabled(window) && !ownsOrIs(window, disabled.owner))
        disabled.windows[disabled.count++] = window;
    return TRUE;
}

} // namespace

int TunerMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) {
    MessageBoxRequest request;
    request.owner = owner ? owner : GetDesktopWindow();
    request.font = boxFont();
    request.iconWidth = GetSystemMetrics(SM_CXICON);
    request.iconHeight = GetSystemMetrics(SM_CYICON);
    request.text = text ? text : L"";
    request.caption = caption ? caption : L"";
    request.plan = planMessageBox(type);

    // Errors and warnings hold the whole thread's windows, not just the owner.
    DisabledWindows disabled = {request.owner, {}, 0};
    if (request.plan.iconClass != mb::kIconQuestion &&
        request.plan.iconClass != mb::kIconAsterisk) {
        EnumThreadWindows(GetCurrentThreadId(), collectEnabled,
                          reinterpret_cast<LPARAM>(&disabled));
        for (int i = 0; i < disabled.count; ++i)
            EnableWindow(disabled.windows[i], FALSE);
    }

    alignas(4) unsigned char buffer[kTemplateHeaderBytes + 2];
    const DLGTEMPLATE* bare = emptyTemplate(buffer, sizeof buffer, nullptr);
    const INT_PTR ended =
        bare ? DialogBoxIndirectParamW(gProcess.instance ? gProcess.instance
                                                         : GetModuleHandleW(nullptr),
                                       bare, request.owner, dialogProcedure<MessageBoxDialog>,
                                       reinterpret_cast<LPARAM>(&request))
             : 0;
    if (ended < 1)
        request.result = -1;

    const DWORD error = GetLastError();
    for (int i = 0; i < disabled.count; ++i)
        EnableWindow(disabled.windows[i], TRUE);
    SetLastError(error);
    return messageBoxResult(request.plan, request.result);
}

} // namespace tonvale

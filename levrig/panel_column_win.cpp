#include "levrig/panel_column_win.h"

#include "dialogs/builder/dialog_builder_win.h"
#include "levrig/library_win.h"
#include "levrig/window_geometry.h"
#include "support/window_binding_win.h"

#include <windows.h>

#include <windowsx.h>

namespace tonvale {
namespace levrig {
namespace {

constexpr DWORD kColumnStyle = kChildDialogStyle | WS_VISIBLE | WS_VSCROLL | WS_CLIPSIBLINGS |
                               WS_CLIPCHILDREN | WS_GROUP | WS_TABSTOP;

ScrollAction scrollAction(int code) {
    switch (code) {
    case SB_LINEUP:
        return ScrollAction::lineUp;
    case SB_LINEDOWN:
        return ScrollAction::lineDown;
    case SB_PAGEUP:
        return ScrollAction::pageUp;
    case SB_PAGEDOWN:
        return ScrollAction::pageDown;
    case SB_TOP:
        return ScrollAction::top;
    case SB_BOTTOM:
        return ScrollAction::bottom;
    default:
        return ScrollAction::thumb;
    }
}

} // namespace

HWND PanelColumn::create(HWND parent, int id, PanelSource& source) {
    alignas(4) BYTE buffer[64];
    const DLGTEMPLATE* dialogTemplate = emptyTemplate(buffer, sizeof buffer, nullptr, kColumnStyle);
    Setup setup{this, &source};
    HWND column =
        CreateDialogIndirectParamW(libraryModule(), dialogTemplate, parent,
                                   dialogProcedure<PanelColumn>, reinterpret_cast<LPARAM>(&setup));
    if (column)
        SetWindowLongPtrW(column, GWLP_ID, id);
    return column;
}

PanelColumn* PanelColumn::attach(HWND column, LPARAM initParam) {
    auto* setup = reinterpret_cast<Setup*>(initParam);
    setup->column->window_ = column;
    return setup->column;
}

INT_PTR PanelColumn::handleMessage(HWND column, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        auto* setup = reinterpret_cast<Setup*>(lParam);
        if (!onInitDialog(*setup->source)) {
            // The owner sees the failure as a null window.
            window_ = nullptr;
            DestroyWindow(column);
        }
        return FALSE;
    }
    case WM_SIZE:
        layout();
        return TRUE;
    case WM_VSCROLL:
        if (!lParam)
            onScroll(LOWORD(wParam));
        return TRUE;
    case WM_MOUSEWHEEL:
        onMouseWheel(wParam, lParam);
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL PanelColumn::onInitDialog(PanelSource& source) {
    SetWindowLongPtrW(window_, GWL_EXSTYLE,
                      GetWindowLongPtrW(window_, GWL_EXSTYLE) | WS_EX_CLIENTEDGE);
    SetWindowPos(window_, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    if (!source.createPanels(window_))
        return FALSE;
    firstPanel_ = GetWindow(window_, GW_CHILD);
    if (!firstPanel_)
        return FALSE;
    RECT panel = {};
    GetWindowRect(firstPanel_, &panel);
    rowHeight_ = panel.bottom - panel.top - 2;
    return TRUE;
}

int PanelColumn::width() const {
    RECT panel = {};
    if (firstPanel_)
        GetWindowRect(firstPanel_, &panel);
    return panel.right - panel.left + GetSystemMetrics(SM_CXVSCROLL) +
           2 * GetSystemMetrics(SM_CXEDGE);
}

int PanelColumn::borderHeight() const {
    return 2 * GetSystemMetrics(SM_CYEDGE);
}

int PanelColumn::clientHeight() const {
    RECT client = {};
    GetClientRect(window_, &client);
    return client.bottom;
}

void PanelColumn::layout() {
    if (!window_)
        return;
    int visible = 0;
    HDWP positions = BeginDeferWindowPos(8);
    for (HWND panel = GetWindow(window_, GW_CHILD); panel; panel = GetWindow(panel, GW_HWNDNEXT)) {
        if (!(GetWindowLongPtrW(panel, GWL_STYLE) & WS_VISIBLE))
            continue;
        const int top = panelContentTop(visible++, rowHeight_);
        if (positions)
            positions = DeferWindowPos(positions, panel, nullptr, 0, top - position_, 0, 0,
                                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    contentHeight_ = columnContentHeight(visible, rowHeight_);
    const int client = clientHeight();
    const int position = clampedScroll(position_, contentHeight_, client);
    if (position != position_) {
        // The panels were placed for the old position; move them with it.
        const int moved = position_ - position;
        position_ = position;
        if (positions)
            EndDeferWindowPos(positions);
        positions = nullptr;
        ScrollWindowEx(window_, 0, moved, nullptr, nullptr, nullptr, nullptr,
                       SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
    }
    if (positions)
        EndDeferWindowPos(positions);
    const ScrollBarState bar = scrollBarState(position_, contentHeight_, client);
    SCROLLINFO info = {sizeof info,
                       SIF_ALL | SIF_DISABLENOSCROLL,
                       0,
                       bar.maximum,
                       static_cast<UINT>(bar.page),
                       bar.position,
                       0};
    SetScrollInfo(window_, SB_VERT, &info, TRUE);
}

void PanelColumn::scrollTo(int position) {
    position = clampedScroll(position, contentHeight_, clientHeight());
    if (position == position_)
        return;
    const int moved = position_ - position;
    position_ = position;
    ScrollWindowEx(window_, 0, moved, nullptr, nullptr, nullptr, nullptr,
                   SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
    SetScrollPos(window_, SB_VERT, position_, TRUE);
}

void PanelColumn::onScroll(int code) {
    if (code == SB_ENDSCROLL)
        return;
    SCROLLINFO info = {sizeof info, SIF_TRACKPOS};
    GetScrollInfo(window_, SB_VERT, &info);
    scrollTo(scrolledPosition(scrollAction(code), position_, info.nTrackPos, contentHeight_,
                              clientHeight()));
}

// The wheel scrolls the column only with the pointer on its scroll bar:
// over a panel it belongs to the slider under it.
void PanelColumn::onMouseWheel(WPARAM wParam, LPARAM lParam) {
    POINT pointer = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ScreenToClient(window_, &pointer);
    RECT client = {};
    GetClientRect(window_, &client);
    if (pointer.x < client.right)
        return;
    wheelRemainder_ += GET_WHEEL_DELTA_WPARAM(wParam);
    const int notches = wheelRemainder_ / WHEEL_DELTA;
    wheelRemainder_ -= notches * WHEEL_DELTA;
    if (notches)
        scrollTo(position_ - notches * scrollLine(clientHeight()));
}

HWND PanelColumn::showPanel(HWND panel) {
    RECT rect = {};
    GetWindowRect(panel, &rect);
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&rect), 2);
    scrollTo(centringScroll(rect.top + position_, rowHeight_, contentHeight_, clientHeight()));
    return GetNextDlgTabItem(panel, nullptr, FALSE);
}

} // namespace levrig
} // namespace tonvale

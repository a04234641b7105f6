#include "levrig/panels_window_win.h"

#include "dialogs/builder/dialog_builder_win.h"
#include "levrig/levrig_messages_win.h"
#include "levrig/levrig_texts.h"
#include "levrig/library_win.h"
#include "levrig/panel_column_win.h"
#include "levrig/window_geometry.h"
#include "support/ui_text.h"
#include "support/window_binding_win.h"

#include <windows.h>

#include <algorithm>

namespace tonvale {
namespace levrig {
namespace {

constexpr int kAdapterListId = 256;
constexpr int kColumnId = 300;

constexpr DWORD kWindowStyle = WS_POPUP | WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;

PixelRect workAreaNear(HWND window) {
    HMONITOR monitor = window ? MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST)
                              : MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    RECT work = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (monitor && GetMonitorInfoW(monitor, &info))
        work = info.rcWork;
    return {work.left, work.top, work.right, work.bottom};
}

// The window's enabled popup (an open "Connected Lines" dialog), if any.
// Wine 8 answers GW_ENABLEDPOPUP with nothing, so the thread's windows are
// searched when the system does not tell.
HWND enabledPopupOf(HWND window) {
    if (HWND popup = GetWindow(window, GW_ENABLEDPOPUP))
        return popup;
    struct Search {
        HWND owner;
        HWND found;
    } search{window, nullptr};
    EnumThreadWindows(
        GetWindowThreadProcessId(window, nullptr),
        [](HWND candidate, LPARAM context) {
            auto* state = reinterpret_cast<Search*>(context);
            if (candidate != state->owner && GetWindow(candidate, GW_OWNER) == state->owner &&
                IsWindowVisible(candidate) && IsWindowEnabled(candidate)) {
                state->found = candidate;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

class PanelsWindow : public PanelsView, public PanelSource {
  public:
    struct Setup {
        CEndPointList* list;
        HWND owner;
        const VolumeOptions* options;
        WindowOutcome* outcome;
    };

    explicit PanelsWindow(const Setup& setup)
        : list_(*setup.list), owner_(setup.owner), outcome_(*setup.outcome),
          savedLeft_(setup.options->left), savedTop_(setup.options->top),
          savedHeight_(setup.options->height) {}

    static PanelsWindow* attach(HWND window, LPARAM initParam);
    static void detach(PanelsWindow* object) noexcept { privateDelete(object); }
    INT_PTR handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND keyTarget() const { return enabledPopup_ ? enabledPopup_ : window_; }
    // Once shown: the focus to the panel shown first (a dialog that is not
    // visible yet takes its focus from its first control when it appears).
    void focusFirstPanel() {
        if (!firstPanel_)
            return;
        if (HWND control = column_.showPanel(firstPanel_))
            SendMessageW(window_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    }

    // PanelsView
    HWND panelColumn() override { return column_.window(); }
    void adapterAdded(const Text& name) override;
    void showCurrentAdapter() override;
    void keepFocus() override;
    // PanelSource
    bool createPanels(HWND column) override;

  private:
    BOOL onInitDialog();
    bool createAdapterList();
    void sizeAndPlace();
    void setIcons();
    void onAdapterChosen();
    void onClose();
    void onSize();
    void onMinMaxInfo(MINMAXINFO& info) const;
    void rememberPlace();

    CEndPointList& list_;
    HWND owner_;
    WindowOutcome& outcome_;
    HWND window_ = nullptr;
    HWND adapterList_ = nullptr;
    HWND enabledPopup_ = nullptr;
    HWND firstPanel_ = nullptr;
    PanelColumn column_;
    int32_t savedLeft_;
    int32_t savedTop_;
    int32_t savedHeight_;
    int margin_ = 0;
    int columnTop_ = 0;
    int width_ = 0;
    int columnWidth_ = 0;
    HeightLimits heights_;
};

PanelsWindow* PanelsWindow::attach(HWND window, LPARAM initParam) {
    PanelsWindow* object = privateNew<PanelsWindow>(*reinterpret_cast<Setup*>(initParam));
    if (object)
        object->window_ = window;
    return object;
}

INT_PTR PanelsWindow::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        if (!onInitDialog()) {
            DestroyWindow(window);
            return FALSE;
        }
        return FALSE; // the focus is set (or left to the system)
    case WM_COMMAND:
        if (LOWORD(wParam) == kAdapterListId && HIWORD(wParam) == CBN_SELENDOK)
            onAdapterChosen();
        else if (LOWORD(wParam) == IDCANCEL)
            onClose();
        return TRUE;
    case WM_CLOSE:
        onClose();
        return TRUE;
    case WM_SIZE:
        onSize();
        return TRUE;
    case WM_GETMINMAXINFO:
        onMinMaxInfo(*reinterpret_cast<MINMAXINFO*>(lParam));
        return TRUE;
    case WM_ENABLE:
        enabledPopup_ = wParam ? nullptr : enabledPopupOf(window);
        return TRUE;
    case kProcessNotices: {
        list_.processNotices(*this);
        return TRUE;
    }
    case WM_DESTROY:
        // Destroyed from outside (its owner went): the thread must end too.
        if (!outcome_.closed) {
            rememberPlace();
            PostQuitMessage(0);
        }
        return FALSE;
    default:
        return FALSE;
    }
}

BOOL PanelsWindow::onInitDialog() {
    setIcons();
    margin_ = DialogBuilder::metric(DialogBuilder::kRowGap);
    if (!column_.create(window_, kColumnId, *this))
        return FALSE;
    showCurrentAdapter();
    if (!createAdapterList())
        return FALSE;
    sizeAndPlace();
    list_.setWindow(window_);
    // Shown only with its adapter; the window itself is not shown yet.
    CEndPoint* first = list_.current();
    if (first && first->panel() && (GetWindowLongPtrW(first->panel(), GWL_STYLE) & WS_VISIBLE))
        firstPanel_ = first->panel();
    return TRUE;
}

bool PanelsWindow::createPanels(HWND column) {
    for (CEndPoint* endpoint = list_.first(); endpoint; endpoint = endpoint->next) {
        if (!endpoint->createPanel(column))
            return false;
    }
    return true;
}

bool PanelsWindow::createAdapterList() {
    LayoutDC dc(window_, uiFont());
    if (!dc.valid())
        return false;
    DialogBuilder builder;
    const auto& names = list_.adapterNames();
    std::vector<const wchar_t*> texts;
    for (const Text& name : names)
        texts.push_back(name.c_str());
    LayoutNode* combo = builder.widest(dc.measure(), DialogBuilder::checkBox() | kLayoutStretch,
                                       texts.data(), texts.size());
    LayoutNode* room = builder.pixels(kLayoutStretch, column_.width(), 0);
    LayoutNode* root = builder.column(dc.measure(), 0, nullptr, {combo, room});
    DialogBuilder::finish(root, margin_, margin_, 0);
    width_ = root->width + 2 * margin_;
    columnTop_ = room->y;
    columnWidth_ = room->width;
    // A drop-down list is created with the height of its open list.
    const DialogControl control = {L"ComboBox", kNoText, kAdapterListId, 0,
                                   WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST | WS_VSCROLL |
                                       WS_GROUP | WS_TABSTOP};
    LayoutRect rect = combo->rect();
    rect.height += 200;
    if (!createControls(window_, &control, &rect, 1, uiFont()))
        return false;
    adapterList_ = GetDlgItem(window_, kAdapterListId);
    for (const Text& name : names)
        SendMessageW(adapterList_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    SendMessageW(adapterList_, CB_SETCURSEL, list_.currentAdapter(), 0);
    // The adapter list goes first in the tab order.
    SetWindowPos(adapterList_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return true;
}

void PanelsWindow::sizeAndPlace() {
    const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(window_, GWL_STYLE));
    const DWORD exStyle = static_cast<DWORD>(GetWindowLongPtrW(window_, GWL_EXSTYLE));
    RECT frame = {0, 0, width_, columnTop_ + margin_};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    const int windowWidth = frame.right - frame.left;
    const int chrome = frame.bottom - frame.top + column_.borderHeight();
    heights_ = windowHeights(chrome, column_.rowHeight(), column_.contentHeight(),
                             GetSystemMetrics(SM_CYSCREEN));
    width_ = windowWidth;
    const int height = initialHeight(savedHeight_, heights_);
    PixelPoint ownerCorner;
    if (owner_) {
        RECT ownerRect = {};
        GetWindowRect(owner_, &ownerRect);
        ownerCorner = {ownerRect.left, ownerRect.top};
    }
    const PixelPoint place = initialPosition(owner_ != nullptr, ownerCorner, savedLeft_, savedTop_,
                                             windowWidth, height, workAreaNear(owner_));
    SetWindowPos(window_, nullptr, place.x, place.y, windowWidth, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    onSize();
}

void PanelsWindow::setIcons() {
    HICON large =
        owner_ ? reinterpret_cast<HICON>(GetClassLongPtrW(owner_, GCLP_HICON)) : libraryIcon(true);
    HICON small = owner_ ? reinterpret_cast<HICON>(GetClassLongPtrW(owner_, GCLP_HICONSM))
                         : libraryIcon(false);
    SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(large));
    SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
}

void PanelsWindow::showCurrentAdapter() {
    const auto& names = list_.adapterNames();
    const size_t current = list_.currentAdapter();
    for (CEndPoint* endpoint = list_.first(); endpoint; endpoint = endpoint->next) {
        if (!endpoint->panel())
            continue;
        const bool shown = current < names.size() && endpoint->adapterName() == names[current];
        ShowWindow(endpoint->panel(), shown ? SW_SHOWNA : SW_HIDE);
    }
    column_.layout();
}

void PanelsWindow::adapterAdded(const Text& name) {
    if (adapterList_)
        SendMessageW(adapterList_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    showCurrentAdapter();
}

void PanelsWindow::keepFocus() {
    HWND focus = GetFocus();
    if (!focus || !IsWindowEnabled(focus) || !IsWindowVisible(focus)) {
        if (HWND next = GetNextDlgTabItem(window_, focus, FALSE))
            SetFocus(next);
    }
}

void PanelsWindow::onAdapterChosen() {
    const LRESULT chosen = SendMessageW(adapterList_, CB_GETCURSEL, 0, 0);
    if (chosen < 0 || static_cast<size_t>(chosen) == list_.currentAdapter())
        return;
    list_.setCurrentAdapter(static_cast<size_t>(chosen));
    showCurrentAdapter();
}

void PanelsWindow::onSize() {
    if (!column_.window())
        return;
    RECT client = {};
    GetClientRect(window_, &client);
    const int height = std::max<int>(0, client.bottom - columnTop_ - margin_);
    SetWindowPos(column_.window(), nullptr, margin_, columnTop_, columnWidth_, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void PanelsWindow::onMinMaxInfo(MINMAXINFO& info) const {
    if (!width_)
        return;
    info.ptMinTrackSize.x = info.ptMaxTrackSize.x = width_;
    info.ptMinTrackSize.y = heights_.minimum;
    info.ptMaxTrackSize.y = heights_.maximum;
}

void PanelsWindow::rememberPlace() {
    RECT rect = {};
    GetWindowRect(window_, &rect);
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    // A minimised window's rectangle is off the screen; keep its normal place.
    if (IsIconic(window_) && GetWindowPlacement(window_, &placement))
        rect = placement.rcNormalPosition;
    SavedPlace& place = outcome_.place;
    place.left = rect.left;
    place.top = rect.top;
    place.height = rect.bottom - rect.top;
    if (owner_ && IsWindow(owner_)) {
        RECT ownerRect = {};
        GetWindowRect(owner_, &ownerRect);
        place.left -= ownerRect.left;
        place.top -= ownerRect.top;
    }
    outcome_.closed = true;
}

void PanelsWindow::onClose() {
    if (outcome_.closed)
        return;
    // An open "Connected Lines" dialog goes first (it gives the window back
    // its input).
    if (HWND popup = enabledPopupOf(window_))
        DestroyWindow(popup);
    ShowWindow(window_, SW_HIDE);
    rememberPlace();
    PostQuitMessage(0);
}

} // namespace

HWND createPanelsWindow(CEndPointList& list, HWND owner, const VolumeOptions& options,
                        WindowOutcome& outcome) {
    alignas(4) BYTE buffer[256];
    const DWORD style = owner ? kWindowStyle : kWindowStyle | WS_MINIMIZEBOX;
    const DLGTEMPLATE* dialogTemplate =
        emptyTemplate(buffer, sizeof buffer,
                      UiText(list.recording() ? kTextRecordingTitle : kTextPlaybackTitle), style);
    PanelsWindow::Setup setup{&list, owner, &options, &outcome};
    HWND window =
        CreateDialogIndirectParamW(libraryModule(), dialogTemplate, owner,
                                   dialogProcedure<PanelsWindow>, reinterpret_cast<LPARAM>(&setup));
    if (!window || !IsWindow(window))
        return nullptr;
    ShowWindow(window, SW_SHOW);
    if (auto* object = boundObject<PanelsWindow>(window, DWLP_USER))
        object->focusFirstPanel();
    return window;
}

HWND dialogKeyTarget(HWND window) {
    auto* object = boundObject<PanelsWindow>(window, DWLP_USER);
    return object ? object->keyTarget() : window;
}

} // namespace levrig
} // namespace tonvale

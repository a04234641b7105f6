#include "dialogs/builder/tabbed_dialog_win.h"

#include "dialogs/builder/dialog_builder_win.h"
#include "dialogs/builder/page_area.h"
#include "dialogs/builder/tabbed_dialog_messages_win.h"
#include "support/scoped_win.h"
#include "support/ui_text.h"
#include "support/window_binding_win.h"
#include "support/windows_version.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

namespace tonvale {
namespace {

constexpr int kMaxHosts = 8;
constexpr DWORD kThemeTabTexture = 0x6; // ETDT_ENABLETAB
constexpr size_t kTemplateBytes = kTemplateHeaderBytes + 2 * 64;

// Hosts open on this thread and the keyboard hook they share.
struct HostRegistry {
    UniqueHook hook;
    HWND hosts[kMaxHosts] = {};
    int count = 0;
};
thread_local HostRegistry gRegistry;

LRESULT CALLBACK tabKeyHook(int code, WPARAM key, LPARAM flags) {
    const bool pressed = (flags & 0x80000000) == 0;
    const bool alt = (flags & 0x20000000) != 0;
    if (code == HC_ACTION && key == VK_TAB && pressed && !alt && GetKeyState(VK_CONTROL) < 0 &&
        !GetCapture()) {
        HWND focus = GetFocus();
        for (int i = gRegistry.count - 1; focus && i >= 0; --i) {
            HWND host = gRegistry.hosts[i];
            if (focus == host || IsChild(host, focus)) {
                PostMessageW(host, kTabbedDialogMoveTab, GetKeyState(VK_SHIFT) < 0 ? 0 : 1, 0);
                return 1; // swallowed
            }
        }
    }
    return CallNextHookEx(nullptr, code, key, flags);
}

bool registerHost(HWND host) {
    if (gRegistry.count >= kMaxHosts)
        return false;
    if (!gRegistry.hook) {
        gRegistry.hook.reset(
            SetWindowsHookExW(WH_KEYBOARD, tabKeyHook, nullptr, GetCurrentThreadId()));
        if (!gRegistry.hook)
            return false;
    }
    gRegistry.hosts[gRegistry.count++] = host;
    return true;
}

void unregisterHost(HWND host) {
    int kept = 0;
    for (int i = 0; i < gRegistry.count; ++i)
        if (gRegistry.hosts[i] != host)
            gRegistry.hosts[kept++] = gRegistry.hosts[i];
    gRegistry.count = kept;
    if (kept == 0)
        gRegistry.hook.reset();
}

// uxtheme is not on every system the program runs on; look it up once.
void themeAsTabPage(HWND page) {
    using EnableTexture = HRESULT(WINAPI*)(HWND, DWORD);
    using IsThemed = BOOL(WINAPI*)();
    static UniqueLibrary library;
    static EnableTexture enableTexture = nullptr;
    static IsThemed isAppThemed = nullptr;
    static bool looked = false;
    if (!looked) {
        looked = true;
        if (isWindowsXpOrLater())
            library.reset(LoadLibraryW(L"uxtheme.dll"));
        if (library) {
            enableTexture = reinterpret_cast<EnableTexture>(
                reinterpret_cast<void*>(GetProcAddress(library.get(), "EnableThemeDialogTexture")));
            isAppThemed = reinterpret_cast<IsThemed>(
                reinterpret_cast<void*>(GetProcAddress(library.get(), "IsAppThemed")));
        }
    }
    if (enableTexture && isAppThemed && isAppThemed())
        enableTexture(page, kThemeTabTexture);
}

INT_PTR CALLBACK pageBeforeItsProcedure(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

class TabbedDialogHost {
  public:
    TabbedDialogHost(const TabbedDialogHeader& header, const TabbedPage* pages, int count)
        : header_(header), pages_(pages), count_(count), windows_(static_cast<size_t>(count)) {}

    static TabbedDialogHost* attach(HWND, LPARAM parameter) {
        return reinterpret_cast<TabbedDialogHost*>(parameter);
    }
    static void detach(TabbedDialogHost*) noexcept {}

    // The largest page, with the height raised to a pleasant aspect.
    bool measurePages() {
        for (int i = 0; i < count_; ++i) {
            int width = 0, height = 0;
            if (!pages_[i].layout(nullptr, header_.font, header_.shared, &width, &height))
                return false;
            areaWidth_ = std::max(areaWidth_, width);
            areaHeight_ = std::max(areaHeight_, height);
        }
        areaHeight_ = pageAreaHeight(areaWidth_, areaHeight_);
        return true;
    }

    INT_PTR handleMessage(HWND host, UINT message, WPARAM wParam, LPARAM lParam) {
        switch (message) {
        case WM_INITDIALOG:
            return onInit(host);
        case WM_COMMAND:
            return onCommand(host, LOWORD(wParam));
        case WM_NOTIFY:
            return onNotify(host, *reinterpret_cast<const NMHDR*>(lParam));
        case kTabbedDialogMoveTab:
            return onMoveTab(host, wParam != 0);
        case WM_DESTROY:
            unregisterHost(host);
            return FALSE;
        default:
            return FALSE;
        }
    }

  private:
    bool hasHelp() const { return !header_.omitHelp && header_.helpText != kNoText; }

    INT_PTR onInit(HWND host) {
        host_ = host;
        if (!build(host) || !registerHost(host)) {
            EndDialog(host, 0);
            return FALSE;
        }
        const int start = std::clamp(header_.startPage, 0, count_ - 1);
        TabCtrl_SetCurSel(tab_, start);
        if (!activate(start))
            EndDialog(host, IDCANCEL);
        return FALSE; // the page has the focus
    }

    bool build(HWND host) {
        const DialogControl tab = {WC_TABCONTROLW, kNoText, kTabControlId, 0,
                                   WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS};
        const LayoutRect nowhere = {};
        if (!createControls(host, &tab, &nowhere, 1, header_.font))
            return false;
        tab_ = GetDlgItem(host, kTabControlId);
        for (int i = 0; i < count_; ++i) {
            TCITEMW item = {};
            item.mask = TCIF_TEXT;
            item.pszText = const_cast<wchar_t*>(UiText(pages_[i].title));
            if (TabCtrl_InsertItem(tab_, i, &item) < 0)
                return false;
        }
        RECT area = {0, 0, areaWidth_, areaHeight_};
        TabCtrl_AdjustRect(tab_, TRUE, &area);

        LayoutDC dc(host, header_.font);
        if (!dc.valid())
            return false;
        const TextMeasure& measure = dc.measure();
        DialogBuilder builder;
        const wchar_t* texts[3] = {UiText(header_.okText), UiText(header_.cancelText),
                                   hasHelp() ? UiText(header_.helpText) : nullptr};
        LayoutNode* buttons[3] = {};
        const LayoutNode* size = builder.widest(measure, DialogBuilder::pushButton(), texts, 3);
        for (LayoutNode*& button : buttons)
            button = builder.pixels(0, size->width, size->height);
        LayoutNode* row = builder.row(measure, 0, nullptr, buttons, hasHelp() ? 3 : 2);
        LayoutNode* tabNode = builder.pixels(0, area.right - area.left, area.bottom - area.top);
        LayoutNode* root = builder.column(measure, kLayoutAlignEnd, nullptr, {tabNode, row});
        const int margin = DialogBuilder::metric(DialogBuilder::kRowGap);
        DialogBuilder::finish(root, margin, margin, 0);

        const DWORD button = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
        const DialogControl table[3] = {
            {L"Button", header_.okText, IDOK, 0, button | WS_GROUP | BS_DEFPUSHBUTTON},
            {L"Button", header_.cancelText, IDCANCEL, 0, button},
            {L"Button", hasHelp() ? header_.helpText : kNoText, kTabbedHelpId, 0,
             hasHelp() ? button : WS_CHILD | WS_TABSTOP},
        };
        const LayoutRect rects[3] = {buttons[0]->rect(), buttons[1]->rect(), buttons[2]->rect()};
        SetWindowTextW(host, UiText(header_.caption));
        centreOnParent(host, root->width + 2 * margin, root->height + 2 * margin);
        if (!createControls(host, table, rects, 3, header_.font))
            return false;
        MoveWindow(tab_, tabNode->x, tabNode->y, tabNode->width, tabNode->height, FALSE);
        return true;
    }

    // The tab control's display area, in the host's client coordinates.
    RECT displayArea() const {
        RECT area = {};
        GetWindowRect(tab_, &area);
        MapWindowPoints(nullptr, host_, reinterpret_cast<POINT*>(&area), 2);
        TabCtrl_AdjustRect(tab_, FALSE, &area);
        return area;
    }

    HWND createPage(int index) {
        alignas(4) unsigned char buffer[kTemplateBytes];
        const DLGTEMPLATE* child =
            emptyTemplate(buffer, sizeof buffer, UiText(pages_[index].title), kChildDialogStyle);
        const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(host_, GWLP_HINSTANCE));
        HWND page =
            child ? CreateDialogIndirectParamW(instance, child, host_, pageBeforeItsProcedure, 0)
                  : nullptr;
        if (!page)
            return nullptr;
        themeAsTabPage(page);
        const RECT area = displayArea();
        SetWindowPos(page, HWND_TOP, area.left, area.top, area.right - area.left,
                     area.bottom - area.top, SWP_NOACTIVATE);
        SetWindowLongPtrW(page, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(pages_[index].procedure));
        SendMessageW(page, WM_INITDIALOG, 0, reinterpret_cast<LPARAM>(header_.shared));
        return IsWindow(page) ? page : nullptr;
    }

    LRESULT notifyPage(int index, UINT code, LPARAM parameter) {
        PSHNOTIFY notify = {};
        notify.hdr.hwndFrom = host_;
        notify.hdr.idFrom = 0;
        notify.hdr.code = code;
        notify.lParam = parameter;
        return SendMessageW(windows_[static_cast<size_t>(index)], WM_NOTIFY, 0,
                            reinterpret_cast<LPARAM>(&notify));
    }

    bool activate(int index) {
        if (current_ >= 0 && current_ != index)
            ShowWindow(windows_[static_cast<size_t>(current_)], SW_HIDE);
        HWND& page = windows_[static_cast<size_t>(index)];
        if (!page)
            page = createPage(index);
        if (!page)
            return false;
        current_ = index;
        TabCtrl_SetCurSel(tab_, index);
        notifyPage(index, PSN_SETACTIVE, 0);
        SetWindowPos(page, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        ShowWindow(page, SW_SHOW);
        HWND first = GetNextDlgTabItem(page, nullptr, FALSE);
        SetFocus(first ? first : page);
        return true;
    }

    void activateOrCancel(int index) {
        if (!activate(index))
            EndDialog(host_, IDCANCEL);
    }

    // The current page first, then the other pages shown so far in order.
    void apply() {
        for (int step = -1; step < count_; ++step) {
            const int index = step < 0 ? current_ : step;
            if ((step >= 0 && index == current_) || !windows_[static_cast<size_t>(index)])
                continue;
            const LRESULT answer = notifyPage(index, PSN_APPLY, TRUE);
            if (answer != PSNRET_NOERROR) {
                if (answer == PSNRET_INVALID && index != current_)
                    activateOrCancel(index);
                return;
            }
        }
        EndDialog(host_, IDOK);
    }

    INT_PTR onCommand(HWND host, int id) {
        switch (id) {
        case IDOK:
            apply();
            return TRUE;
        case IDCANCEL:
            EndDialog(host, IDCANCEL);
            return TRUE;
        case kTabbedHelpId:
            if (current_ >= 0)
                notifyPage(current_, PSN_HELP, 0);
            return TRUE;
        default:
            return FALSE;
        }
    }

    INT_PTR onNotify(HWND, const NMHDR& header) {
        if (header.hwndFrom == tab_ && header.code == TCN_SELCHANGE) {
            const int selected = TabCtrl_GetCurSel(tab_);
            if (selected >= 0 && selected != current_)
                activateOrCancel(selected);
        }
        return FALSE;
    }

    INT_PTR onMoveTab(HWND, bool forward) {
        if (count_ > 0 && current_ >= 0)
            activateOrCancel((current_ + (forward ? 1 : count_ - 1)) % count_);
        return TRUE;
    }

    TabbedDialogHeader header_;
    const TabbedPage* pages_;
    int count_;
    std::vector<HWND> windows_;
    HWND host_ = nullptr;
    HWND tab_ = nullptr;
    int current_ = -1;
    int areaWidth_ = 0;
    int areaHeight_ = 0;
};

} // namespace

INT_PTR runTabbedDialog(const TabbedDialogHeader& header, const TabbedPage* pages, int count) {
    if (!pages || count <= 0)
        return 0;
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    TabbedDialogHost host(header, pages, count);
    if (!host.measurePages())
        return 0;
    alignas(4) unsigned char buffer[kTemplateHeaderBytes + 2];
    const DLGTEMPLATE* bare = emptyTemplate(buffer, sizeof buffer, nullptr);
    HINSTANCE instance =
        header.parent
            ? reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(header.parent, GWLP_HINSTANCE))
            : GetModuleHandleW(nullptr);
    const INT_PTR result =
        DialogBoxIndirectParamW(instance, bare, header.parent, dialogProcedure<TabbedDialogHost>,
                                reinterpret_cast<LPARAM>(&host));
    return result > 0 ? result : 0;
}

} // namespace tonvale

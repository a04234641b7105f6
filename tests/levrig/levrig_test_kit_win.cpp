#include "levrig_test_kit_win.h"

#include "tests/ui_kit/ui_test_kit_win.h"

#include <commctrl.h>

#include <algorithm>

namespace tonvale::levrig::testkit {
namespace {

constexpr int kColumn = 300;

} // namespace

std::vector<HWND> threadWindows(DWORD threadId) {
    std::vector<HWND> windows;
    EnumThreadWindows(
        threadId,
        [](HWND window, LPARAM list) {
            reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&windows));
    return windows;
}

std::vector<std::wstring> adapterNames(HWND window) {
    HWND list = GetDlgItem(window, kAdapterList);
    std::vector<std::wstring> names;
    const LRESULT count = SendMessageW(list, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        std::wstring name(static_cast<size_t>(SendMessageW(list, CB_GETLBTEXTLEN, i, 0)), L'\0');
        SendMessageW(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(name.data()));
        names.push_back(name);
    }
    return names;
}

int chosenAdapter(HWND window) {
    return static_cast<int>(SendDlgItemMessageW(window, kAdapterList, CB_GETCURSEL, 0, 0));
}

void chooseAdapter(HWND window, int index) {
    HWND list = GetDlgItem(window, kAdapterList);
    SendMessageW(list, CB_SETCURSEL, index, 0);
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(kAdapterList, CBN_SELENDOK),
                 reinterpret_cast<LPARAM>(list));
}

std::vector<HWND> panels(HWND window, bool onlyVisible) {
    std::vector<HWND> found;
    HWND column = GetDlgItem(window, kColumn);
    for (HWND panel = GetWindow(column, GW_CHILD); panel; panel = GetWindow(panel, GW_HWNDNEXT)) {
        if (!onlyVisible || IsWindowVisible(panel))
            found.push_back(panel);
    }
    auto top = [](HWND panel) {
        RECT rect = {};
        GetWindowRect(panel, &rect);
        return rect.top;
    };
    if (onlyVisible)
        std::sort(found.begin(), found.end(), [&](HWND a, HWND b) { return top(a) < top(b); });
    return found;
}

std::wstring panelName(HWND panel) {
    return uikit::windowText(GetDlgItem(panel, kPanelName));
}

HWND panelNamed(HWND window, const std::wstring& name) {
    for (HWND panel : panels(window, false)) {
        if (panelName(panel) == name)
            return panel;
    }
    return nullptr;
}

HWND focusedPanel(HWND window) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) || !info.hwndFocus)
        return nullptr;
    for (HWND panel : panels(window, false)) {
        if (IsChild(panel, info.hwndFocus))
            return panel;
    }
    return nullptr;
}

void moveSlider(HWND panel, int id, int position) {
    HWND slider = GetDlgItem(panel, id);
    SendMessageW(slider, TBM_SETPOS, TRUE, position);
    SendMessageW(panel, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, position),
                 reinterpret_cast<LPARAM>(slider));
    SendMessageW(panel, WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), reinterpret_cast<LPARAM>(slider));
}

int sliderPosition(HWND panel, int id) {
    return static_cast<int>(SendDlgItemMessageW(panel, id, TBM_GETPOS, 0, 0));
}

std::wstring controlText(HWND panel, int id) {
    return uikit::windowText(GetDlgItem(panel, id));
}

bool checked(HWND panel, int id) {
    return IsDlgButtonChecked(panel, id) == BST_CHECKED;
}

bool enabled(HWND panel, int id) {
    return IsWindowEnabled(GetDlgItem(panel, id)) != FALSE;
}

std::wstring takeErrorBox(DWORD timeoutMs) {
    HWND box = nullptr;
    uikit::waitUntil(
        [&] {
            for (HWND candidate : uikit::findWindows(uikit::kDialogClass, nullptr)) {
                // The caption is the library's; the text is the static without an id.
                if (GetDlgItem(candidate, 0xFFFF) && GetDlgItem(candidate, IDOK)) {
                    box = candidate;
                    return true;
                }
            }
            return false;
        },
        timeoutMs, uikit::Pump::no);
    if (!box)
        return L"<none>";
    std::wstring text = uikit::windowText(box) + L": " + uikit::windowText(GetDlgItem(box, 0xFFFF));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    uikit::waitUntil([&] { return !IsWindow(box); }, 15000, uikit::Pump::no);
    return text;
}

} // namespace tonvale::levrig::testkit

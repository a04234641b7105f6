// Drives the settings dialog of a running tuner from outside, with the
// messages a user's clicks and typing would send.
//   settings_probe wait TITLE TIMEOUT_MS   waits for the dialog (by its title)
//   settings_probe gone TIMEOUT_MS         waits until it has closed
//   settings_probe page N                  shows page N (0 Tuning ... 2 Device)
//   settings_probe type ID TEXT            sets the text of control ID
//   settings_probe choose ID TEXT          chooses the list entry TEXT
//   settings_probe text ID                 prints the text of control ID
//   settings_probe press ID                clicks button ID (1 OK, 2 Cancel)
// Exit status 0 on success, 1 when the dialog or the control was not found.
#include <windows.h>

#include <commctrl.h>

#include "app/program_version.h"
#include "dialogs/builder/tabbed_dialog_messages_win.h"
#include "dialogs/builder/tabbed_dialog_win.h"

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

constexpr DWORD kSendTimeoutMs = 2000;
constexpr DWORD kPollMs = 20;

struct DialogQuery {
    DWORD process;
    const wchar_t* title;
    HWND found;
};

BOOL CALLBACK findDialog(HWND window, LPARAM parameter) {
    auto& query = *reinterpret_cast<DialogQuery*>(parameter);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    if (process != query.process || wcscmp(name, L"#32770") != 0 || !IsWindowVisible(window) ||
        !GetDlgItem(window, tonvale::kTabControlId))
        return TRUE;
    wchar_t title[256] = {};
    GetWindowTextW(window, title, 256);
    if (query.title && wcscmp(title, query.title) != 0)
        return TRUE;
    query.found = window;
    return FALSE;
}

// The tuner's tabbed dialog with that title (any title when null).
HWND settingsDialog(const wchar_t* title) {
    HWND tuner = FindWindowW(tonvale::kSingleInstanceName, nullptr);
    if (!tuner)
        return nullptr;
    DialogQuery query = {0, title, nullptr};
    GetWindowThreadProcessId(tuner, &query.process);
    EnumWindows(findDialog, reinterpret_cast<LPARAM>(&query));
    return query.found;
}

struct ControlQuery {
    int id;
    HWND found;
};

BOOL CALLBACK findControl(HWND window, LPARAM parameter) {
    auto& query = *reinterpret_cast<ControlQuery*>(parameter);
    if (GetDlgCtrlID(window) != query.id)
        return TRUE;
    query.found = window;
    return FALSE;
}

// The control on the dialog or on one of its pages (pages exist once shown).
HWND control(HWND dialog, int id) {
    ControlQuery query = {id, nullptr};
    EnumChildWindows(dialog, findControl, reinterpret_cast<LPARAM>(&query));
    return query.found;
}

LRESULT send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result);
    return static_cast<LRESULT>(result);
}

bool waitFor(bool present, const wchar_t* title, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while ((settingsDialog(title) != nullptr) != present) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(kPollMs);
    }
    return true;
}

int currentPage(HWND dialog) {
    return static_cast<int>(send(GetDlgItem(dialog, tonvale::kTabControlId), TCM_GETCURSEL, 0, 0));
}

bool showPage(HWND dialog, int page) {
    for (int step = 0; step < 3 && currentPage(dialog) != page; ++step) {
        const int before = currentPage(dialog);
        PostMessageW(dialog, tonvale::kTabbedDialogMoveTab, 1, 0);
        for (int i = 0; i < 100 && currentPage(dialog) == before; ++i)
            Sleep(kPollMs);
    }
    return currentPage(dialog) == page;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring command = argc > 1 ? argv[1] : L"";
    if (command == L"wait" && argc > 3)
        return waitFor(true, argv[2], static_cast<DWORD>(_wtoi(argv[3]))) ? 0 : 1;
    if (command == L"gone" && argc > 2)
        return waitFor(false, nullptr, static_cast<DWORD>(_wtoi(argv[2]))) ? 0 : 1;
    HWND dialog = settingsDialog(nullptr);
    if (!dialog) {
        std::printf("no settings dialog\n");
        return 1;
    }
    if (command == L"page" && argc > 2)
        return showPage(dialog, _wtoi(argv[2])) ? 0 : 1;
    HWND target = argc > 2 ? control(dialog, _wtoi(argv[2])) : nullptr;
    if (!target) {
        std::printf("no such control\n");
        return 1;
    }
    const int id = _wtoi(argv[2]);
    if (command == L"type" && argc > 3) {
        send(target, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[3]));
    } else if (command == L"choose" && argc > 3) {
        // The entry by its index, read entry by entry: a string pointer would
        // not travel to the other process for every message.
        const auto count = static_cast<int>(send(target, CB_GETCOUNT, 0, 0));
        int entry = -1;
        for (int i = 0; i < count && entry < 0; ++i) {
            wchar_t text[256] = {};
            if (send(target, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0) < 256)
                send(target, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
            if (wcscmp(text, argv[3]) == 0)
                entry = i;
        }
        if (entry < 0) {
            std::printf("no such entry\n");
            return 1;
        }
        send(target, CB_SETCURSEL, static_cast<WPARAM>(entry), 0);
        send(GetParent(target), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
             reinterpret_cast<LPARAM>(target));
    } else if (command == L"text") {
        wchar_t text[512] = {};
        send(target, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
        std::printf("%ls\n", text);
    } else if (command == L"press") {
        PostMessageW(target, BM_CLICK, 0, 0);
    } else {
        std::printf("unknown command\n");
        return 1;
    }
    return 0;
}

// The program's message box: the calling convention and results of the
// system's MessageBoxW, built as an in-memory dialog in the UI font with the
// button texts of the UI string table, a task-dialog look on Windows 6.0 and
// later (white message band over grey buttons), and a right-click "Copy".
// UI thread only.
#pragma once

#include "app/message_box_plan.h"

#include <windows.h>

namespace tonvale {

// Shows the box and returns IDOK, IDCANCEL, ... as MessageBoxW would, or 0
// when the dialog could not be made (nothing is shown then). A null owner
// makes the desktop the owner; null text or caption shows nothing there.
// Unless the icon is MB_ICONQUESTION or MB_ICONASTERISK, the thread's other
// visible top-level windows are disabled while the box is up.
int TunerMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type);

// One box, from the call to its end (lives on the caller's stack).
struct MessageBoxRequest {
    HWND dialog = nullptr; // set at WM_INITDIALOG
    HWND owner = nullptr;
    HFONT font = nullptr;
    int iconWidth = 0;
    int iconHeight = 0;
    const wchar_t* text = L"";
    const wchar_t* caption = L"";
    MessageBoxPlan plan;
    int bandHeight = 0; // 0 in the classic look
    int result = -1;    // index of the chosen button, -1 on failure
};

// Control ids of the box.
constexpr int kMessageBoxIconId = 100;
constexpr int kMessageBoxTextId = 101;
constexpr int kMessageBoxFirstButtonId = 102;

} // namespace tonvale

// Shared by the message box and about box tests: the UI font the program
// would use, language switching, and running a modal box while a second
// thread drives it.
#pragma once

#include "app/process_context_win.h"
#include "support/ui_text.h"
#include "support/windows_version.h"
#include "tests/ui_kit/ui_test_kit_win.h"

#include <windows.h>

#include <functional>
#include <string>
#include <thread>

namespace tonvale::testing {

// The table of the locale's language, chosen at start: only its texts are
// drawn in a font that has their glyphs, so only they are measured and shot.
int& renderedTableSlot();
inline int renderedTable() {
    return renderedTableSlot();
}

inline const wchar_t* lookName() {
    return isWindowsVistaOrLater() ? L"task" : L"classic";
}
inline const wchar_t* languageName(int table) {
    return table == kJapaneseTable ? L"ja" : L"en";
}

// Runs open() (which shows a modal dialog) on this thread while drive(dialog)
// runs on another once a visible dialog of this process is there. A box the
// driver leaves open is closed with `closeCommand`, so a failed check never
// hangs the test. Returns what open() returned.
template <typename Result>
Result whileDriven(const std::function<Result()>& open, const std::function<void(HWND)>& drive,
                   WPARAM closeCommand) {
    std::thread driver([&] {
        HWND dialog = uikit::waitForWindow(uikit::kDialogClass, nullptr, 5000);
        if (!dialog)
            return;
        drive(dialog);
        if (!uikit::waitUntil([&] { return !IsWindow(dialog); }, 1000, uikit::Pump::no))
            PostMessageW(dialog, WM_COMMAND, closeCommand, 0);
    });
    Result result = open();
    driver.join();
    return result;
}

inline std::string narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text)
        out += c < 128 ? static_cast<char>(c) : '?';
    return out;
}

inline std::string joined(const std::vector<std::wstring>& lines) {
    std::string out;
    for (const std::wstring& line : lines)
        out += narrow(line) + "\n";
    return out;
}

// The thread's focus as another thread sees it.
inline HWND focusOf(HWND window) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

} // namespace tonvale::testing

// Looks at a running tuner's spectrum window from outside, through the
// screen as a user sees it:
//   spectrum_probe shown              the window, its view and the main
//                                     window: "window L T R B", "work L T R
//                                     B" (the work area of its monitor),
//                                     "offset X Y" (from the main window),
//                                     "view W H"; status 1 when no spectrum
//                                     window is visible
//   spectrum_probe tone COLUMN TIMEOUT_MS
//                                     waits until the view shows the dotted
//                                     marker and the curve's peak both on
//                                     COLUMN; prints "marker M... peak P" as
//                                     last seen
#include <windows.h>

#include "app/program_version.h"
#include "tests/spectrum/spectrum_picture_win.h"

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

constexpr int kViewId = 104;

HWND spectrumWindow() {
    HWND window = FindWindowW(L".SpeWnd", nullptr);
    return window && IsWindowVisible(window) ? window : nullptr;
}

int shown(HWND window) {
    RECT frame = {};
    RECT main = {};
    RECT view = {};
    GetWindowRect(window, &frame);
    GetWindowRect(FindWindowW(tonvale::kSingleInstanceName, nullptr), &main);
    GetClientRect(GetDlgItem(window, kViewId), &view);
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;
    std::printf("window %ld %ld %ld %ld\n", frame.left, frame.top, frame.right, frame.bottom);
    std::printf("work %ld %ld %ld %ld\n", work.left, work.top, work.right, work.bottom);
    std::printf("offset %ld %ld\n", frame.left - main.left, frame.top - main.top);
    std::printf("view %ld %ld\n", view.right, view.bottom);
    return 0;
}

std::string describe(const tonvale::test::Picture& picture) {
    std::string text = "marker";
    for (int column : picture.markerColumns(10))
        text += " " + std::to_string(column);
    return text + " peak " + std::to_string(picture.peakColumn());
}

int tone(int column, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    std::string seen = "no window";
    for (;;) {
        if (HWND window = spectrumWindow()) {
            const tonvale::test::Picture picture =
                tonvale::test::screenPicture(GetDlgItem(window, kViewId));
            seen = describe(picture);
            if (picture.markerColumns(10) == std::vector<int>{column} &&
                picture.peakColumn() == column) {
                std::printf("%s\n", seen.c_str());
                return 0;
            }
        }
        if (GetTickCount() - start > timeoutMs)
            break;
        Sleep(50);
    }
    std::printf("%s\n", seen.c_str());
    return 1;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring command = argc > 1 ? argv[1] : L"";
    HWND window = spectrumWindow();
    if (command == L"shown") {
        if (!window) {
            std::printf("no visible spectrum window\n");
            return 1;
        }
        return shown(window);
    }
    if (command == L"tone" && argc > 3)
        return tone(_wtoi(argv[2]), static_cast<DWORD>(_wtoi(argv[3])));
    std::printf("unknown command\n");
    return 1;
}

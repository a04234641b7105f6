// Shows a borderless window of four coloured quadrants and prints where it is
// on the screen and what it drew, so the display test can check a screenshot
// of the real display against it.
//   rig_window_probe <stop-file> [--hidden]
// Prints "window X Y WIDTH HEIGHT" and the quadrants' colours as RRGGBB
// (top left, top right, bottom left, bottom right) once it has painted, then
// runs until <stop-file> exists, at most a minute. With --hidden the window
// is created but never shown, so the screenshot check must fail.
#include "support/scoped_win.h"
#include "support/window_binding_win.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

namespace tonvale {
namespace {

constexpr int kLeft = 96;
constexpr int kTop = 64;
constexpr int kWidth = 320;
constexpr int kHeight = 240;
constexpr UINT_PTR kStopTimerId = 1;
constexpr UINT kStopPollMs = 50;
constexpr DWORD kLifetimeLimitMs = 60000;
// Distinct from black, white and each other in every channel.
constexpr COLORREF kQuadrantColours[4] = {RGB(0xD0, 0x30, 0x20), RGB(0x20, 0xB0, 0x40),
                                          RGB(0x30, 0x40, 0xE0), RGB(0xF0, 0xE0, 0x10)};

// The probe's state, bound to its window by the shared trampoline.
class ProbeWindow {
  public:
    static constexpr int kSlot = GWLP_USERDATA;
    static ProbeWindow* attach(HWND, const CREATESTRUCTW& create) {
        return static_cast<ProbeWindow*>(create.lpCreateParams);
    }
    static void detach(ProbeWindow*) noexcept {}
    static LRESULT defaultProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        return DefWindowProcW(window, message, wParam, lParam);
    }

    ProbeWindow(std::wstring stopFile, DWORD startTickMs)
        : stopFile_(std::move(stopFile)), startTickMs_(startTickMs) {}

    LRESULT handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        switch (message) {
        case WM_PAINT:
            paintQuadrants(window);
            return 0;
        case WM_TIMER:
            if (stopRequested())
                DestroyWindow(window);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return defaultProcedure(window, message, wParam, lParam);
        }
    }

  private:
    static void paintQuadrants(HWND window) {
        PaintDC dc(window);
        RECT client = {};
        GetClientRect(window, &client);
        const int midX = client.right / 2;
        const int midY = client.bottom / 2;
        const RECT quadrants[4] = {{0, 0, midX, midY},
                                   {midX, 0, client.right, midY},
                                   {0, midY, midX, client.bottom},
                                   {midX, midY, client.right, client.bottom}};
        for (int i = 0; i < 4; ++i) {
            UniqueBrush brush(CreateSolidBrush(kQuadrantColours[i]));
            FillRect(dc.get(), &quadrants[i], brush.get());
        }
    }

    bool stopRequested() const {
        return GetFileAttributesW(stopFile_.c_str()) != INVALID_FILE_ATTRIBUTES ||
               GetTickCount() - startTickMs_ > kLifetimeLimitMs;
    }

    std::wstring stopFile_;
    DWORD startTickMs_;
};

void printPlacement(HWND window) {
    RECT client = {};
    GetClientRect(window, &client);
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    std::printf("window %ld %ld %ld %ld", origin.x, origin.y, client.right, client.bottom);
    for (COLORREF colour : kQuadrantColours) {
        std::printf(" %02X%02X%02X", GetRValue(colour), GetGValue(colour), GetBValue(colour));
    }
    std::printf("\n");
    std::fflush(stdout);
}

int runProbe(const char* stopFile, bool hidden) {
    const int length = MultiByteToWideChar(CP_ACP, 0, stopFile, -1, nullptr, 0);
    std::wstring stopFilePath(length > 0 ? length - 1 : 0, L'\0');
    MultiByteToWideChar(CP_ACP, 0, stopFile, -1, stopFilePath.data(), length);
    ProbeWindow probe(std::move(stopFilePath), GetTickCount());

    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = windowProcedure<ProbeWindow>;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = L"TonvaleRigWindowProbe";
    if (RegisterClassW(&windowClass) == 0) {
        std::fprintf(stderr, "RegisterClassW failed: %lu\n", GetLastError());
        return 1;
    }
    HWND window =
        CreateWindowExW(WS_EX_TOPMOST, windowClass.lpszClassName, L"Tonvale rig window probe",
                        WS_POPUP, kLeft, kTop, kWidth, kHeight, nullptr, nullptr, instance, &probe);
    if (window == nullptr) {
        std::fprintf(stderr, "CreateWindowExW failed: %lu\n", GetLastError());
        return 1;
    }
    if (!hidden) {
        ShowWindow(window, SW_SHOWNORMAL);
    }
    UpdateWindow(window);
    GdiFlush();
    printPlacement(window);
    SetTimer(window, kStopTimerId, kStopPollMs, nullptr);

    MSG message = {};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}

} // namespace
} // namespace tonvale

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3 || (argc == 3 && std::strcmp(argv[2], "--hidden") != 0)) {
        std::fprintf(stderr, "usage: rig_window_probe <stop-file> [--hidden]\n");
        return 2;
    }
    return tonvale::runProbe(argv[1], argc == 3);
}
